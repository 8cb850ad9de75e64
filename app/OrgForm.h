#pragma once
// The main window: the page control with the Rules, Events, Dances,
// Recordings and Folders pages, the menus, and the start-up that runs when
// the window is first shown (app/OrgFormStartup.cpp).

#include "core/dances/RecordHooks.h"
#include "core/services/MainWindowLink.h"
#include "core/services/WheelSteps.h"
#include "programme/rows/ItemRows.h"
#include "programme/rows/RowDrag.h"
#include "programme/text/ProgrammeText.h"

#include <QDate>
#include <QDateTime>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <exception>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <functional>
#include <memory>

struct SyncDirection;

class DanceLookup;
class Dataset;
class EventHistory;
enum class FilterSender;
enum class FilterTable;
class IdleHook;
enum class NavButton;
enum class NotSelection;
class OrgFormFilterUi;
class ProgrammeRows;
class QAction;
class QEvent;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QIcon;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class QTableWidget;
class RecordingsGrid;
class QTextEdit;
class QTimer;
class QToolButton;
class RichEdit;
enum class SaveSender;
class TDBNavigator;
class TDataSource;
class TMsgPanel;
class TMyPlayer;

// What the evaluation of the shown programme reads besides the window: the
// catalogue's dances, the events around the shown one and its date (invalid
// when it has none). A source left empty reads nothing.
struct EvaluationSources {
    std::shared_ptr<const DanceLookup> dances;
    std::shared_ptr<const EventHistory> history;
    QDate EDate;
};

// How the main window's start-up ended.
enum class StartupResult {
    NotRun,
    Done,         // every step ran; the records are shown
    NoSettings,   // no settings file: the window closes
    Ended,        // the user or a failure ended the program before any record showed
};

class TOrgForm : public QMainWindow,
                 public RowEventSink,
                 public MainWindowLink,
                 public RecordHookHandlers {
    Q_OBJECT
public:
    explicit TOrgForm(QWidget *parent = nullptr);
    ~TOrgForm() override;

    // ---- page control -------------------------------------------------------
    QScrollArea *ScrollBox;  // holds everything below the menu bar
    QWidget *Content;
    QTabWidget *PC;
    QWidget *RulePage, *EventPage, *DancePage, *RecPage, *FolderPage;

    // ---- Rules page ---------------------------------------------------------
    QPlainTextEdit *RuleSet;
    QGroupBox *RuleGroup;
    QComboBox *Box1, *Box2;
    QLineEdit *NumBox1, *NumBox2;
    QLabel *ToLab;
    QPushButton *NewRule, *SvRule, *DelRule;
    // The selection boxes for Style, Rhythm, Format and Author, made by the
    // start-up once the catalogue is open.
    QList<QComboBox *> SelBoxes;
    QGroupBox *Buttons;
    QPushButton *NewRSet, *OpenBtn, *WhatBtn, *SvSetBtn, *AsBtn, *DelBtn, *HelpRules, *Exit2Btn;

    // ---- Events page --------------------------------------------------------
    QFrame *EvPanel;
    QLineEdit *Org, *Event, *ETime, *Venue, *Town, *Postcode, *Band, *Contact, *Phone, *Email,
        *WebSite, *Fee;
    QLineEdit *DateBox;
    QCheckBox *Updated, *Acknowledged, *Prv, *IsRec;
    TDataSource *ESource; // binds the Events boxes
    TDBNavigator *ENav;
    QToolButton *GroupP, *GroupN, *ProgP, *ProgN;
    QPushButton *ContBtn, *HelpEvents;
    QScrollArea *Body; // the programme rows (Rows->Body)

    // ---- Dances page --------------------------------------------------------
    QFrame *DPanel;
    QLineEdit *Title, *Format, *Style, *Rhythm, *Energy, *Author, *Collection, *Popular, *SwingP,
        *SwingN, *Tolbrook, *Called, *KeySig, *Tempo, *Timing;
    QComboBox *Lvl;
    QLabel *TolbrookLab;
    QPlainTextEdit *Notes;
    QLineEdit *Music;
    RichEdit *Instructions;
    RichEdit *WorkRich; // invisible scratch rich text
    QCheckBox *Printed, *Callit, *OwnTune;
    QToolButton *TagOn, *TagOff;
    QComboBox *DOrderBox;
    QPushButton *TitleBtn, *MusicBtn, *ABCBtn, *FullBtn, *HelpDances;
    TDataSource *DSource; // binds the Dances boxes
    TDBNavigator *DNav;
    QFrame *PlayPnl;
    QPushButton *PlayBtn, *PauseBtn;

    // ---- Recordings page ----------------------------------------------------
    QLineEdit *Searcher;
    QCheckBox *Unused;
    QPushButton *AddBtn, *ScanBtn, *RefrBtn, *RBaseBtn, *HelpRecs;
    QLabel *RBase, *CurDance;
    RecordingsGrid *RecGrid;

    // The table view of Events or Dances (hidden until asked for).
    QTableView *Grid;

    // The message panel in front of the window.
    TMsgPanel *MsgPanel;

    // ---- menus --------------------------------------------------------------
    QMenu *FileM, *EventsM, *DancesM, *RulesM, *ViewM, *SettingsM, *TolbrookM, *ToolsM, *TagsM,
        *UserM, *HelpM, *VellamM;
    QAction *ExitM, *Battery;
    QAction *Tolbrook0, *Tolbrook1, *Tolbrook2;
    QActionGroup *TolbrookGroup;
    QList<QAction *> OptionActions; // the option items, named like their keys
    // The notes pop-up menu.
    QMenu *NPopup;
    QAction *LocalLink, *WebLink, *PasteMemo, *CheckNote, *Special;

    // The option item of that name, or null.
    QAction *OptionAction(const QString &name) const;
    // The page's index in PC.
    int PageIndex(QWidget *page) const;
    void SetPageVisible(QWidget *page, bool visible);
    bool PageVisible(QWidget *page) const;

    // ---- filter, finds and tags (app/views/OrgFormFilter.cpp) -------------------
    QPushButton *EFilterBtn, *EMultiBtn, *DFilterBtn, *DMultiBtn;
    QToolButton *EFiltered, *DFiltered; // the filter indicators
    QAction *FilterItem, *MultiFilter, *FindEvent, *FindDance, *Session;
    QAction *NotRecent, *NotThis, *NotBoth, *OddFormat, *Never, *Neglected;
    QAction *CreateSet, *SelectSet, *DeleteSet, *NoSet, *TagFilter;

    void FilterClick(FilterSender sender);
    void SetFilter(FilterTable table, int mode);
    void ShowRecordCount(FilterTable table);
    void NotClick(NotSelection item);
    void SessionClick();
    void OddFormatClick();
    void NeverClick();
    void NeglectedClick();
    void FindEventClick();
    void FindDanceClick();
    void TagsClick();
    void CreateSetClick();
    void SelectSetClick();
    void DeleteSetClick();
    void NoSetClick();
    void TagFilterClick();
    void TagOffClick();
    void TagOnClick();

    // ---- the shown dance (app/dances/OrgFormDance.cpp) -----------------------------
    // Moves Dances to the dance of that key, or deals with its absence.
    void LocateDance(const QString &title, const QString &format, const QString &style);
    // ShowDance: below, with what the database logic asks of the window.
    void SetMusic();
    void DOrderChange();
    void FindClick();
    void DNavBefore(NavButton button);
    void DNavClick(NavButton button);
    void NChange();
    void MusicChange();
    // Connects the Dances page's boxes and buttons to the handlers above.
    void ConnectDancePage();

    // ---- record hooks (app/dances/OrgFormHooks.cpp) -------------------------------
    void DancesBeforePost(Dataset &dataset) override;
    void EventsBeforePost(Dataset &dataset) override;
    void AnyAfterPost(Dataset &dataset) override;
    void BeforeDelete(Dataset &dataset) override;
    void EventsChange();
    void EDataChange();
    void EventsAfterScroll(Dataset &dataset) override;
    void DancesAfterScroll(Dataset &dataset) override;
    void DancesPostFailed(Dataset &dataset) override;
    void DancesDeleteFailed(Dataset &dataset) override;
    void EventsEnable();

    // A new dance record, as the record hooks and the dance commands start one
    // (app/views/OrgFormViews.cpp).
    void NewDanceClick();

    // ---- instructions command (app/dances/OrgFormInstructions.cpp) ----------------
    QAction *EditM = nullptr; // Dances menu "Edit" (Ctrl+E)
    // The display title as a 14-point bold first line where the first line
    // does not hold it.
    void AddTitleHeading(RichEdit *box, const QString &title);
    void InstEdit2();
    void InstEdit();
    // Instructions from the template when the dance has none, then editing.
    void GenerateInstructions();
    // Fills Instructions and Footer from the template; false when abandoned.
    bool InstructionsFromTemplate();
    void EditInstructions();
    void SaveExternalInstructions();
    void CheckTemplateFont();
    void buildInstructionControls();

    // ---- instruction formatting (app/dances/OrgFormFormatting.cpp) ---------------
    QAction *DanceFont = nullptr, *ParaGapM = nullptr, *LineSpace = nullptr, *SelectAllM = nullptr;
    QDateTime LastInstructionsPress; // the previous press in Instructions
    void DanceFontClick();
    void ParaGapMClick();
    void LineSpaceClick();
    void GenderClick(QAction *item);
    void SelectAllClick();
    void InstructionsMouseDown();
    void buildFormattingCommands();

    // What the instruction editor asks of the main window.
    QString DanceBox(const QString &field) override;
    void SetDancesFilter(int mode) override;

    // ---- start-up -----------------------------------------------------------
    // Runs once, queued from the first show; tests call it directly.
    void FormShow();
    StartupResult StartupOutcome() const { return startupResult; }
    // Events on the first event from today on; the last one when there is
    // none, or for another database than the standard one.
    void PositionOnToday();

    // The user menu's keys, in order.
    static const QStringList &UserKeys();

    // ---- catalogue tools on the Dances and Tools menus (OrgFormTools.cpp) ------
    void buildCatalogueTools();
    void ValDanceClick();
    void ReorgClick();
    bool PopListShowing() const override;

    // ---- the maintainer's menu VellamM (OrgFormMaintainer.cpp) ----------------
    void buildMaintainerMenu();
    void ScrivletClick();
    void MyDancesClick();
    void MyIntsClick(bool checked);
    void UnpubClick();
    void NoABCClick();
    void ScottishClick();
    void ScanCDClick();
    void RandomClick();
    void InstallClick();
    void ToFromClick(const SyncDirection &direction);
    QAction *MyInts = nullptr;

    // ---- what the database logic asks of the window ---------------------------
    void ShowDance() override;
    void ShowEvent() override;
    void SetBusy(bool busy) override;
    void SplashStatus(const QString &text) override;
    void HideSplash() override;
    void SetDOrderBox(int entry) override;
    void CloseMainWindow() override;
    // The bound box last focused on the page in front.
    bool Focus(FocusControl *focus) override;

    // ---- handlers -----------------------------------------------------------
    // A click on an option item: stores its mark.
    void OptionClick(QAction *item);
    // Chooses the tune-book item (0, 1 or 2), stores it and shows or hides
    // the Tolbrook box.
    void TolbrookClick(int index);
    // The power-state message; fromMenu is false when start-up asks.
    void BatteryClick(bool fromMenu);

    // The user menu item for a key.
    void UserClick(const QString &key);
    void ViewNotesClick(bool fromMenu);
    void PCChange();
    void SelBoxChange(QComboBox *box);
    void NotifyClick();
    void RecDetsClick(bool fromMenu);
    void SetRFolder();
    void FormResize();
    // Below 800 pixels the Dances page moves Tolbrook, its label, the Music
    // button and the play panel to a row of their own under the fields.
    bool CompactDances = false;
    QHBoxLayout *CompactRow = nullptr;
    // Creates the media player (owner: the notes area).
    void CreatePlayer();

    // Ends the program before any record is shown: the close handler does
    // not run.
    void Terminate();
    bool Terminated() const { return terminated; }
    // Closes the window without running the close handler.
    void CloseWithoutHandler();

    // The horizontal scroll range: the right edge of the playback panel.
    int HorizontalRange() const;
    // Sets it: the pages scroll sideways only in a window narrower than that.
    void SetScrollRange();

    // ---- programme rows (app/events/OrgFormProgramme.cpp) ---------------------
    // The rows of the shown event with TitleRow, DummyItem, ItemList,
    // ThisItem, AnItem and the pools; ThisIndex is program-wide.
    ProgrammeRows *Rows = nullptr;
    // The programme string of the shown event while its rows are edited.
    QString ProgText;
    // Makes the column-title row anew from [Display] and the scale options;
    // the pooled rows go, so the next show builds rows to match.
    void BuildTitleRow();
    // The headings-only view (option "Headings") is on.
    bool HeadingsOnly() const;
    // Builds and colours the rows of ProgText, showing the reader's messages.
    // With Rebuild, ProgText is first the event's stored programme. A repaired
    // text becomes ProgText; the caller stores it when read.repaired is set.
    ProgrammeRead ShowProgText(bool Rebuild, const QString &programme = QString());
    // The rows back into ProgText; throws in the headings-only view.
    void SerialiseRows();
    // What the rows report: the drag (OrgFormDrag.cpp), the row menu
    // (OrgFormEditor.cpp) and the clicks on headings and titles.
    void ItemMouseDown(TItem *row, QMouseEvent *event) override;
    void ItemMouseUp(TItem *row, QMouseEvent *event) override;
    void ActionClick(TItem *row) override;
    void ItemClick(THeading *row) override;
    void TitleClick(TDance *row) override;
    void LastCRClick(TDance *row, QLabel *label) override;
    void LastHClick(TDance *row, QLabel *label) override;
    void NotesChange(TNotes *row) override;
    void NotesMouseDown(TNotes *row, QMouseEvent *event) override;
    void NotesRClick(TNotes *row) override;
    void NotesDblClick(TNotes *row) override;
    // "View Dance": the selected dance row's dance on the Dances page.
    void DetailsClick();

    // ---- programme editor commands (app/events/OrgFormEditor.cpp) ---------------
    QMenu *DPopup = nullptr;  // the row pop-up of the red "+"
    QAction *LoadFromP = nullptr, *DetailsP = nullptr, *DeleteP = nullptr, *InsNotes = nullptr;
    QLineEdit *NewText = nullptr;  // a heading's text edited in place
    THeading *EditedHeading = nullptr;
    // The programme clipboard: kept for the whole run, never the system's.
    QString ProgClip;
    // Set by Move Section: the next heading click lands the section.
    bool MovePending = false;
    void buildEditorCommands();
    void InsItemClick(QAction *item);
    void InsNotesClick();
    // withSender: the command, not a key, asked (the event is marked edited).
    void DelItemClick(bool withSender);
    void NewTextExit();
    void NewTextEnter();
    void EmptiesClick();
    void BlankDClick();
    void ClearAllClick();
    void DupEventClick();
    void CopyCutClick(QAction *item);
    void EraseSectClick();
    void EraseSelClick();
    void MoveSectClick();
    void PasteClick();
    // The keyboard table (app/events/OrgFormKeys.cpp): true when the key stops here.
    bool FormShortcut(QKeyEvent *event);
    // Dragging rows (app/events/OrgFormDrag.cpp) and putting dances into the
    // programme (app/events/OrgFormSelectD.cpp).
    void ItemMouseMove(TItem *row, QMouseEvent *event) override;
    RowDrag Drag;
    double LastPress = 0;  // the last press on a row, in days
    QPushButton *SelectD = nullptr;  // Dances page: the dance into the programme
    QAction *SelectM = nullptr;      // the same on the Dances menu
    // sender: SelectD, SelectM or null (the Dances page's dance), or a dance
    // row (TitleClick, a typed letter: the chooser's dance).
    void SelectDClick(QObject *sender = nullptr);
    void buildSelectDance();
    // Opening the Dances menu returns the page to form view: the dances then
    // selected in the table are kept for the menu's Put into Programme.
    void KeepTableSelection();
    QList<DanceKey> KeptSelection;
    // The field whose leave waits while Down has put the focus into its pick
    // list; leaving the list hides it and leaves the field.
    QWidget *HeldExit = nullptr;
    bool HeldModified = false;  // it was typed into
    void PopListExit();

    // ---- evaluation (app/evaluation/OrgFormEvaluation.cpp) ------------------------
    // Fills the computed columns, times, history and the average row of the
    // shown programme; a level message abandons it (SilentAbort).
    void Evaluate();
    // Installs what the evaluation reads; asked once per evaluation.
    void SetEvaluationSources(std::function<EvaluationSources()> sources);


    // ---- the shown event and the field services (app/events/OrgFormEvent.cpp) --
    QListWidget *PopList;  // the pick list of earlier values
    QListWidget *ContList; // the programme's outline, hidden until asked for
    QAction *SaveE = nullptr; // Events menu "&Save" (Ctrl+S): saves with call counting
    QAction *SaveD = nullptr; // Dances menu "&Save": Ctrl+S while the Dances page shows
    QAction *Headings;     // Events menu: the headings-only view
    // The data edit whose pick list was last built, or null.
    QWidget *DropField = nullptr;
    // The data control last entered (read by the record commands).
    QWidget *LastDataControl = nullptr;
    bool FieldEntered = false;
    // The pick list was asked for by a right-click: every value is listed.
    bool RightClickList = false;
    // Set while "Copy Event" runs: showing the event does not evaluate it.
    bool NoEvaluation = false;
    // The rows were built at least once.
    bool RowsBuilt = false;
    // A dance post being stored renamed its items in the programmes: the
    // shown event follows once the post is stored.
    bool ProgrammesRenamed = false;
    // The shown event's edits, stored inside a dance's post or delete that
    // rewrote the programmes: put back as edits should that write fail. While
    // one is held, a scroll of the Events table (the rollback's) leaves the
    // rows as they are.
    struct HeldEventEdits {
        Dataset::Typed typed; // the record as typed, new or edited
        QString progText;
        int thisIndex = -1;
        QString dateText;
        bool dateModified = false;
    };
    std::optional<HeldEventEdits> HeldEvent;
    // Stores the shown event's pending edits (an event being inserted
    // included) inside the dance's write, keeping them in HeldEvent.
    void StoreEventHeld();
    // The dance's write failed and was rolled back: the held event is an
    // edit (or an insert) again with its values, rows and date box, stored by
    // the next save. With Reshow the rows are built anew from them. False
    // when nothing was put back.
    bool PutBackHeldEvent(bool Reshow);
    // The shown rows and ProgText belong to an event other than the current
    // record (it moved while the table view showed).
    bool EventRowsStale = false;
    // Set while ShowEvent runs: a message it shows runs a local event loop,
    // whose idle time must not show the event again underneath it.
    bool ShowingEvent = false;

    // Shows the current event; Rebuild reloads ProgText from its programme.
    void ShowEvent(bool Rebuild);
    // ShowEvent from the Dances page's record hooks, which stays on its page.
    void ShowEventKeepingPage(bool Rebuild = true);
    // None: the rows into ProgText only; SaveE: the save with call counting;
    // the others save without counting (EventsData from its before-post).
    void SaveERec(SaveSender sender);
    // Checks and stores the current dance; sender may be the navigator.
    void SaveDRec(QObject *sender = nullptr);
    void DateBoxChange();
    void DateBoxExit();
    void AnyEnter(QWidget *sender);
    // sender null: the control with the focus.
    void AnyExit(QWidget *sender = nullptr);
    void DropList(QWidget *sender);
    // The context menu of an edit: the pick list with every value.
    void RightClick(QWidget *sender);
    void ClosePopList();
    // A value picked in the list: into its box, or the event it names
    // (app/views/OrgFormPickList.cpp).
    void PopListClick(QListWidgetItem *item);

    // ---- rule sets (app/evaluation/OrgFormRules.cpp) -----------------------------------
    void NoRuleSet();
    void OpenSet();
    void NewRuleSetClick();
    // Sender AsBtn always asks for a name.
    void SaveSet(QObject *sender);
    void DelSetClick();
    // The clicked line of RuleSet, from 0.
    void RuleSetClick(int line);
    void SvRuleClick();
    void NewRuleClick();
    void ResetRule();
    void DelRuleClick();
    void Box2Change();
    void NumBoxChange(QLineEdit *box);
    void WhatBtnClick();
    // The four selection boxes' items, each beginning with its field name.
    QList<QStringList> RuleBoxItems() const;

    // ---- programme test (app/evaluation/OrgFormTest.cpp) -------------------------------
    QAction *Test = nullptr;
    void TestClick();

    // ---- sessions (app/evaluation/OrgFormSessions.cpp) ---------------------------------
    QMenu *ListM = nullptr; // the Events menu's List submenu
    QAction *ListSess = nullptr, *ShowSess = nullptr, *ThisSess = nullptr;
    QString SessionSearchText;
    void SessClick(QAction *sender);
    void ThisSessClick();

    // ---- views and navigation (app/views/OrgFormViews.cpp, OrgFormNavigation.cpp,
    //      OrgFormPickList.cpp, OrgFormGrid.cpp) -------------------------------
    QAction *NewEvent = nullptr, *DeleteEvent = nullptr, *NewDance = nullptr, *DeleteDance = nullptr;
    QAction *ViewDance = nullptr, *DetailsItem = nullptr, *FormViewItem = nullptr, *NextTab = nullptr,
            *PrevTab = nullptr;
    QAction *NotesItem = nullptr, *FullScreenItem = nullptr, *WhiteboardItem = nullptr, *LargeItem = nullptr;
    QAction *TemplateItem = nullptr, *ContentsItem = nullptr, *InsertSection = nullptr;
    QList<QAction *> SectionItems; // "Display", "Recorded music", "Print", "Levels", "Timings"
    // The page in front when the full-screen display opened.
    QWidget *SavedPage = nullptr;
    // The page PCChange last let in front (a refused change goes back to it).
    QWidget *ShownPage = nullptr;
    // The table view shows the events (else the dances).
    bool GridOnEvents = false;

    void buildViewCommands();
    void REDClick(QMenu *menu);
    void NewEventClick();
    void DeleteEventClick();
    void DeleteDanceClick();
    // False refuses leaving the page.
    bool PCChanging(QWidget *from);
    void NextTabClick(bool forward);
    void OrgPNClick(QToolButton *sender);
    void ProgPNClick(QToolButton *sender);
    void FormViewClick() override;
    void FullScreenClick();
    void HeadingsClick();
    void LargeClick();
    void TemplateMClick();
    void SectionClick(QAction *item);
    void ContBtnClick();
    void ContListClick(QListWidgetItem *item);
    void EnsureFormView();
    void EnsureGridView();
    void FocusIfPossible(QWidget *control);
    void ShowProgressPanel(const QString &text);
    // After a key press: the full-screen NumLock indicator, the lock-key sounds.
    void LockKeys(int key) override;
    // Shows the event of a pick-list entry ("date: text") and selects the row
    // of that title.
    void ShowEventOfDay(const QString &entry, const QString &title);
    // Selects the first dance row of that title; false when there is none.
    bool SelectTitleRow(const QString &title);
    // For each programme row: a dance row with a title.
    QList<bool> TitledRows() const;
    void PopListRightClick(QListWidgetItem *item);
    // The pick list holds "date: text" entries that show an event.
    bool PopListShowsEvents = false;
    // The box the filter commands take as the one last focused.
    void MakeFocusControl(QWidget *box);
    // The table view's side of the filter commands.
    bool GridShows(FilterTable table) const;
    QString GridField() const;
    void PaintGridColumn(const QString &field);
    void SetGridView(FilterTable table, bool grid);
    // A double-click on Postcode, Email, WebSite or Town.
    void FieldShortcut(QWidget *box);
    // Puts the table view on a dataset, or hides it.
    void ShowGrid(bool events);
    void HideGrid();
    int ActivePage() const override;
    void SetActivePage(int page) override;
    bool DancesPageActive() const override;
    void ShowChosenDance(const QString &title, const QString &format, const QString &style) override;
    void FocusSelection() override;
    QRect ClientGeometry() const override;
    void RebuildProgrammeDisplay() override;
    void FormView() override;

    // ---- the full-screen display's side (app/views/OrgFormFull.cpp) --------------
    void ConnectFullScreen();
    // The notes view on a notes box (not while the display shows).
    void FullScreenNotes(QPlainTextEdit *memo);
    QList<ProgrammeItem> ProgrammeItems() const override;
    void SelectProgrammeRow(int index) override;
    void ShowSelectedDance() override;
    void StepProgrammeDance(int direction) override;
    RichEdit *InstructionsControl() override;
    QString ShownField(const QString &field) override;
    double ShownEventDate() const override;
    bool PlayPanelShown() const override;
    void PlayOrStop() override;
    TMyPlayer *MediaPlayer() override;
    bool FoldersPageSaved() const override;
    bool DancesPageSaved() const override;

    // ---- web pages (app/output/OrgFormWeb.cpp) ---------------------------------------
    QAction *WebE = nullptr;     // Events > "&Web page" (Ctrl+W)
    QAction *OneBandM = nullptr; // Events > "for &one band"
    QAction *WebD = nullptr;     // Dances > "&Web page" (Ctrl+H)
    // The part of a band's name the one-band table asked for last.
    QString BandPart;
    // Writes "Prog.htm" for the page the item belongs to and opens it; with
    // no item the page of the page on show is only built in PageText.
    void WebClick(QAction *Sender);
    // Tools > "&Annotate web".
    void buildPageTools();
    void AnnotateClick();
    QAction *AnnotateM = nullptr;
    // The bookings page (true) into the page named by [User] Bookings.
    void MakeWebPages(bool bookings);
    // ---- notes commands (app/OrgFormNotes.cpp) ---------------------------------------
    // The memo the notes pop-up acts on: the Dances page's notes or a
    // programme notes row's.
    QPointer<QPlainTextEdit> LinkTarget;
    void buildNotesCommands();
    // Follows the link under the caret of memo, or shows the notes in the
    // full-screen notes view when there is none.
    void FollowNoteLink(QPlainTextEdit *memo);
    // The same for a text without a memo of its own (the full-screen display's,
    // the instruction editor's): a link is followed, plain text opens nothing.
    void FollowNoteLinkAt(const QString &text, int caret) override;
    void followNoteLink(const QString &text, int caret, QPlainTextEdit *memo);
    void LocalLinkClick();
    void WebLinkClick();
    void PasteMemoClick();
    // The special-character panel over the window; a button's character
    // replaces the selection of the notes the menu was opened on.
    void SpecialClick();
    void SBClick(const QString &caption);
    void ABCBtnClick();
    // Tools > "Check all".
    void CheckAllClick();
    // Maintainer mode: the selected note in the tune index.
    void CheckNoteClick();
    // Maintainer mode, Check all: the dance's tune link against the tune
    // index; false when the maintainer cancels the scan.
    bool checkDanceTunes();
    QAction *CheckAllM = nullptr;
    // Appends the band table of the programme on show to PageText.
    void BuildTab();
    QString GetEvInfo() const;
    // A dance the table lacks, met by a read of the catalogue: the not-found
    // choices, the Dances page staying where it was.
    void LocateMissing(const DanceKey &key);

    // ---- exchange files, insert from list, listings (app/events/OrgFormExchange.cpp,
    //      OrgFormInsert.cpp, OrgFormListings.cpp) -------------------------------
    QAction *SaveAsE = nullptr, *LoadFrom = nullptr, *SaveAsD = nullptr, *LoadfromD = nullptr;
    QAction *InsList = nullptr, *Panic = nullptr, *PanicM = nullptr, *DupDance = nullptr, *CheckRecs = nullptr,
            *Bookings = nullptr;
    QAction *ListRTF = nullptr, *ListText = nullptr, *Titles = nullptr, *BandTunes = nullptr;
    void buildExchangeCommands();
    // The Events page in front (its page-change handler run).
    void ShowEventsPage();
    // For each programme row: it is in the selection colour.
    QList<bool> RowMarks() const;
    void SaveAsEClick();
    // Sender LoadFromP: a text file into the selected note; else a programme file.
    void LoadFromClick(QAction *Sender);
    void SaveAsDClick();
    void LoadfromDClick();
    // Sender InsList, Panic, PanicM, or BandTunes (WorkList already filled).
    void InsListClick(QAction *Sender);
    void DupDanceClick();
    void CheckRecsClick();
    void BookingsClick();
    // Sender ListRTF or ListText.
    void InstClick(QAction *Sender);
    void TitlesClick();
    void BandTunesClick();

    // ---- application services (app/OrgFormServices.cpp) --------------------
    QTimer *Timer;                           // one second: the playback clock
    QLabel *LEDElapsed, *LEDTLen, *LEDRemain; // the playback clock's figures
    QFrame *MPanel;                          // the table view's memo editor
    QLabel *TopLine;
    QPlainTextEdit *Memo;
    QPushButton *SaveBtn, *MExit, *HelpF;
    // The memo editor's field and dataset, the record it shows (its bookmark
    // and name) and the field's text as it was loaded.
    QString MemoField;
    Dataset *MemoData = nullptr;
    qint64 MemoRecord = 0;
    QString MemoName, MemoLoaded;

    void MyException(std::exception_ptr error);
    void OnIdle();
    void Setup(QWidget *container);
    void OnTimer();
    // A turn of the wheel over the table view, and over the programme.
    void MouseWheel(int angleDelta);
    bool FormMouseWheel(int angleDelta);
    void GridCellClick(const QModelIndex &index);
    void SaveBtnClick();
    void MExitClick();
    // The memo editor follows its table: before the table moves, an edit made
    // in it is stored into its record or dropped, as the user answers
    // (SettleMemo); once the table has moved it shows the new record, and it
    // closes when no record is shown (MemoFollow). CloseMemo hides it as it is.
    void SettleMemo();
    void MemoFollow();
    void CloseMemo();
    void CheckClick(QCheckBox *box);
    void IsRecClick();
    void SearcherEnter();
    void SearcherChange();
    void TestSave();
    void ExitMClick();
    // The close handler: false refuses the close.
    bool FormClose();
    void WMCopyData(const QByteArray &bytes);
    void HelpRulesClick();
    void HelpEventsClick();
    void HelpDancesClick();
    void HelpRecsClick();
    void HelpFClick();
    // The Help menu.
    void ReportClick();
    void CheckUpClick();
    void AboutClick();
    // The whiteboard (app/views/OrgFormWhiteboard.cpp) and the Play button
    // (app/dances/OrgFormPlayback.cpp).
    void WhiteboardClick();
    void PlayBtnClick();

    // ---- playback (app/dances/OrgFormPlayback.cpp) ----------------------------------
    TMyPlayer *Player = nullptr;
    QWidget *PlayTimes, *MarkPnl;
    QPushButton *MarkBtn;
    QLabel *MarkText;
    QIcon *PlayImg = nullptr, *Hand = nullptr; // owned, freed with the window
    void PauseBtnClick();
    void MarkBtnClick();
    // The Recordings grid's first cells, for FolderOfGridRow.
    QStringList RecGridFirstCells() const;

    // ---- the Music dialog's part of the window (app/dances/OrgFormMusic.cpp) --------
    void MusicBtnClick();
    QString DanceTitle() override;
    int ProgrammeMusicLine(const QString &title) override;
    void SetProgrammeMusicLine(int n) override;
    void SaveDanceMusic(const QString &text) override;
    void SetBase(const QString &start) override;

    // ---- the Folders page (app/dances/OrgFormFolders.cpp) ----------------------------
    QTableWidget *FoldGrid = nullptr;
    QLabel *FLab = nullptr, *FBase = nullptr;
    QToolButton *Back = nullptr, *MP3Up = nullptr, *MP3Down = nullptr, *MP3Save = nullptr, *MP3Cancel = nullptr;
    QMenu *FPopup = nullptr;
    // The folder the grid shows (ends with "/"); "" until the base folder opened.
    QString CurrentFolder;
    // The order file's lines while the files are reordered.
    QStringList MP3Order;
    void buildFoldersPage();
    void FoldersClick(bool fromMenu);
    void InitFolders();
    // A double-click on a row; row -1 is Back.
    void FGDblClick(int row);
    // The base-folder label of the Folders page (folders) or the Recordings page.
    void BaseClick(bool folders);
    void FontSizeClick();
    void ReorderClick();
    void MP3UpClick();
    void MP3DownClick();
    void ShowMP3();
    void MP3SaveClick();
    void MP3CancelClick();
    // The CD details of the folder of a row (-1: the folder shown).
    void CDinfoClick(int row);
    void ShowBtns(bool on);
    void SetFCap();

    // ---- the Recordings page (app/dances/OrgFormRecordings.cpp) ------------------------
    QAction *RecMusic = nullptr; // Dances menu "Recorded"
    void buildRecordingsHandlers();
    // sender: the Refresh button (selects row 1) or null; quiet only logs a
    // base folder that cannot be found.
    void RefreshDets(QObject *sender = nullptr, bool quiet = false);
    void RefrBtnClick();
    void RecPageEnter();
    void DancePageEnter();
    void RecGridClick();
    void MyDblClick(int row);
    void RecMusicClick();
    void AddBtnClick();
    void ScanBtnClick();
    // The grid again from the last scan (the search box and Unused).
    void ShowRecGrid();
    // Plays a path from the Music dialog's match list, the play panel on host.
    void PlayMatch(const QString &path, QWidget *host) override;
    // Set while a match-list path starts: the Recordings grid's row is not the one.
    bool MatchListPlay = false;
    // ---- dance lists, history and working sets (app/dances/OrgFormLists.cpp) ----
    QMenu *ListD = nullptr; // the Dances menu's List submenu
    QAction *ByFormat = nullptr, *ByDate = nullptr, *Alpha = nullptr, *ByAuthor = nullptr, *Rank = nullptr;
    QAction *WhenM = nullptr, *NoKey = nullptr, *Cards = nullptr;
    QPushButton *Pending = nullptr;
    void buildListCommands();
    void ByFormatClick();
    void ByDateClick();
    void AlphaClick();
    void ByAuthorClick();
    void RankClick();
    // Sender: WhenM or the Called box (the current dance), or a programme
    // row's label (row gives that row's dance).
    void WhenClick(QObject *Sender, TDance *row = nullptr);
    // Sender: the Pending button or the Cards item.
    void PendingClick(QObject *Sender);
    void NoKeyClick();

    // ---- contra figures (app/evaluation/OrgFormContra.cpp) ---------------------------
    QAction *Contra = nullptr; // Events > "Test Contra"
    void ContraClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildRulesPage();
    void buildEventsPage();
    void buildDancesPage();
    void buildRecordingsPage();
    void buildMenus();
    void buildUserMenu();
    void buildHelpMenu();
    void bindPages();
    void ENavClick(NavButton button);
    void buildFilterControls();
    void connectRulesPage();
    void buildSessionCommands();
    // The controls of the shown event's services and of the application's.
    void buildEventControls();
    void buildWebControls();
    void buildProgrammePage();
    void buildDancePage();
    void buildServiceControls();
    // The play panel's glyphs, clock captions and marker (app/dances/OrgFormPlayback.cpp).
    void buildPlayPanel();
    void startPlayback();
    void stopPlayback();
    // Step 8 of starting: the panel shows playing.
    void showPlaying();
    void makeSelectionBoxes();
    // The column-title row over the programme rows, in the page's layout.
    QWidget *buildProgrammeRows();

    // Start-up pieces (app/OrgFormStartup.cpp).
    StartupResult runStartup();
    // The catalogue part: the database, its tables, compaction, today's event.
    bool openCatalogue();
    QString danceIndexName() const;
    void remindBookings();
    void fillSelectionBoxes();
    void finishSetup();

    int ruleLine = -1;         // the rule line being updated, -1 for a new rule
    QString rulesAsSaved;      // RuleSet as opened or saved
    bool formShowQueued = false;
    bool formShowRun = false;
    bool closeHandlerAttached = true;
    bool resizeHandlerAttached = false;
    bool terminated = false;
    bool batteryDontAsk = false;
    bool eventShown = false; // the first event was shown after start-up
    int busy = 0;
    IdleHook *idleHook = nullptr;
    StartupResult startupResult = StartupResult::NotRun;
    std::function<EvaluationSources()> evaluationSources;
    OrgFormFilterUi *filterUi = nullptr;
    // Removes the filter commands' watcher before the boxes it watches go.
    void dropFilterUi();
    // Set while this window's handler takes the escaped exceptions.
    bool ownsExceptionHandler = false;
    bool suppressPickList = false;
    WheelSteps gridWheel, formWheel;
    WheelPace wheelPace;
    // The memo editor's watch over its table (app/OrgFormServices.cpp).
    QObject *memoWatch = nullptr;
    bool memoStoring = false;
    void loadMemo();
    void storeMemo();
};

extern TOrgForm *OrgForm;

// The current event's field as text, and its EDate day number (0 without a
// date); empty and 0 while Events is closed.
QString EventText(const char *field);
double EventDay();

// Scales a form for large screen fonts: scaled to height 600, its size and
// position through ScaledSize, then by 125/100.
void ScaleFormForLargeFonts(QWidget *form);
