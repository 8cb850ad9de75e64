#pragma once
// The section editor: one settings section as lines of key=value, saved in
// one write. Made per use.

#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

// The section being edited, while the editor is open.
extern QString SectionName;
// Runs after the [Recorded] section was saved (the music dialog drops its
// cached column list).
extern std::function<void()> RecordedSectionSaved;

class TSectForm : public QDialog {
    Q_OBJECT
public:
    TSectForm(const QString &section, int helpContext, QWidget *parent = nullptr);
    ~TSectForm() override;

    QPlainTextEdit *FList;
    QPushButton *OKBtn, *ExitBtn, *HelpBtn;

    // Checks and stores the lines; true when stored (the editor closes).
    bool Save();

private:
    int help;
};

// Opens the editor on the section of that name with the item's help context;
// 1 when saved.
int EditSection(const QString &section, int helpContext, QWidget *parent);
