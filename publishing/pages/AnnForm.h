#pragma once
// The "Annotate web page" window: the note at the top of the programme page,
// edited as plain text with straight quotes.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TAnnForm : public QDialog {
    Q_OBJECT
public:
    explicit TAnnForm(QWidget *parent = nullptr);

    // Typographic double quotes typed or pasted become straight ones.
    void UTextChange();

    QPlainTextEdit *UText;
    QPushButton *SaveBtn, *ExitBtn;
};
