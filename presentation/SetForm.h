#pragma once
// The card settings window "Settings": made once at start-up, shown modally
// from the instruction editor, never freed.

#include "presentation/CardSettings.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TSetForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetForm(QWidget *parent = nullptr);
    ~TSetForm() override;

    // Fills the boxes from the settings file (IniFile) and the font values.
    void LoadSet();
    void SetTab1();
    // Shows the window modally, once, its right edge 10 pixels in from the
    // editor's and 200 pixels below its top, wholly on the screen.
    void ShowFrom(QWidget *editor);

    // The boxes as they stand, and putting values into them.
    CardSetValues values() const;
    void showValues(const CardSetValues &v);

    void StdClick(int n);
    void MyChange();
    void HalfLinesClick();
    void ApplyBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void reject() override; // Escape is Exit
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *edit(const QString &name) const;
    void placeBeside();
    QPointer<QWidget> beside_; // the editor while shown from it

    QRadioButton *portrait_ = nullptr;
    QRadioButton *landscape_ = nullptr;
    QCheckBox *halfLines_ = nullptr;
    QList<QRadioButton *> layouts_;
    QList<QLineEdit *> cardEdits_;
};

// The one settings window, made at start-up.
extern TSetForm *SetForm;
// Start-up's creation list: makes SetForm, owned by the main window.
void MakeSetForm(QWidget *mainWindow);
// Start-up's card step: the primary font and size from [Cards] of IniFile
// (CheckHalfLines), then the card settings (LoadSet, SetTab1) into the
// program-wide values and, once made, into SetForm.
void LoadCardSettings();
// A card setting changed outside the window (the main window's font, gap and
// spacing commands, the editor's font list): the window's boxes and the
// tab values are refilled from the settings file, so that Apply keeps it.
void RefillCardSettings();
