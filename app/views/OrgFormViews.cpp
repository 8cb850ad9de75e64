// The main window's commands that move between pages and views, the view
// options, the settings-section editor, the user values and the programme
// outlines.

#include "app/OrgForm.h"
#include "presentation/fullscreen/Full.h"
#include "programme/evaluation/Rules.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/dialogs/MsgPanel.h"
#include "core/filter/FilterCommands.h"
#include "core/services/CopyData.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "core/startup/SplashForm.h"
#include "core/startup/StartupRules.h"
#include "core/views/ListForm.h"
#include "core/views/Navigation.h"
#include "core/views/SectForm.h"
#include "platform/ini/IniFile.h"
#include "platform/shell/KeyState.h"
#include "platform/sqlite/DBNavigator.h"
#include "platform/sqlite/Dataset.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/text/ProgrammeText.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace {

QAction *Item(QMenu *menu, const QString &caption, const char *name, int help, const QKeySequence &key = {}) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (help) a->setProperty("HelpContext", help);
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
}

struct SectionItem {
    const char *name;
    const char *caption;
    int help;
};
const SectionItem SectionTable[] = {{"Display", "Display", 58100},
                                    {"Recorded", "Recorded music", 58110},
                                    {"Print", "Print", 58120},
                                    {"Levels", "Levels", 58140},
                                    {"Timings", "Timings", 58160}};

PageKind KindOf(const TOrgForm *f, const QWidget *page) {
    if (page == f->RulePage) return PageKind::Rules;
    if (page == f->EventPage) return PageKind::Events;
    if (page == f->DancePage) return PageKind::Dances;
    if (page == f->RecPage) return PageKind::Recordings;
    return PageKind::Folders;
}

// The base font and fixed sizes of a window, kept the first time "Large"
// scales it, so that scaling back restores them exactly.
void ScaleWindow(QWidget *w, bool large) {
    if (!w) return;
    if (!w->property("baseFont").isValid()) w->setProperty("baseFont", w->font());
    QFont f = w->property("baseFont").value<QFont>();
    if (large) {
        if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * 3 / 2);
        else f.setPixelSize(f.pixelSize() * 3 / 2);
    }
    w->setFont(f);
}

} // namespace

void InstallPickListWatch(TOrgForm *form);
void InstallGrid(TOrgForm *form);

void TOrgForm::buildViewCommands() {
    using K = QKeySequence;
    NewEvent = Item(EventsM, QStringLiteral("&New Event"), "NewEvent", 53050);
    DeleteEvent = Item(EventsM, QStringLiteral("&Delete Event"), "DeleteEvent", 53060);
    ContentsItem = Item(EventsM, QStringLiteral("Contents"), "ContentsItem", 30500);
    InsertSection = Item(EventsM, QStringLiteral("Insert section..."), "InsertSection", 53700);
    ViewDance = Item(EventsM, QStringLiteral("View Dance"), "ViewDance", 0, K(Qt::Key_F10));
    NewDance = Item(DancesM, QStringLiteral("New Dance"), "NewDance", 55050);
    DeleteDance = Item(DancesM, QStringLiteral("Delete Dance"), "DeleteDance", 55060);
    FormViewItem = Item(ViewM, QStringLiteral("Table View"), "FormView", 57200, K(Qt::Key_F7));
    NextTab = Item(ViewM, QStringLiteral("Next Tab"), "NextTab", 0, K(Qt::Key_F6));
    PrevTab = Item(ViewM, QStringLiteral("Previous Tab"), "PrevTab", 0, K(Qt::SHIFT | Qt::Key_F6));
    NotesItem = Item(ViewM, QStringLiteral("Notes"), "NotesItem", 57300);
    FullScreenItem = Item(ViewM, QStringLiteral("Full-screen"), "FullScreenItem", 57550, K(Qt::Key_F11));
    WhiteboardItem = Item(ViewM, QStringLiteral("Whiteboard"), "WhiteboardItem", 57555);
    LargeItem = Item(ViewM, QStringLiteral("Large"), "Large", 57500);
    LargeItem->setCheckable(true);
    LargeItem->setChecked(OptionChecked(QStringLiteral("Large")));
    SettingsM->addSeparator();
    TemplateItem = Item(SettingsM, QStringLiteral("Template..."), "TemplateItem", 58240);
    for (const SectionItem &s : SectionTable) {
        QAction *a = Item(SettingsM, QLatin1String(s.caption), s.name, s.help);
        SectionItems.append(a);
        connect(a, &QAction::triggered, this, [this, a] { SectionClick(a); });
    }
    const struct {
        const char *name;
        int help;
    } optionHelps[] = {{"ToFit", 57520}, {"ShowTitles", 58210}, {"ShowRules", 20000}};
    for (const auto &o : optionHelps)
        if (QAction *a = OptionAction(QLatin1String(o.name))) a->setProperty("HelpContext", o.help);

    connect(NewEvent, &QAction::triggered, this, [this] { NewEventClick(); });
    connect(DeleteEvent, &QAction::triggered, this, [this] { DeleteEventClick(); });
    connect(NewDance, &QAction::triggered, this, [this] { NewDanceClick(); });
    connect(DeleteDance, &QAction::triggered, this, [this] { DeleteDanceClick(); });
    connect(ViewDance, &QAction::triggered, this, [this] { DetailsClick(); });
    connect(FormViewItem, &QAction::triggered, this, [this] { FormViewClick(); });
    connect(NextTab, &QAction::triggered, this, [this] { NextTabClick(true); });
    connect(PrevTab, &QAction::triggered, this, [this] { NextTabClick(false); });
    connect(NotesItem, &QAction::triggered, this, [this] { ViewNotesClick(true); });
    connect(FullScreenItem, &QAction::triggered, this, [this] { FullScreenClick(); });
    connect(FullBtn, &QPushButton::clicked, this, [this] { FullScreenClick(); });
    connect(WhiteboardItem, &QAction::triggered, this, [this] {
        CopyDataText.clear();
        WhiteboardClick();
    });
    connect(LargeItem, &QAction::triggered, this, [this] { LargeClick(); });
    connect(TemplateItem, &QAction::triggered, this, [this] { TemplateMClick(); });
    connect(ContentsItem, &QAction::triggered, this, [this] { ContBtnClick(); });
    connect(InsertSection, &QAction::triggered, this, [this] { ContBtnClick(); });
    connect(ContBtn, &QPushButton::clicked, this, [this] { ContBtnClick(); });
    connect(ContList, &QListWidget::itemClicked, this, [this](QListWidgetItem *i) { ContListClick(i); });
    for (QMenu *m : {RulesM, EventsM, DancesM})
        connect(m, &QMenu::aboutToShow, this, [this, m] {
            if (m == DancesM) KeepTableSelection();
            REDClick(m);
        });
    connect(ViewM, &QMenu::aboutToShow, this, [this] {
        FormViewItem->setText(!Grid->isHidden() ? QStringLiteral("Form View") : QStringLiteral("Table View"));
    });
    connect(GroupP, &QToolButton::clicked, this, [this] { OrgPNClick(GroupP); });
    connect(GroupN, &QToolButton::clicked, this, [this] { OrgPNClick(GroupN); });
    connect(ProgP, &QToolButton::clicked, this, [this] { ProgPNClick(ProgP); });
    connect(ProgN, &QToolButton::clicked, this, [this] { ProgPNClick(ProgN); });

    // The options with more to do than store their mark (stored first by OptionClick).
    if (QAction *a = OptionAction(QStringLiteral("ToFit")))
        connect(a, &QAction::triggered, this, [this] {
            ShowMsg(QStringLiteral("Setting recorded.  Please restart Quillary."));
            CloseMainWindow();
        });
    if (QAction *a = OptionAction(QStringLiteral("ShowTitles")))
        connect(a, &QAction::triggered, this, [this] { ShowDance(); });
    if (QAction *a = OptionAction(QStringLiteral("ShowRules")))
        connect(a, &QAction::triggered, this, [this](bool on) {
            SetPageVisible(RulePage, on);
            RulesM->menuAction()->setVisible(on);
            if (on) PC->setCurrentWidget(RulePage);
        });

    // The navigators: the pick list closes; the filter goes off before an insert.
    ENav->BeforeAction = [this](NavButton b) {
        ClosePopList();
        if (b == NavButton::Insert) SetFilter(FilterTable::Events, 1);
        // Post saves the event as a command does (a typed date too), without counting calls.
        if (b == NavButton::Post) SaveERec(SaveSender::Other);
    };
    auto danceBefore = DNav->BeforeAction;
    DNav->BeforeAction = [this, danceBefore](NavButton b) {
        if (b == NavButton::Insert) SetFilter(FilterTable::Dances, 1);
        if (danceBefore) danceBefore(b);
    };
    // The Called box's right-click lists the events where the dance was called.
    Called->setProperty("ownMenu", true);
    Called->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Called, &QWidget::customContextMenuRequested, this, [this] { WhenClick(Called); });
    CreateListForm(this);
    InstallPickListWatch(this);
    InstallGrid(this);
}

// ---- pages -----------------------------------------------------------------------

void TOrgForm::REDClick(QMenu *menu) {
    QWidget *page = menu == RulesM ? RulePage : menu == EventsM ? EventPage : DancePage;
    if (PC->currentWidget() == page) {
        if (page == DancePage) EnsureFormView();
        return;
    }
    PC->setCurrentWidget(page);
}

bool TOrgForm::PCChanging(QWidget *from) {
    if (from != DancePage) return true;
    const bool editing = DancesData.active() && DancesData.State() != DatasetState::Browse;
    if (editing && (Title->isModified() || Format->isModified() || Style->isModified())) {
        OKHelpCancel(QStringLiteral("Title, Format or Style have been modified.\r\rPlease save the dance or cancel "
                                    "the changes by clicking the [X] in the navigator."),
                     85200);
        return false;
    }
    return true;
}

void TOrgForm::PCChange() {
    QWidget *page = PC->currentWidget();
    if (ShownPage && ShownPage != page && !PCChanging(ShownPage)) {
        const QSignalBlocker quiet(PC);
        PC->setCurrentWidget(ShownPage);
        return;
    }
    ShownPage = page;
    const bool dances = page == DancePage;
    // Qt ignores a shortcut two actions hold: it moves to the page's save.
    SaveE->setShortcut(dances ? QKeySequence() : QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveD->setShortcut(dances ? QKeySequence(Qt::CTRL | Qt::Key_S) : QKeySequence());
    if (!RowsBuilt) {
        setWindowTitle(PageCaption(KindOf(this, page), page == RulePage ? RuleSetName() : QString()));
        return;
    }
    HideGrid();
    MsgPanel->hide();
    if (QWidget *focus = QApplication::focusWidget(); focus && isAncestorOf(focus)) focus->clearFocus();
    // With the focus gone no field is entered: the new page's keys are its own.
    FieldEntered = false;
    ScrollBox->setVerticalScrollBarPolicy(page == FolderPage ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    ClosePopList();
    WriteLog(PC->tabText(PC->currentIndex()));
    DropField = nullptr;
    if (page != RecPage) DancePageEnter();
    if (page == EventPage) {
        // The record moved while another page showed its table view.
        if (EventRowsStale) ShowEvent(true);
        if (ThisIndex >= 0 && ThisIndex < Rows->ItemList.size()) Rows->SelectItem(Rows->ItemList[ThisIndex]);
    } else if (dances) {
        ShowDance();
        ProgP->setEnabled(ThisIndex >= 1);
        ProgN->setEnabled(ThisIndex >= 0 && ThisIndex + 1 < Rows->ItemList.size());
    } else if (page == FolderPage) {
        InitFolders();
    } else if (page == RecPage) {
        RecPageEnter();
    }
    setWindowTitle(PageCaption(KindOf(this, page), page == RulePage ? RuleSetName() : QString()));
}

void TOrgForm::NextTabClick(bool forward) {
    QList<bool> shown;
    for (int i = 0; i < PC->count(); ++i) shown.append(PC->isTabVisible(i));
    PC->setCurrentIndex(StepPage(shown, PC->currentIndex(), forward));
    if (PC->currentWidget() == DancePage) FocusIfPossible(Title);
}

int TOrgForm::ActivePage() const { return PC->currentIndex(); }

void TOrgForm::SetActivePage(int page) {
    if (page >= 0 && page < PC->count()) PC->setCurrentIndex(page);
}

bool TOrgForm::DancesPageActive() const { return PC->currentWidget() == DancePage; }

void TOrgForm::ShowChosenDance(const QString &title, const QString &format, const QString &style) {
    LocateDance(title, format, style);
    ShowDance();
}

void TOrgForm::FocusSelection() { FocusIfPossible(TitleBtn); }

QRect TOrgForm::ClientGeometry() const {
    const QWidget *client = centralWidget();
    return QRect(client->mapToGlobal(QPoint(0, 0)), client->size());
}

// ---- records ---------------------------------------------------------------------

void TOrgForm::NewEventClick() {
    PC->setCurrentWidget(EventPage);
    WriteLog(QStringLiteral("New Event"));
    SetFilter(FilterTable::Events, 1);
    EventsData.Append();
    Org->setFocus();
}

void TOrgForm::DeleteEventClick() {
    WriteLog(QStringLiteral("Delete Event"));
    EventsData.Delete();
}

void TOrgForm::NewDanceClick() {
    PC->setCurrentWidget(DancePage);
    EnsureFormView();
    WriteLog(QStringLiteral("New Dance"));
    SetFilter(FilterTable::Dances, 1);
    DancesData.Append();
    ShowDance();
    Title->setFocus();
}

void TOrgForm::DeleteDanceClick() {
    WriteLog(QStringLiteral("Delete Dance"));
    // A dance goes with its instructions: a slip of the mouse must not cost them.
    if (DancesData.active() && !DancesData.IsEmpty()) {
        QString title = StoredDanceKey(DancesData).Title;
        if (title.isEmpty()) title = CurrentDanceKey(DancesData).Title;
        if (!YesNo(QStringLiteral("Delete dance ") + DisplayTitle(title) + QLatin1Char('?'))) return;
    }
    DancesData.Delete();
    ShowDance();
}

// ---- view options ----------------------------------------------------------------

void TOrgForm::ViewNotesClick(bool fromMenu) {
    int lines = SettingInteger(QStringLiteral("System"), QStringLiteral("Notes"));
    if (fromMenu) {
        const QString answer = InputBox(QStringLiteral("Quillary"),
                                        QStringLiteral("Enter maximum Notes lines displayed (0 to hide Notes)"),
                                        QString::number(lines));
        bool ok = false;
        const int n = answer.trimmed().toInt(&ok);
        if (!ok || n < 0) return;
        lines = n;
        if (IniFile) IniFile->WriteInteger(QStringLiteral("System"), QStringLiteral("Notes"), lines);
        Notes->setFixedHeight(60);
    }
    if (NotesItem) NotesItem->setText(NotesCaption(lines));
    Notes->setVisible(lines > 0);
    if (fromMenu) ShowDance();
}

void TOrgForm::HeadingsClick() {
    const bool on = Headings->isChecked();
    auto *dance = qobject_cast<TDance *>(Rows->ThisItem);
    const QString title = dance && ThisIndex >= 0 ? dance->key().Title : QString();
    Rows->SelectItem(nullptr);
    if (on) SaveERec(SaveSender::Other);
    StoreOption(QStringLiteral("Headings"), on);
    ShowEvent(false);
    if (!title.isEmpty()) SelectTitleRow(title);
}

void TOrgForm::LargeClick() {
    const bool large = LargeItem->isChecked();
    StoreOption(QStringLiteral("Large"), large);
    ScaleWindow(this, large);
    ScaleWindow(ListForm, large);
    if (!PlayPnl->property("baseFont").isValid()) PlayPnl->setProperty("baseFont", PlayPnl->font());
    QFont play = PlayPnl->property("baseFont").value<QFont>();
    if (large && play.pointSizeF() > 0) play.setPointSizeF(play.pointSizeF() * 2 / 3);
    PlayPnl->setFont(play);
    BuildTitleRow();
    ShowDance();
}

void TOrgForm::TemplateMClick() {
    QString file = ProgramFolder + SettingText(QStringLiteral("User"), QStringLiteral("Template"));
    if (!PickFile(this, QStringLiteral("RTF files|*.RTF"), ProgramFolder, true, file, QStringLiteral("Template")))
        return;
    const QString name = QFileInfo(file).fileName();
    if (IniFile) IniFile->WriteString(QStringLiteral("User"), QStringLiteral("Template"), name);
    if (!name.startsWith(QStringLiteral("Template.RTF"), Qt::CaseInsensitive)) {
        for (const char *option : {"Refine", "IntEditor", "UseFooter"}) {
            StoreOption(QLatin1String(option), false);
            if (QAction *a = OptionAction(QLatin1String(option))) a->setChecked(false);
        }
    }
    ShowMsg(QStringLiteral("Now using template ") + file);
}

void TOrgForm::UserClick(const QString &key) {
    WriteLog(QStringLiteral("User: ") + key);
    const QString old = SettingText(QStringLiteral("User"), key);
    QString value = old;
    if (!InputQuery(QStringLiteral("Quillary"), QStringLiteral("Enter new value for ") + key, value)) return;
    if (key == QLatin1String("ABC") && !value.isEmpty()) {
        QString folder = value;
        folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!QFileInfo(folder).isDir()) AbortMsg(QStringLiteral("Folder does not exist:\r") + value);
    }
    if (value != old && IniFile) IniFile->WriteString(QStringLiteral("User"), key, value);
}

// ---- the settings sections ------------------------------------------------------

void TOrgForm::SectionClick(QAction *item) {
    const QString section = item->objectName();
    WriteLog(QStringLiteral("Show Section: ") + section);
    EditSection(section, item->property("HelpContext").toInt(), this);
    FindLocationColumn();
}

void TOrgForm::RebuildProgrammeDisplay() {
    BuildTitleRow();
    if (EventsData.active() && !EventsData.IsEmpty()) ShowEvent(false);
}

// ---- outlines ----------------------------------------------------------------------

void TOrgForm::ContBtnClick() {
    WriteLog(QStringLiteral("ContBtn"));
    PC->setCurrentWidget(EventPage);
    if (EventsData.active() && EventsData.State() != DatasetState::Browse) EventsData.CheckBrowseMode();
    ContList->clear();
    if (IniFile) ContList->addItems(IniFile->ReadSection(QStringLiteral("Contents")));
    ContList->setGeometry(ContBtn->x(), ContBtn->y(), 200, std::min(300, 20 * (int(ContList->count()) + 1)));
    ContList->raise();
    ContList->show();
    ContList->setFocus();
}

void TOrgForm::ContListClick(QListWidgetItem *item) {
    if (!item) return;
    WriteLog(QStringLiteral("ContListClick"));
    SaveERec(SaveSender::None);
    ContList->hide();
    Body->hide();
    const QString codes = SettingText(QStringLiteral("Contents"), item->text());
    const InsertResult r =
        InsertProgrammeItem(ProgText, ProgrammeSeparator, ThisIndex, int(Rows->ItemList.size()), codes);
    ProgText = r.text;
    ThisIndex = r.thisIndex;
    Body->show();
    if (!r.error.isEmpty()) ShowMsg(r.error);
    ShowEvent(false);
    SaveERec(SaveSender::Other);
}

// ---- small services -----------------------------------------------------------------

void TOrgForm::EnsureFormView() {
    if (!Grid->isHidden() && PC->currentWidget() == DancePage) FormViewClick();
}

void TOrgForm::EnsureGridView() {
    if (Grid->isHidden() && PC->currentWidget() == DancePage) FormViewClick();
}

void TOrgForm::FocusIfPossible(QWidget *control) {
    for (QWidget *w = control; w; w = w->parentWidget())
        if (!w->isVisible() || !w->isEnabled()) return;
    if (control) control->setFocus();
}

void TOrgForm::ShowProgressPanel(const QString &text) {
    auto *panel = findChild<QLabel *>(QStringLiteral("ProgressPanel"));
    if (!panel) {
        panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("ProgressPanel"));
        panel->setFrameShape(QFrame::Panel);
        panel->setAlignment(Qt::AlignCenter);
        panel->setAutoFillBackground(true);
    }
    panel->setText(text);
    panel->adjustSize();
    panel->resize(std::max(panel->width() + 40, 300), panel->height() + 20);
    panel->move((width() - panel->width()) / 2, (height() - panel->height()) / 2);
    panel->raise();
    panel->show();
}

void TOrgForm::LockKeys(int key) {
    if (OptionChecked(QStringLiteral("NumLock")) && FullScreenShowing())
        ShowFullScreenNumLock(KeyState::isToggled(StateKey::NumLock));
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock) {
        const StateKey which = key == Qt::Key_CapsLock ? StateKey::CapsLock : StateKey::NumLock;
        PlayWaveResource(KeyState::isToggled(which) ? QStringLiteral("On") : QStringLiteral("Off"));
    }
}
