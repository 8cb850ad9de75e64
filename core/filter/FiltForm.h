#pragma once
// The filter dialog: the value for a new condition on one field, with the
// three ways of matching it.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct FilterAnswer;

class TFiltForm : public QDialog {
    Q_OBJECT
public:
    explicit TFiltForm(QWidget *parent = nullptr);

    // Captioned "Filter" or "Multi-filter"; Info names the field; UFind holds
    // the start value fully selected; the three boxes start cleared. OK gives
    // true with the answer filled in, Cancel false.
    bool Execute(const QString &caption, const QString &field, const QString &value, FilterAnswer &answer);

    QLabel *Info;
    QLineEdit *UFind;
    QCheckBox *FullBox;
    QCheckBox *CaseBox;
    QCheckBox *NBBox;
    QPushButton *OKBtn;
    QPushButton *ExitBtn;
    QPushButton *HelpBtn;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// Made at start-up; null before.
extern TFiltForm *FiltForm;
// Makes FiltForm (once) and installs it as the filter commands' dialog.
void CreateFiltForm(QWidget *parent);
void DestroyFiltForm();
