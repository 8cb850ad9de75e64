// The Dances page's instructions command: instructions from the template
// for a dance that has none, the template's font against the primary font,
// and editing in an external editor, read back when it ends.

#include "app/OrgForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/services/Help.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/CardSettings.h"
#include "presentation/SetForm.h"
#include "presentation/cards/InstructionTemplate.h"
#include "presentation/editor/IntEForm.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTextBlock>

#include <stdexcept>

namespace {

// What the external editor was started on.
QString ExternalText, ExternalTitle;

// The template's text; a missing or unreadable file is said and gives nothing.
std::optional<QString> ReadTemplate(bool quiet) {
    try {
        return LoadTextFile(TemplatePath());
    } catch (const std::runtime_error &e) {
        if (!quiet) ShowMsg(QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

// The editor program: [User] Editor when it exists, else the first word
// processor on the search path that takes RTF, remembered there.
QString ExternalEditor() {
    const QString set = SettingText(QStringLiteral("User"), QStringLiteral("Editor"));
    if (!set.isEmpty() && QFileInfo::exists(set)) return set;
    for (const char *name : {"abiword", "lowriter"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (found.isEmpty()) continue;
        if (IniFile) IniFile->WriteString(QStringLiteral("User"), QStringLiteral("Editor"), found);
        return found;
    }
    return {};
}

} // namespace

void TOrgForm::InstEdit2() { GenerateInstructions(); }

void TOrgForm::InstEdit() {
    if (Instructions->isVisible() && Instructions->isEnabled()) Instructions->setFocus();
    GenerateInstructions();
}

void TOrgForm::AddTitleHeading(RichEdit *box, const QString &title) {
    QTextDocument *doc = box->document();
    if (doc->firstBlock().text().contains(title)) return;
    const bool modified = box->modified();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    c.insertBlock();
    c.movePosition(QTextCursor::Start);
    // In the card font, as the rest of the text: the heading is stored with it.
    QTextCharFormat heading;
    if (!CardsDFont.isEmpty()) heading.setFontFamilies(QStringList{CardsDFont});
    heading.setFontPointSize(14);
    heading.setFontWeight(QFont::Bold);
    c.insertText(title, heading);
    box->setModified(modified);
}

void TOrgForm::GenerateInstructions() {
    REDClick(DancesM);
    EnsureFormView();
    WriteLog(QStringLiteral("Edit"));
    CheckTemplateFont();
    if (Title->text().isEmpty() || Format->text().isEmpty() || Style->text().isEmpty()) {
        ShowMsg(QStringLiteral("You must give values for Title, Format and Style before generating the dance instructions.  "
                               "You are recommended to fill in ALL fields first, since several are used in the instructions."));
        return;
    }
    const QString firstLine = Instructions->document()->firstBlock().text();
    const QString stored = DancesData.FieldByName(QStringLiteral("Instructions")).AsString();
    if (ShouldGenerateInstructions(stored, Title->text(), firstLine, Style->text()) && !InstructionsFromTemplate()) return;
    EditInstructions();
}

bool TOrgForm::InstructionsFromTemplate() {
    WriteLog(QStringLiteral("Template"));
    std::optional<QString> text = ReadTemplate(false);
    if (!text) return false;
    if (rtfPlainText(*text).trimmed().isEmpty()) {
        SaveDRec();
        ShowDance();
        return true;
    }
    const TemplateUpdate update = UpdateStandardTemplate(QFileInfo(TemplatePath()).fileName(), *text);
    if (update.missingAuthor) {
        OpenHelp(40110);
        return false;
    }
    if (update.changed) {
        WriteLog(QStringLiteral("Updating Template"));
        SaveTextFile(TemplatePath(), update.text);
        text = update.text;
    }
    if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
    TemplateInput in;
    in.templateText = *text;
    for (int i = 0; i < DancesData.FieldCount(); ++i) {
        Field &f = DancesData.Fields(i);
        in.fields.insert(f.FieldName(), f.AsString());
    }
    in.fields.insert(QStringLiteral("Title"), Title->text());
    in.fields.insert(QStringLiteral("Format"), Format->text());
    in.fields.insert(QStringLiteral("Style"), Style->text());
    in.displayTitle = DisplayTitle(Title->text());
    in.useFooter = OptionChecked(QStringLiteral("UseFooter"));
    in.refine = OptionChecked(QStringLiteral("Refine"));
    in.halfLines = CardsHalfLines;
    const TemplateOutput out = FillTemplate(in);
    if (out.outcome == TemplateOutput::MissingEnd) {
        ShowMsg(MissingTemplateEndMessage());
        return false;
    }
    if (out.outcome == TemplateOutput::UnknownField) {
        OKHelpCancel(UnknownTemplateFieldMessage(out.unknownName), 0);
        return false;
    }
    DancesData.FieldByName(QStringLiteral("Instructions")).SetAsString(out.instructions);
    DancesData.FieldByName(QStringLiteral("Footer")).SetAsString(out.footer);
    SaveDRec();
    ShowDance();
    return true;
}

void TOrgForm::EditInstructions() {
    if (!OptionChecked(QStringLiteral("IntEditor")) && !OptionChecked(QStringLiteral("ShowTitles")))
        AddTitleHeading(Instructions, DisplayTitle(Title->text()));
    if (OptionChecked(QStringLiteral("IntEditor"))) {
        IntEFormWindow().ShowModal();
        ShowDance();
        return;
    }
    // An editor that hands the file to a copy of itself already running
    // returns at once: nothing is read back then, and the edits made later
    // stay in the file only.
    SaveTextFile(RTFFile, Instructions->rtf());
    ExternalText = LoadTextFile(RTFFile);
    ExternalTitle = Title->text();
    const QString editor = ExternalEditor();
    if (editor.isEmpty()) {
        OpenHelp(58201);
        return;
    }
    RunCommand(editor, {RTFFile}, [this] { SaveExternalInstructions(); });
}

void TOrgForm::SaveExternalInstructions() {
    if (Title->text() != ExternalTitle) {
        ShowMsg(QStringLiteral("You changed dances before finishing editing the instructions!"));
        return;
    }
    QString text;
    try {
        text = LoadTextFile(RTFFile);
    } catch (const std::runtime_error &e) {
        ShowMsg(QString::fromUtf8(e.what()));
        return;
    }
    if (text != ExternalText) {
        WriteLog(QStringLiteral("Updated instructions"));
        LoadRichText(text, Instructions);
        if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
        DancesData.FieldByName(QStringLiteral("Printed")).SetAsString(QString());
        const QString plain = Instructions->text();
        DancesData.FieldByName(QStringLiteral("Instructions")).SetAsString(plain.trimmed().isEmpty() ? QString() : text);
        DancesData.FieldByName(QStringLiteral("Footer")).SetAsString(QString());
        DancesData.Post();
        if (plain.contains(QChar(0x00B6))) OKHelpCancel(QStringLiteral("Warning: Instructions contain ¶"), 40120);
    }
    ShowDance();
    Notes->setFocus();
}

void TOrgForm::CheckTemplateFont() {
    if (!OptionChecked(QStringLiteral("UsePrimary"))) return;
    const std::optional<QString> text = ReadTemplate(true);
    if (!text) return;
    const TemplateFont font = ReadTemplateFont(*text);
    if (font.name == CardsDFont && font.halfPoints == CardsHalfPoints.toInt()) return;
    const int answer = DBox3(TemplateFontQuestion(CardsDFont, CardsDSize, font), QStringLiteral("Font"),
                             QStringLiteral("Template"), 55072, QStringLiteral("Neither"));
    if (answer == ResultYes) {
        if (IniFile) SetPrimaryFont(*IniFile, font.name, font.halfPoints / 2);
        // The settings window shows the new font, so that Apply keeps it.
        RefillCardSettings();
        ShowDance();
    } else if (answer == ResultNo) {
        SaveTextFile(TemplatePath(), ::SetRtfFontSize(*text, true, CardsDFont, CardsHalfPoints));
    }
}

void TOrgForm::buildInstructionControls() {
    EditM = new QAction(QStringLiteral("Edit"), this);
    EditM->setObjectName(QStringLiteral("EditM"));
    EditM->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    EditM->setProperty("HelpContext", 55090);
    DancesM->addAction(EditM);
    connect(EditM, &QAction::triggered, this, [this] { InstEdit2(); });
    Instructions->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Instructions, &QWidget::customContextMenuRequested, this, [this] { InstEdit(); });
}

QString TOrgForm::DanceBox(const QString &field) {
    if (field == QLatin1String("Title")) return DisplayTitle(Title->text());
    for (QLineEdit *box : {Format, Style, Rhythm, Music})
        if (box->objectName() == field) return box->text();
    return {};
}

void TOrgForm::SetDancesFilter(int mode) { SetFilter(FilterTable::Dances, mode); }
