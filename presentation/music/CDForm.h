#pragma once
// "CD Form": the CD details of a music folder (name, band, publisher, code),
// kept in the folder's order file.

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

class TCDForm : public QDialog {
public:
    explicit TCDForm(QWidget *parent = nullptr);

    QLineEdit *CDName, *Band, *Publisher, *CDCode;
    QPushButton *OKBtn, *CancelBtn;

    // The four details, in the order of the CD line.
    QStringList Fields() const;
    void SetFields(const QStringList &fields);
};
