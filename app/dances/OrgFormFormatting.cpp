// The Dances menu's formatting commands for the shown instructions: the
// primary font, the paragraph gap and the line spacing, all in force at once;
// the gender-free option with its two words; Select all; and the double press
// in the instructions that switches to the table view.

#include "app/OrgForm.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/dialogs/GenderForm.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/CardSettings.h"
#include "presentation/SetForm.h"
#include "presentation/editor/TextFormatting.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

// Asks for a card distance in twips; a whole number of 0 or more is taken.
bool AskTwips(const QString &prompt, const QString &key, int current) {
    QString answer = QString::number(current);
    if (!InputQuery(QStringLiteral("Quillary"), prompt, answer) || !IniFile) return false;
    if (!SetCardsTwips(*IniFile, key, answer)) return false;
    RefillCardSettings();
    return true;
}

} // namespace

void TOrgForm::buildFormattingCommands() {
    const auto item = [this](const QString &caption, const char *name, int help, const QKeySequence &key,
                             void (TOrgForm::*run)()) {
        QAction *a = DancesM->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setProperty("HelpContext", help);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, run] { (this->*run)(); });
        return a;
    };
    DanceFont = item(QStringLiteral("Primary Font"), "DanceFont", 55072, {}, &TOrgForm::DanceFontClick);
    ParaGapM = item(QStringLiteral("Para gap"), "ParaGapM", 55074, {}, &TOrgForm::ParaGapMClick);
    LineSpace = item(QStringLiteral("Line spacing"), "LineSpace", 55075, {}, &TOrgForm::LineSpaceClick);
    SelectAllM = item(QStringLiteral("Select all"), "SelectAllM", 55062, QKeySequence(Qt::CTRL | Qt::Key_A),
                      &TOrgForm::SelectAllClick);
    if (QAction *gender = OptionAction(QStringLiteral("Gender"))) {
        gender->setProperty("HelpContext", 55080);
        disconnect(gender, &QAction::triggered, this, nullptr);
        connect(gender, &QAction::triggered, this, [this, gender] { GenderClick(gender); });
    }
    Instructions->viewport()->installEventFilter(this);
    Instructions->setWindowKeys({QKeySequence(Qt::CTRL | Qt::Key_A)});
}

void TOrgForm::DanceFontClick() {
    PC->setCurrentWidget(DancePage);
    if (ChoosePrimaryFont(this)) ShowDance();
}

void TOrgForm::ParaGapMClick() {
    if (AskTwips(QStringLiteral("Paragraph gap (in twips):"), QStringLiteral("ParaGap"), CardsParaGap)) ShowDance();
}

void TOrgForm::LineSpaceClick() {
    if (AskTwips(QStringLiteral("Line spacing (in twips):"), QStringLiteral("LSpace"), CardsLSpace)) ShowDance();
}

void TOrgForm::GenderClick(QAction *item) {
    OptionClick(item);
    if (!item->isChecked()) return;
    TGenderForm form(this);
    const auto word = [](const char *key, const char *def) {
        return IniFile ? IniFile->ReadString(QStringLiteral("System"), QLatin1String(key), QLatin1String(def))
                       : QString::fromLatin1(def);
    };
    form.MNew->setText(word("Man", "Lark"));
    form.WNew->setText(word("Woman", "Raven"));
    if (form.exec() == ResultOK) {
        if (!IniFile) return;
        IniFile->WriteString(QStringLiteral("System"), QStringLiteral("Man"), form.MNew->text());
        IniFile->WriteString(QStringLiteral("System"), QStringLiteral("Woman"), form.WNew->text());
        return;
    }
    // Cancel: the option goes off again.
    item->setChecked(false);
    OptionClick(item);
}

void TOrgForm::SelectAllClick() {
    if (PC->currentWidget() == EventPage) {
        if (auto *notes = qobject_cast<TNotes *>(Rows ? Rows->ThisItem : nullptr); notes && ThisIndex >= 0) {
            notes->Notes->setFocus();
            notes->Notes->selectAll();
            return;
        }
    }
    PC->setCurrentWidget(DancePage);
    if (Notes->hasFocus()) {
        Notes->selectAll();
        return;
    }
    Instructions->setFocus();
    Instructions->selectAll();
    // The stored text, without the layout the page shows it with.
    const QString stored = DancesData.active() && !DancesData.IsEmpty()
                               ? DancesData.FieldByName(QStringLiteral("Instructions")).AsString()
                               : QString();
    RichEdit *work = EnsureWorkRich();
    LoadRichText(stored, work);
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), work->rtf().toLatin1());
    data->setText(work->document()->toPlainText());
    QApplication::clipboard()->setMimeData(data);
}

void TOrgForm::InstructionsMouseDown() {
    const QDateTime now = Now();
    const bool twice = LastInstructionsPress.isValid() && LastInstructionsPress.msecsTo(now) < 800;
    LastInstructionsPress = now;
    if (twice) EnsureGridView();
}
