// The notes commands of the main window: the notes pop-up (local and web
// links, paste), following a link by a double-click, View ABC, and Check all
// (every event and dance shown in turn, so that their own checks run).

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Maintainer.h"
#include "core/startup/MaintainerConfig.h"
#include "core/startup/StartupRules.h"
#include "base/Cp1252.h"
#include "publishing/pages/SiteConfig.h"
#include "core/startup/Settings.h"
#include "presentation/editor/SpecialChars.h"
#include "platform/net/Fetch.h"
#include "programme/rows/ItemRows.h"
#include "publishing/notes/NotesCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QUrl>
#include <QLabel>
#include <QScrollArea>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

void TOrgForm::buildNotesCommands() {
    LinkTarget = Notes;
    Notes->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Notes, &QWidget::customContextMenuRequested, this, [this] { NotesRClick(nullptr); });
    // F1 on the pop-up answers with its highlighted command's context.
    for (QAction *a : NPopup->actions()) a->setProperty("HelpContext", 30350);
    connect(LocalLink, &QAction::triggered, this, [this] { LocalLinkClick(); });
    connect(WebLink, &QAction::triggered, this, [this] { WebLinkClick(); });
    connect(PasteMemo, &QAction::triggered, this, [this] { PasteMemoClick(); });
    connect(CheckNote, &QAction::triggered, this, [this] { CheckNoteClick(); });
    connect(Special, &QAction::triggered, this, [this] { SpecialClick(); });
    connect(ABCBtn, &QPushButton::clicked, this, [this] { ABCBtnClick(); });
    CheckAllM = ToolsM->addAction(QStringLiteral("Check all"));
    CheckAllM->setObjectName(QStringLiteral("CheckAll"));
    connect(CheckAllM, &QAction::triggered, this, [this] { CheckAllClick(); });
}

void TOrgForm::NotesRClick(TNotes *row) {
    WriteLog(QStringLiteral("Add Link"));
    LinkTarget = row ? row->Notes : Notes;
    CheckNote->setVisible(AuthorMode);
    NPopup->popup(QCursor::pos() - QPoint(20, 20));
}

void TOrgForm::NotesDblClick(TNotes *row) {
    if (row) FollowNoteLink(row->Notes);
}

void TOrgForm::FollowNoteLink(QPlainTextEdit *memo) { followNoteLink(memo->toPlainText(), memo->textCursor().position(), memo); }

void TOrgForm::FollowNoteLinkAt(const QString &text, int caret) { followNoteLink(text, caret, nullptr); }

// The link under the caret of text, followed; without one the notes view
// opens on memo (when there is a memo and the display is not showing).
void TOrgForm::followNoteLink(const QString &text, int caret, QPlainTextEdit *memo) {
    WriteLog(QStringLiteral("NotesDblClick"));
    QAction *kept = CommandItem;
    CommandItem = InsNotes;
    struct Restore {
        QAction *kept;
        ~Restore() { CommandItem = kept; }
    } restore{kept};
    const NoteLinkHit link = LinkAtCaret(text, caret);
    if (!link.found) {
        // The instruction editor's text (no memo) has no notes view to open.
        FullScreenNotes(memo);
        return;
    }
    const QString target = FollowTarget(link, DataFolder);
    if (AuthorMode && !link.local) {
        // A page of his site is shown in large print from his local copy.
        const LocalSitePage local = LocalSitePageOf(target, MakerDomain(), Maintainer().SiteFolder);
        if (!local.file.isEmpty()) {
            if (!QFileInfo(local.file).isFile()) {
                ShowMsg(QStringLiteral("File not found: ") + local.file);
                return;
            }
            const QString page = LargePrintPage(ReadTextFile(local.file), local.anchor,
                                                QUrl::fromLocalFile(QFileInfo(local.file).absolutePath() + QLatin1Char('/')).toString());
            if (page.isEmpty()) {
                ShowMsg(QStringLiteral("#") + local.anchor + QStringLiteral(" not found in ") + local.file);
                return;
            }
            const QString shown = TempFolder + QStringLiteral("Technique.htm");
            WriteBytesFile(shown, page.toUtf8());
            OpenDocument(shown);
            return;
        }
    }
    if (target.startsWith(QLatin1String("http"), Qt::CaseInsensitive)) {
        if (!InternetConnected()) {
            ShowMsg(QStringLiteral("No internet connection."));
            return;
        }
    } else if (AuthorMode && target.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)) {
        OpenWithEditor(target);
        return;
    }
    OpenDocument(target);
}

void TOrgForm::LocalLinkClick() {
    QString file;
    if (!PickFile(this, QStringLiteral("All files|*.*"), DataFolder, true, file, QStringLiteral("Add Link"))) return;
    LinkTarget->setPlainText(ToWidgetText(AddLocalLink(FromWidgetText(LinkTarget->toPlainText()), file, DataFolder)));
    LinkTarget->document()->setModified(true);
}

void TOrgForm::WebLinkClick() {
    QString address = ClipboardWebLink(QApplication::clipboard()->text());
    if (address.isEmpty() && AuthorMode && LinkTarget == Notes && DancesData.active()) {
        // His own dance's page, or its tune page, built from his material.
        const MaintainerConfig &c = Maintainer();
        if (c.InstructionFiles.isEmpty()) WriteLog(QStringLiteral("Web link: no instruction collections in Maintainer.ini"));
        QStringList collections;
        for (const QString &file : c.InstructionFiles)
            if (QFileInfo(file).isFile()) collections << ReadTextFile(file);
        const MaintainerLink link =
            MaintainerWebLink(collections, DisplayTitle(DancesData.FieldByName(QStringLiteral("Title")).AsString()),
                              DancesData.FieldByName(QStringLiteral("Style")).AsString(), ABCIndex, MakerSite());
        if (link.notInIndex) ShowMsg(QStringLiteral("Enter the title yourself!"));
        LinkTarget->textCursor().insertText(link.address);
        LinkTarget->document()->setModified(true);
        return;
    }
    if (address.isEmpty() || !YesNo(QStringLiteral("Set link to\r") + address)) {
        address = QStringLiteral("http://");
        if (!InputQuery(QStringLiteral("Enter web link"), QString(), address)) return;
    }
    LinkTarget->textCursor().insertText(address);
    LinkTarget->document()->setModified(true);
}

void TOrgForm::SpecialClick() {
    ShowSpecialChars(this, [this](const QString &caption) { SBClick(caption); });
}

void TOrgForm::SBClick(const QString &caption) {
    HideSpecialChars();
    // The notes row the menu was opened on may have gone with a re-shown event.
    if (!LinkTarget) return;
    LinkTarget->textCursor().insertText(caption);
    LinkTarget->setFocus();
}

void TOrgForm::PasteMemoClick() {
    QString text = CleanPaste(QApplication::clipboard()->text());
    if (HasLineBreaks(text) && YesNo(QStringLiteral("Reparagraph text?"))) text = ReParagraph(text);
    QWidget *focused = QApplication::focusWidget();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(focused)) memo->insertPlainText(ToWidgetText(text));
    else if (auto *box = qobject_cast<QLineEdit *>(focused)) box->insert(text);
}

void TOrgForm::ABCBtnClick() {
    QString title = DisplayTitle(Title->text());
    if (AuthorMode) {
        // The maintainer's tune page link names the tune.
        const QString linked = TuneLinkTitle(FromWidgetText(Notes->toPlainText()));
        if (!linked.isEmpty()) title = linked;
        else if (!InTuneIndex(ABCIndex, title)) AbortMsg(QStringLiteral("Link to web site - dance title not in ABC files."));
    }
    const QString line = AbcCommandLine(SettingText(QStringLiteral("User"), QStringLiteral("ABC")), title,
                                        OptionChecked(QStringLiteral("PlayABC")), ProgrammeSeparator);
    if (OptionChecked(QStringLiteral("Debug")))
        ShowMsg(QStringLiteral("This is what is passed to Scrivlet.  Note the double-quotes!\r") + line);
    OpenWithEditor(line);
}

void TOrgForm::CheckAllClick() {
    WriteLog(QStringLiteral("Check All"));
    if (EventsData.active()) EventsData.CheckBrowseMode();
    if (DancesData.active()) DancesData.CheckBrowseMode();
    SetFilter(FilterTable::Dances, 1);
    SetFilter(FilterTable::Events, 1);
    CommandItem = CheckAllM;
    REDClick(EventsM);
    // On every way out: the event panels back, the progress gone, no command.
    // The walk shows each record itself, once.
    struct Finish {
        TOrgForm *f;
        decltype(EventsData.AfterScroll) events = EventsData.AfterScroll;
        decltype(DancesData.AfterScroll) dances = DancesData.AfterScroll;
        ~Finish() {
            EventsData.AfterScroll = events;
            DancesData.AfterScroll = dances;
            f->Body->show();
            if (auto *panel = f->findChild<QLabel *>(QStringLiteral("ProgressPanel"))) panel->hide();
            CommandItem = nullptr;
        }
    } finish{this};
    EventsData.AfterScroll = nullptr;
    DancesData.AfterScroll = nullptr;
    if (YesNo(QStringLiteral("Start from beginning of Events and Dances?"))) {
        EventsData.First();
        DancesData.First();
    }
    const int total = 6 * EventsData.RecordCount() + DancesData.RecordCount();
    int done = 0;
    ShowProgressPanel(QStringLiteral("Checking every event and dance"));
    auto *panel = findChild<QLabel *>(QStringLiteral("ProgressPanel"));
    auto *bar = panel->findChild<QFrame *>(QStringLiteral("ProgressBar"));
    if (!bar) {
        bar = new QFrame(panel);
        bar->setObjectName(QStringLiteral("ProgressBar"));
        bar->setStyleSheet(QStringLiteral("background: #8000C0"));
    }
    const auto step = [&](int count) {
        done += count;
        bar->setGeometry(0, panel->height() - 6, total ? qRound(double(panel->width()) * done / total) : 0, 6);
        bar->show();
        QCoreApplication::processEvents();
    };
    // The programme rows stay out of sight while the events go by.
    Body->hide();
    for (; !EventsData.IsEmpty();) {
        ShowEvent(true);
        step(6);
        EventsData.Next();
        if (EventsData.Eof()) break;
    }
    Body->show();
    REDClick(DancesM);
    if (AuthorMode) LoadABCIndex();
    for (; !DancesData.IsEmpty();) {
        ShowDance();
        if (AuthorMode && !checkDanceTunes()) return;
        step(1);
        DancesData.Next();
        if (DancesData.Eof()) break;
    }
}

void TOrgForm::CheckNoteClick() {
    const QString text = FromWidgetText(LinkTarget->toPlainText()).trimmed();
    if (InTuneIndex(ABCIndex, text)) {
        ShowMsg(QStringLiteral("ABC found."));
        return;
    }
    if (!YesNo(text + QStringLiteral("\rnot found in ABC files.\rReload?"))) return;
    LoadABCIndex();
    ShowMsg(InTuneIndex(ABCIndex, text) ? QStringLiteral("ABC found.") : QStringLiteral("Still not found."));
}

bool TOrgForm::checkDanceTunes() {
    // The dance page is built as the web-page command builds it.
    WebClick(nullptr);
    const QString notes = DancesData.FieldByName(QStringLiteral("Notes")).AsString();
    if (PosNoCase(QStringLiteral(".htm#"), notes) > 0) return true;
    QString title = TuneLinkTitle(notes);
    if (!title.isEmpty()) {
        if (title.endsWith(QLatin1Char(' ')))
            return !YesNo(QStringLiteral("Space at end of\r") + title + QStringLiteral("\rCancel scan?"));
        const QString abcTitle = title == QString::fromUtf16(u"Heidenr\u00f6slein") ? QStringLiteral("Heidenr\\\"oslein") : title;
        if (!InTuneIndex(ABCIndex, abcTitle))
            return !YesNo(QStringLiteral("T:") + title + QStringLiteral("\rnot found in ABC files.\rCancel scan?"));
        return true;
    }
    title = DisplayTitle(DancesData.FieldByName(QStringLiteral("Title")).AsString());
    if (!InTuneIndex(ABCIndex, title) || DancesData.FieldByName(QStringLiteral("Style")).AsString() == QLatin1String("Technique") ||
        DancesData.FieldByName(QStringLiteral("OwnTune")).AsString() != QLatin1String("Y"))
        return true;
    if (YesNo(QStringLiteral("T:") + title + QStringLiteral("\ris in ABC but no link in Notes.  Add link?"))) {
        DancesData.Edit();
        DancesData.FieldByName(QStringLiteral("Notes")).SetAsString(
            notes + (notes.isEmpty() ? QString() : QStringLiteral("  ")) + TunePageAddress() + QStringLiteral("?T=") +
            QString(title).replace(QLatin1Char(' '), QLatin1Char('_')));
        DancesData.Post();
    }
    return true;
}
