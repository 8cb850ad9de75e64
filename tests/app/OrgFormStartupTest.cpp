#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/services/ErrorRouting.h"
#include "core/services/Help.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "LineBytes.h"
#include "platform/ini/IniFile.h"
#include "platform/probes/SystemProbes.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/DBNavigator.h"
#include "programme/rows/ProgrammeRows.h"
#include "TestSupport.h"

#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {

struct FakeProbes : SystemProbes {
    bool usb = false;
    PowerStatus power;
    QString language = QStringLiteral("English");
    bool isUsbDrive(const QString &, QString *mount) override {
        if (mount) *mount = QStringLiteral("/media/stick");
        return usb;
    }
    PowerStatus powerStatus() override { return power; }
    QString defaultLanguageName() override { return language; }
};

// An event row: day (relative to today, 6 December 2026) and fields.
struct Ev {
    int day;
    QString event;
    QString programme;
    QString updated = QStringLiteral("Y");
    QString acknowledged = QStringLiteral("Y");
    QString band = QStringLiteral("The Band");
    QString org = QString();
};

class StartupTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetTables();
        ResetPositions();
        savedProgramFolder = ProgramFolder;
        ProgramFolder = folder();
        SetProbes(&probes);
        SetHelpOpener([this](int context) { helps.append(context); });
        dances = {{"Alpha", "Longways", "English", "Jig"},
                  {"Beta", "Circle", "ZZZ", "Reel"},
                  {"Gamma", "Longways", "Scottish", ""}};
    }
    void TearDown() override {
        form.reset();
        ResetTables();
        ResetPositions();
        SetHelpOpener({});
        SetProbes(nullptr);
        ProgramFolder = savedProgramFolder;
        QuillaryTest::TearDown();
    }

    // Settings file with these [System] lines.
    void writeIni(const QByteArray &system, const QString &name = QStringLiteral("Quillary.ini")) {
        WriteFileBytes(path(name), "[System]\r\n" + system + "\r\n");
    }
    void writeCatalogue(const QList<Ev> &events, const QString &name = QStringLiteral("Quillary.mdb")) {
        QFile::remove(path(name));
        Database db;
        db.create(path(name));
        Statement d(db.handle(), "INSERT INTO Dances (Title, Format, Style, Rhythm, Instructions) "
                                 "VALUES (?,?,?,?,?)");
        for (const QStringList &x : dances) {
            d.bindAll({x[0], x[1], x[2], x[3], QStringLiteral("Steps of ") + x[0].toLower()});
            d.step();
            d.reset();
        }
        Statement e(db.handle(), "INSERT INTO Events (Org, EDate, Event, Programme, Updated, "
                                 "Acknowledged, Band) VALUES (?,?,?,?,?,?,?)");
        for (const Ev &x : events) {
            e.bindAll({x.org.isEmpty() ? x.event : x.org,
                       DateToDayNumber(QDate(2026, 12, 6).addDays(x.day)), x.event, x.programme,
                       x.updated, x.acknowledged, x.band});
            e.step();
            e.reset();
        }
    }
    // The file's size as [System] DBSize, so that no compaction runs.
    QByteArray sizeLine(const QString &name = QStringLiteral("Quillary.mdb")) {
        return "DBSize=" + QByteArray::number(QFileInfo(path(name)).size());
    }
    StartupResult start() {
        form = std::make_unique<TOrgForm>();
        form->FormShow();
        return form->StartupOutcome();
    }
    QString current(const char *field) {
        return EventsData.FieldByName(QLatin1String(field)).AsString();
    }
    QStringList logLines() {
        QStringList out;
        const QString log = QString::fromLatin1(ReadFileBytes(path("Log.Txt")));
        for (const QString &line : log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            out.append(line.mid(10)); // after the time
        return out;
    }
    // A dance in the programme text.
    static QString dance(const QString &title) {
        return QStringLiteral("\u00B7D|") + title + QStringLiteral("|Longways|English\u00B7");
    }

    FakeProbes probes;
    QList<int> helps;
    QList<QStringList> dances;
    std::unique_ptr<TOrgForm> form;
    QString savedProgramFolder;
};

const QString P = QStringLiteral("\u00B7D|Alpha|Longways|English\u00B7");

} // namespace

TEST_F(StartupTest, LogMarksThePhasesInOrder) {
    writeCatalogue({{-20, "Past", P}, {0, "Today", P}});
    writeIni(sizeLine());
    EXPECT_EQ(start(), StartupResult::Done);
    const QStringList log = logLines();
    const QStringList phases = {"START", "Events Open", "Dances Open", "End Setup", "End FormShow"};
    QStringList marks;
    for (const QString &l : log)
        if (phases.contains(l)) marks.append(l);
    EXPECT_EQ(marks, phases);
    EXPECT_EQ(log.value(1), QStringLiteral("START")); // after the header, nothing before it
    EXPECT_FALSE(StartingUp);
    EXPECT_EQ(answerer->boxes.size(), 0);
    EXPECT_EQ(form->PC->currentWidget(), form->EventPage);
    // The scroll range reaches the playback panel's right edge on the Dances
    // page, though that page has not been shown (the wide arrangement).
    form->showNormal();
    form->resize(1000, 700);
    QApplication::processEvents();
    const int range = form->HorizontalRange();
    EXPECT_GT(range, form->DPanel->width());
    EXPECT_EQ(range, form->PlayPnl->mapTo(form->Content, QPoint(form->PlayPnl->width(), 0)).x());
    EXPECT_EQ(PlayPanelWidth, form->PlayPnl->width());
}

TEST_F(StartupTest, EventsStandsOnTodaysEventOrTheLast) {
    struct Case {
        const char *name;
        QList<Ev> events;
        const char *expected;
    } cases[] = {
        {"today's event", {{-3, "Before", P}, {0, "Today", P}, {4, "After", P}}, "Today"},
        {"the next one when none is today", {{-40, "Before", P}, {4, "After", P}, {9, "Later", P}}, "After"},
        {"the last when all are past", {{-60, "Old", P}, {-40, "Older", P}}, "Older"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        ResetTables();
        writeCatalogue(c.events);
        writeIni(sizeLine());
        EXPECT_EQ(start(), StartupResult::Done);
        EXPECT_EQ(current("Event"), QLatin1String(c.expected));
        EXPECT_EQ(form->Event->text(), QLatin1String(c.expected));
        form->PositionOnToday();
        EXPECT_EQ(current("Event"), QLatin1String(c.expected));
    }
}

TEST_F(StartupTest, RemindersForUpcomingBookings) {
    const QString blank = QStringLiteral("\u00B7D||Longways|English\u00B7");
    writeCatalogue({{-40, "Long ago", P},
                    {2, "Empty Dance", QString(), "", "Y", "Band", "Hill Club"},
                    {5, "Gaps", blank, "", "Y"},
                    {9, "Unacknowledged", P, "Y", ""},
                    {12, "Recorded Night", P, "Y", "", "Recorded music"},
                    {31, "Too far", QString(), "", ""}});
    writeIni(sizeLine());
    answerer->script(ResultOK);
    answerer->script(ResultOK);
    answerer->script(ResultOK);
    EXPECT_EQ(start(), StartupResult::Done);
    const QStringList texts = answerer->texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QStringLiteral("No programme for Empty Dance\non Tue 8-Dec-26 for Hill Club"));
    EXPECT_EQ(texts[1], QStringLiteral("Incomplete programme for Gaps\non Fri 11-Dec-26"));
    EXPECT_EQ(texts[2], QStringLiteral("Unacknowledged on 15-Dec-26 for Unacknowledged not yet "
                                       "acknowledged by band."));
    for (const BoxRequest &b : answerer->boxes) EXPECT_EQ(b.helpContext, 30060);
    // Back on the kept event after the walk.
    EXPECT_EQ(current("Event"), QStringLiteral("Empty Dance"));
}

TEST_F(StartupTest, PastEventsAtStartUp) {
    const QString leader = QStringLiteral("\u00B7N|Leader: Sam\u00B7") + P;
    struct Case {
        const char *name;
        QList<Ev> events;
        const char *expected;
        QStringList texts;
    } cases[] = {
        {"not finalised", {{-40, "Older", P}, {-3, "Club Night", P, ""}, {4, "Next", P}}, "Club Night",
         {"Please finalise this past programme."}},
        // Three days past, and its week is still running.
        {"not over", {{-40, "Older", P}, {-3, "Dance Week", P, ""}, {4, "Next", P}}, "Dance Week", {}},
        {"done, then past leader notes",
         {{-40, "Older", P}, {-3, "Done", P, "Y"}, {4, "Led", leader}, {8, "Mine", P}}, "Mine", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        ResetTables();
        answerer->clear();
        writeCatalogue(c.events);
        writeIni(sizeLine());
        EXPECT_EQ(start(), StartupResult::Done);
        QStringList texts;
        for (const QString &t : answerer->texts()) texts.append(t.trimmed());
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(current("Event"), QLatin1String(c.expected));
    }
}

TEST_F(StartupTest, NoSettingsFileClosesWithTheMessage) {
    EXPECT_EQ(start(), StartupResult::NoSettings);
    EXPECT_EQ(answerer->texts(), QStringList{path("Quillary.ini") + " not found.  Quillary cannot run."});
    EXPECT_FALSE(QFileInfo::exists(path("Log.Txt")));
    EXPECT_FALSE(EventsData.active());
}

TEST_F(StartupTest, SelectionBoxesListTheCatalogueValues) {
    dances.append({"Delta", "Square", "English", "Reel"});
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    start();
    ASSERT_EQ(form->SelBoxes.size(), 4);
    auto items = [](QComboBox *box) {
        QStringList l;
        for (int i = 0; i < box->count(); ++i) l.append(box->itemText(i));
        return l;
    };
    EXPECT_EQ(items(form->SelBoxes[0]), (QStringList{"Style", "English", "Scottish"})); // no ZZZ
    EXPECT_EQ(items(form->SelBoxes[1]), (QStringList{"Rhythm", "Jig", "Reel"}));        // no blank
    EXPECT_EQ(items(form->SelBoxes[2]), (QStringList{"Format", "Circle", "Longways", "Square"}));
    EXPECT_EQ(form->SelBoxes[3]->count(), 1);
}

TEST_F(StartupTest, FirstDanceShowsOnceStartUpIsOver) {
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    start();
    // The first in Format, Style, Title order.
    EXPECT_EQ(form->Title->text(), QStringLiteral("Beta"));
    // With its title in front (the first line lacks it): the titles option is on by default.
    EXPECT_EQ(form->Instructions->toPlainText(), QStringLiteral("Beta\nSteps of beta"));
}

TEST_F(StartupTest, WarningsVersionAndLanguage) {
    writeCatalogue({{0, "Today", P}});
    writeIni("DOrder=FSRT\r\nVersion=6.99\r\n" + sizeLine());
    probes.language = QStringLiteral("German");
    answerer->script(ResultOK);
    answerer->script(ResultOK);
    EXPECT_EQ(start(), StartupResult::Done);
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Language is set to\nGerman\nrather than English."));
    EXPECT_EQ(answerer->boxes[1].text,
              QStringLiteral("Warning: Dance Order includes Rhythm, so finding dances may be slowed down."));
    EXPECT_EQ(form->DOrderBox->currentIndex(), 2);
    // 6.103 is newer than 6.99: recorded, and what is new is shown.
    EXPECT_EQ(TIniFile(path("Quillary.ini")).ReadString("System", "Version", ""), QStringLiteral("6.103"));
    EXPECT_TRUE(helps.contains(12000));
}

TEST_F(StartupTest, EmptyDiaryOpensTheHelpOnStartingAndRecordsTheVersionQuietly) {
    writeCatalogue({});
    writeIni(sizeLine());
    EXPECT_EQ(start(), StartupResult::Done);
    EXPECT_TRUE(helps.contains(85400));
    EXPECT_EQ(TIniFile(path("Quillary.ini")).ReadString("System", "Version", ""), QStringLiteral("6.103"));
    EXPECT_FALSE(helps.contains(12000));
}

TEST_F(StartupTest, RunningFromAUsbStick) {
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    probes.usb = true;
    AuthorMode = true; // a maintainer's copy on a stick keeps the mode only with his music
    EXPECT_EQ(start(), StartupResult::Done);
    ASSERT_GE(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->texts().at(0).trimmed(),
              QStringLiteral("Running from USB stick in drive /media/stick."));
    EXPECT_FALSE(AuthorMode);
    EXPECT_FALSE(form->VellamM->menuAction()->isVisible());
}

TEST_F(StartupTest, BatteryMessageOnlyWhenItMatters) {
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    probes.power = {false, true, 55, 5400};
    answerer->script(ResultOK, true); // "don't tell me again"
    EXPECT_EQ(start(), StartupResult::Done);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->texts().at(0),
              QStringLiteral("Battery power left: 1 hour, 30 minutes  (55%)."));
    form->BatteryClick(false); // suppressed now
    EXPECT_EQ(answerer->boxes.size(), 1);
    probes.power = {true, false, 0, -1};
    answerer->script(ResultOK);
    form->Battery->trigger(); // the menu always tells
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->texts().at(1), QStringLiteral("On mains power."));
}

TEST_F(StartupTest, EventsPageFollowsTheRecord) {
    writeCatalogue({{0, "Today", P, "Y", "", "Recorded music"}, {4, "After", P, "", "Y"}});
    writeIni(sizeLine());
    start();
    form->OnIdle();
    EXPECT_EQ(form->DateBox->text(), QStringLiteral("Sun 6-Dec-26"));
    EventChanged = true;
    ThisIndex = 3;
    form->ENav->click(NavButton::Next);
    EXPECT_EQ(form->Event->text(), QStringLiteral("After"));
    EXPECT_EQ(form->DateBox->text(), QStringLiteral("Thu 10-Dec-26"));
    EXPECT_FALSE(EventChanged);
    EXPECT_EQ(ThisIndex, -1);
}

TEST_F(StartupTest, AWindowFreedUnclosedTakesNoMoreFailures) {
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    start();
    ASSERT_TRUE(HasExceptionHandler());
    form.reset();
    EXPECT_FALSE(HasExceptionHandler());
}

TEST(LargeFonts, FormScaledByFiveQuarters) {
    const int saved = ScaleQuarters;
    ScaleQuarters = 5;
    QWidget form;
    form.setGeometry(40, 80, 300, 200);
    QFont f = form.font();
    f.setPointSize(8);
    form.setFont(f);
    ScaleFormForLargeFonts(&form);
    // Height 600 first, then every measure through ScaledSize (5/4, rounded).
    EXPECT_EQ(form.geometry(), QRect(50, 100, 375, 750));
    EXPECT_EQ(form.font().pointSizeF(), 10.0);
    ScaleQuarters = saved;
}

TEST_F(StartupTest, LargeFontsOnASmallScreen) {
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    ScaleQuarters = 5; // the splash window found large fonts
    EXPECT_EQ(start(), StartupResult::Done);
    // The offscreen screen is 800 pixels wide.
    ASSERT_GE(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->texts().at(0).trimmed(), QStringLiteral("Large fonts need higher resolution"));
}

namespace {

// Stands for the local event loop of a message box: idle time comes round
// while the box is open, then the test's answerer answers.
class IdleWhileOpen : public MessagePresenter {
public:
    IdleWhileOpen(TOrgForm *form, MessagePresenter *answers) : form(form), answers(answers) {
        SetMessagePresenter(this);
    }
    ~IdleWhileOpen() override { SetMessagePresenter(answers); }
    BoxResult present(const BoxRequest &request) override {
        form->OnIdle();
        return answers->present(request);
    }

private:
    TOrgForm *form;
    MessagePresenter *answers;
};

} // namespace

TEST_F(StartupTest, IdleTimeDuringAMessageOfTheFirstShowDoesNotShowTheEventAgain) {
    writeCatalogue({{0, "Today", QStringLiteral("\u00B7D|Alpha|Longways|English\u00B7X|odd\u00B7")}});
    writeIni(sizeLine());
    EXPECT_EQ(start(), StartupResult::Done);
    answerer->clear();
    {
        IdleWhileOpen idle(form.get(), answerer.get());
        form->OnIdle(); // the first idle time builds the rows
    }
    ASSERT_EQ(answerer->texts().size(), 1);
    EXPECT_EQ(answerer->texts()[0].trimmed(), QStringLiteral("Unknown item: X|odd"));
    EXPECT_EQ(logLines().count(QStringLiteral("ShowEvent Sun 6-Dec-26")), 1);
    ASSERT_EQ(form->Rows->ItemList.size(), 1); // no level: no average row
    EXPECT_EQ(form->Rows->ItemList[0]->findChild<QLabel *>(QStringLiteral("Title"))->text(), QStringLiteral("Alpha"));
}

// The Events and Dances pages fit a 1024x768 screen, and the 1000x700 window
// before start-up maximises it, without a sideways scroll bar; also with a
// tag picture and the filter indicators showing.
TEST_F(StartupTest, PagesFitA1024Screen) {
    writeCatalogue({{0, "Today", P}});
    writeIni(sizeLine());
    ASSERT_EQ(start(), StartupResult::Done);
    for (const auto &[window, marks] : {std::pair{QSize(1000, 700), false}, {QSize(1024, 740), true}}) {
        form->showNormal();
        form->resize(window);
        form->TagOn->setVisible(marks), form->DFiltered->setVisible(marks), form->EFiltered->setVisible(marks);
        for (QWidget *page : {form->EventPage, form->DancePage}) {
            form->PC->setCurrentWidget(page);
            QApplication::processEvents();
            EXPECT_EQ(form->ScrollBox->horizontalScrollBar()->maximum(), 0) << window.width();
        }
    }
    // Narrower than 800 pixels Tolbrook, its label, Music and the play panel
    // stand in a row under the fields; wider, they go back.
    const auto underTheFields = [this] {
        const int below = form->DPanel->mapTo(form->DancePage, QPoint(0, form->DPanel->height())).y();
        bool all = true, none = true;
        for (QWidget *w : {static_cast<QWidget *>(form->TolbrookLab), static_cast<QWidget *>(form->Tolbrook),
                           static_cast<QWidget *>(form->MusicBtn), static_cast<QWidget *>(form->PlayPnl)}) {
            const bool under = w->parentWidget() == form->DancePage && w->mapTo(form->DancePage, QPoint()).y() >= below &&
                               w->mapTo(form->DancePage, QPoint()).y() < form->Music->mapTo(form->DancePage, QPoint()).y();
            all = all && under, none = none && !under;
        }
        return all ? 1 : none ? 0 : -1;
    };
    form->PC->setCurrentWidget(form->DancePage);
    for (const auto &[width, expected] : {std::pair{700, 1}, {900, 0}, {760, 1}, {1024, 0}}) {
        form->resize(width, 700);
        QApplication::processEvents();
        EXPECT_EQ(underTheFields(), expected) << width;
    }
}

namespace {
// Every line of before comes in after, in the same order, byte for byte (a
// last line without an end may have gained one).
bool LinesKept(const QByteArray &before, const QByteArray &after) {
    const QList<QByteArray> was = LinesWithEnds(before), now = LinesWithEnds(after);
    qsizetype at = 0;
    for (qsizetype i = 0; i < was.size(); ++i) {
        const bool last = i + 1 == was.size();
        while (at < now.size() && now[at] != was[i] && !(last && now[at].chopped(now[at].endsWith("\r\n") ? 2 : 1) == was[i]))
            ++at;
        if (at++ >= now.size()) return false;
    }
    return true;
}
} // namespace

// One start-up per kind of hostile file: the message, how the start ends,
// the catalogue byte for byte when it is refused, and every line of the
// settings file kept (it may gain keys).
TEST_F(StartupTest, HostileFilesAtStartUp) {
    writeCatalogue({{0, "Today", P}});
    const QByteArray catalogue = ReadFileBytes(path("Quillary.mdb"));
    QByteArray noise = catalogue.left(100);
    for (qsizetype i = 100; i < catalogue.size(); ++i) noise += char((i * 7919) >> 3);
    QByteArray access(2048, '\0');
    access.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    QByteArray randomIni;
    for (int i = 0; i < 600; ++i) randomIni += char((i * 7919) >> 2);
    const QByteArray goodIni = "[System]\r\n" + sizeLine() + "\r\n";
    const QString cannotOpen = QStringLiteral("\nCannot open Quillary database\n") + path("Quillary.mdb");
    const QString privateArea = folder() + QStringLiteral("\nCannot write to folder.\nCopy to private area for this user?");
    enum Seam { None, ReadOnlyFile, NoJournal, IniFolder, IniUnwritable, IniFolderUnwritable };
    const struct {
        const char *name;
        QByteArray database;
        QByteArray ini;
        Seam seam;
        StartupResult result;
        QString message; // the first box
    } cases[] = {
        {"access", access, goodIni, None, StartupResult::Ended,
         "The file is a Microsoft Access database, which this version of Quillary cannot read." + cannotOpen},
        {"text", "Title,Format\r\nJig,Longways\r\n", goodIni, None, StartupResult::Ended,
         "The file is not a Quillary database." + cannotOpen},
        {"cut at a page", catalogue.left(4096), goodIni, None, StartupResult::Ended, "The file is not a Quillary database." + cannotOpen},
        {"cut mid-page", catalogue.left(4096 + 1000), goodIni, None, StartupResult::Ended, "The file is not a Quillary database." + cannotOpen},
        {"noise after the header", noise, goodIni, None, StartupResult::Ended, "The file is not a Quillary database." + cannotOpen},
        {"read-only catalogue", catalogue, goodIni, ReadOnlyFile, StartupResult::Ended, "The file is read-only." + cannotOpen},
        // Reading needs no journal; the first save says why it cannot be made.
        {"no journal", catalogue, goodIni, NoJournal, StartupResult::Done, ""},
        // No DBSize: the compaction of a first start runs.
        {"settings empty", catalogue, "", None, StartupResult::Done, "Database compressed."},
        {"settings random bytes", catalogue, randomIni, None, StartupResult::Done, "Database compressed."},
        {"settings cut mid-line", catalogue, goodIni + "[Print]\r\nSi", None, StartupResult::Done, ""},
        {"settings UTF-16", catalogue, QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0\x31\0\r\0\n\0", 22), None,
         StartupResult::Done, "Database compressed."},
        {"settings a folder", catalogue, QByteArray(), IniFolder, StartupResult::NoSettings,
         path("Quillary.ini") + " is a folder, not a settings file.  Quillary cannot run."},
        // Either way the folder probe cannot write; No ends the run.
        {"settings read-only", catalogue, goodIni, IniUnwritable, StartupResult::Ended, privateArea},
        {"settings in an unwritable folder", catalogue, goodIni, IniFolderUnwritable, StartupResult::Ended, privateArea},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        ResetTables();
        answerer->clear();
        TIniFile::ResetBackups();
        QFile::remove(path("Quillary.ini.bak"));
        QDir(path("Quillary.ini")).removeRecursively();
        QFile::remove(path("Quillary.ini"));
        WriteFileBytes(path("Quillary.mdb"), c.database);
        if (c.seam == IniFolder) QDir().mkpath(path("Quillary.ini"));
        else WriteFileBytes(path("Quillary.ini"), c.ini);
        if (c.seam == ReadOnlyFile) QFile::setPermissions(path("Quillary.mdb"), QFileDevice::ReadOwner);
        Database::SetJournalsRefused(c.seam == NoJournal);
        if (c.seam == IniUnwritable || c.seam == IniFolderUnwritable) {
            // A read-only file cannot be replaced; in an unwritable folder not even its backup is made.
            const bool inFolder = c.seam == IniFolderUnwritable;
            TIniFile::SetSaveFunction([inFolder](const QString &p, const QByteArray &) {
                if (inFolder || !p.endsWith(QLatin1String(".bak")))
                    throw std::runtime_error(("Cannot write file " + p).toStdString());
            });
            answerer->script(ResultNo);
        }
        const StartupResult result = start();
        Database::SetJournalsRefused(false);
        TIniFile::SetSaveFunction({});
        QFile::setPermissions(path("Quillary.mdb"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(result, c.result);
        if (c.message.isEmpty()) EXPECT_EQ(answerer->texts(), QStringList());
        else EXPECT_TRUE(answerer->texts().value(0).startsWith(c.message)) << answerer->texts().value(0).toStdString();
        if (c.database != catalogue || c.seam != None || c.ini == goodIni) {
            EXPECT_EQ(ReadFileBytes(path("Quillary.mdb")), c.database);
        }
        if (c.seam != IniFolder) {
            EXPECT_TRUE(LinesKept(c.ini, ReadFileBytes(path("Quillary.ini"))));
        }
        if (c.seam == IniUnwritable || c.seam == IniFolderUnwritable) {
            EXPECT_EQ(ReadFileBytes(path("Quillary.ini")), c.ini);
        }
    }
}
