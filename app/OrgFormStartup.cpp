// The main window's start-up: everything between the first show and the
// first record on screen, in order.

#include "presentation/fullscreen/Full.h"
#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dialogs/DBox3Form.h"
#include "core/services/ErrorRouting.h"
#include "core/services/Help.h"
#include "core/services/IdleHook.h"
#include "core/startup/Maintainer.h"
#include "core/startup/Settings.h"
#include "core/startup/SettingsChoice.h"
#include "core/startup/SplashForm.h"
#include "core/startup/StartupRules.h"
#include "platform/picture/ProgramCursors.h"
#include "platform/probes/SystemProbes.h"
#include "presentation/SetForm.h"
#include "presentation/music/RecordingsGrid.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace {

constexpr int PrivateAreaHelp = 85300;
constexpr int LanguageHelp = 51560;
constexpr int NoEventsHelp = 85400;
constexpr int DanceOrderHelp = 40050;
constexpr int WhatsNewHelp = 12000;

// "6-Dec-26"
QString shortDate(const QDate &d) {
    return QStringLiteral("%1-%2-%3")
        .arg(d.day())
        .arg(ShortMonthNames().at(d.month() - 1))
        .arg(d.year() % 100, 2, 10, QChar('0'));
}

int screenWidth() {
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1280;
}

// A maintainer's release folder left under the data folder is cleared on
// request.
void clearInstallFolder() {
    const QString install = FindFileNoCase(DataFolder, QStringLiteral("Install"));
    if (!QFileInfo(install).isDir()) return;
    const QString folder = install + '/';
    if (!QFileInfo::exists(FindFileNoCase(folder, StandardDatabaseName))) return;
    if (!YesNo(QStringLiteral("Clear Install directory?"))) return;
    for (const char *name : {"ToDo.Txt", "Log.Txt", "Quillary.mdb", "Quillary.Ini"})
        QFile::remove(FindFileNoCase(folder, QLatin1String(name)));
}

} // namespace

void ScaleFormForLargeFonts(QWidget *form) {
    if (!form) return;
    form->resize(form->width(), 600);
    const QRect g = form->geometry();
    form->setGeometry(ScaledSize(g.x()), ScaledSize(g.y()), ScaledSize(g.width()),
                      ScaledSize(g.height()));
    // Everything on the form grows by a quarter with its font.
    QFont f = form->font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * 125 / 100);
    else if (f.pixelSize() > 0) f.setPixelSize(f.pixelSize() * 125 / 100);
    form->setFont(f);
}

void TOrgForm::FormShow() {
    if (formShowRun) return;
    formShowRun = true;
    StartingUp = true;
    try {
        startupResult = runStartup();
    } catch (...) {
        StartingUp = false;
        ::HideSplash();
        throw;
    }
    StartingUp = false;
}

StartupResult TOrgForm::runStartup() {
    // 1. Error and idle handlers; the user's locale.
    SetExceptionHandler([this](std::exception_ptr error) { MyException(error); });
    ownsExceptionHandler = true;
    if (!idleHook) idleHook = new IdleHook([this] { OnIdle(); }, this);
    QLocale::setDefault(QLocale::system());

    // 2.-3. Shared pictures and lists; large fonts.
    if (ScaleQuarters == 5) {
        ScaleFormForLargeFonts(DBox3Form);
        if (screenWidth() < 1000) ShowMsg(QStringLiteral("Large fonts need higher resolution"));
    }

    // 4. The special-character panel's font.
    SpecialFont = ChooseSpecialFont(QFontDatabase::families());

    // 5. The user menu.
    buildUserMenu();

    // 6. The recordings page waits for its option; its grid's columns.
    SetPageVisible(RecPage, false);
    RecGrid->setColumnCount(4);
    RecGrid->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Dance Title"),
                                        QStringLiteral("Format"), QStringLiteral("Style")});
    const int widths[] = {390, 200, 100, 110};
    for (int i = 0; i < 4; ++i) RecGrid->setColumnWidth(i, widths[i]);
    RecGrid->setMinimumWidth(804);

    // 7. Folders.
    InitStartFolders();

    // 8. The settings file.
    if (!OpenSettingsFile()) {
        ::HideSplash();
        closeHandlerAttached = false;
        ShowMsgUnlogged(SettingsNotFoundText(DataFolder + StandardIniName));
        CloseWithoutHandler();
        return StartupResult::NoSettings;
    }

    // 9. A data folder that can be written.
    if (!CheckDataFolder(DocumentsFolder())) {
        Terminate();
        return StartupResult::Ended;
    }

    // 10. Recordings base folder and the search box.
    SetRFolder();
    Searcher->setPlaceholderText(QStringLiteral("Search..."));

    // 11. Running from a USB stick.
    QString mountPoint;
    if (IsUsbDrive(ProgramFolder, &mountPoint)) {
        ShowMsg(QStringLiteral("Running from USB stick in drive ") + mountPoint +
                QStringLiteral("."));
        AuthorMode = AuthorMode && QDir(BaseFolder) == QDir(MaintainerMusicFolder());
    }

    // 12. The programme separator.
    const QString delim = SettingText(QStringLiteral("System"), QStringLiteral("Delim"));
    ProgrammeSeparator = delim.isEmpty() ? SepDot : delim.at(0);

    // 13. Maintainer menus.
    VellamM->menuAction()->setVisible(AuthorMode);
    CheckNote->setVisible(AuthorMode);

    // 14. The sibling HTML editor; the maintainer's own files.
    ScrivletPath = FindScrivlet(ProgramFilesFolder);
    if (AuthorMode) {
        LoadABCIndex();
        QFile::remove(FindFileNoCase(DataFolder, QStringLiteral("Quillary.Err")));
        QFile::remove(FindFileNoCase(DataFolder, QStringLiteral("SQL.txt")));
        ScrivletPath = MaintainerScrivletPath();
        clearInstallFolder();
    }
    if (!ScrivletPath.isEmpty() && !QFileInfo(ScrivletPath).isFile()) ScrivletPath.clear();

    // 15. The log starts here.
    WriteLog(QStringLiteral("START"));
    ViewNotesClick(false);

    // 16. Option items and the tune-book column.
    LoadMenuOptions();
    for (QAction *a : OptionActions) a->setChecked(OptionChecked(a->objectName()));
    TolbrookClick(
        TolbrookIndex(SettingInteger(QStringLiteral("System"), QStringLiteral("ShowTolbrook"))));

    // 17. The card font, then the card settings.
    LoadCardSettings();

    // 18. The Location column of the recordings.
    FindLocationColumn();

    // 19. The Rules page follows its option; the Play button's picture.
    const bool rules = OptionChecked(QStringLiteral("ShowRules"));
    SetPageVisible(RulePage, rules);
    RulesM->menuAction()->setVisible(rules);
    PlayBtn->setIcon(*PlayImg);

    // 20. The media player.
    CreatePlayer();

    // 21. The ABC button when there are tunes and an editor for them.
    if (!SettingText(QStringLiteral("User"), QStringLiteral("ABC")).isEmpty() &&
        !ScrivletPath.isEmpty()) {
        Music->setFixedWidth(352);
        ABCBtn->show();
    }

    // 22. Language.
    const QString language = LanguageWarning(Probes().defaultLanguageName());
    if (!language.isEmpty()) OKHelpCancel(language, LanguageHelp);

    // 23. The program's own cursors.
    LoadProgramCursors();

    // 24. The date box's hint.
    DateBox->setToolTip(QStringLiteral("Date in format d-MMM-yy (Today is ") + shortDate(Today()) +
                        QStringLiteral(") or ") + CurrentShortDateFormat());

    // 25.-29. The catalogue.
    if (!openCatalogue()) {
        Terminate();
        return StartupResult::Ended;
    }

    // 30. Booking reminders.
    if (!AuthorMode || QFileInfo(MaintainerGraphicsFolder()).isDir()) remindBookings();

    // 31. The rule editor's selection boxes.
    makeSelectionBoxes();
    fillSelectionBoxes();

    // 32. Short month names shown as numbers.
    if (QLocale().monthName(1, QLocale::ShortFormat) == QLatin1String("1"))
        WriteLog(QStringLiteral("Correcting short month names"));

    // 33. Recordings and Folders pages; the Events page in front.
    if (OptionChecked(QStringLiteral("RecDets"))) RecDetsClick(false);
    SetPageVisible(FolderPage, OptionChecked(QStringLiteral("Folders")));
    PC->setCurrentWidget(EventPage);
    PCChange();

    // 34. The scroll range, the title row and the edit handlers.
    SetScrollRange();
    BuildTitleRow();
    Setup(EvPanel);
    Setup(DPanel);
    Setup(DancePage);

    // 35. Events follow the scroll from now on; the first dance shows.
    finishSetup();
    WriteLog(QStringLiteral("End Setup"));
    CloseSplash();

    // 36. Dance order warning, version.
    const QString stored = SettingText(QStringLiteral("System"), QStringLiteral("Version"));
    if (danceIndexName() == QLatin1String("FSRT"))
        OKHelpCancel(QStringLiteral(
                         "Warning: Dance Order includes Rhythm, so finding dances may be slowed down."),
                     DanceOrderHelp);
    const VersionCheck version = CheckVersion(
        ProgramVersion, stored, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (version.record) {
        IniFile->WriteString(QStringLiteral("System"), QStringLiteral("Version"), ProgramVersion);
        if (version.showWhatsNew) OpenHelp(WhatsNewHelp);
    }

    // 38. The window takes the screen.
    WriteLog(QStringLiteral("End FormShow"));
    resize(600, 400);
    resizeHandlerAttached = true;
    showMaximized();
    // Without a window manager nobody acts on the request: take the screen.
    QTimer::singleShot(300, this, [this] {
        const QScreen *s = screen();
        if (isMaximized() && s && width() <= 600 && height() <= 400)
            setGeometry(s->availableGeometry());
    });
    BatteryClick(false);

    // 39. Screens far from the design width; the playback panel's size. The
    // window's own controls need no scaling: its layouts fit them to the
    // maximised window and its fonts. Only the programme rows, placed by
    // hand, grow with the factor under "To fit" (RowLayout).
    const int range = HorizontalRange();
    if ((range < 1024 || range > 1026) && range > 0) ScreenScale = screenWidth() * 10000 / range;
    PlayPanelWidth = PlayPnl->width();
    PlayPanelHeight = PlayPnl->height();
    return StartupResult::Done;
}

void TOrgForm::makeSelectionBoxes() {
    qDeleteAll(SelBoxes);
    SelBoxes.clear();
    const QStringList fields = {QStringLiteral("Style"), QStringLiteral("Rhythm"),
                                QStringLiteral("Format"), QStringLiteral("Author")};
    for (int i = 0; i < fields.size(); ++i) {
        auto *box = new QComboBox(RuleGroup);
        box->setObjectName(QStringLiteral("SelBox") + fields[i]);
        // Below the group's caption.
        box->setGeometry(252 + 113 * i, 20, 110, 24);
        box->setMaxVisibleItems(30);
        box->addItem(fields[i]);
        box->setCurrentIndex(0);
        box->hide();
        connect(box, &QComboBox::currentIndexChanged, this, [this, box] { SelBoxChange(box); });
        SelBoxes.append(box);
    }
}

void TOrgForm::BatteryClick(bool fromMenu) {
    if (fromMenu) batteryDontAsk = false;
    if (batteryDontAsk) return;
    const PowerStatus status = Probes().powerStatus();
    if (!PowerMessageWanted(fromMenu, status)) return;
    // Read from across the room while the full-screen display shows.
    batteryDontAsk = OKCancelDontAsk(PowerStatusText(status), FullScreenShowing() ? 3 : 1);
}

void TOrgForm::Terminate() {
    terminated = true;
    ::HideSplash();
    CloseWithoutHandler();
}
