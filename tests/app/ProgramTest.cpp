#include "app/OrgForm.h"
#include "app/Program.h"
#include "base/AppState.h"
#include "core/startup/SplashForm.h"
#include "platform/instance/SingleInstance.h"
#include "TestSupport.h"

#include <QApplication>
#include <QTimer>
#include <unistd.h>

namespace {

class ProgramTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        savedProgramFolder = ProgramFolder;
        options.lockFolder = path(QStringLiteral("run"));
        options.serverName = QStringLiteral("Quillary-test-%1").arg(::getpid());
    }
    void TearDown() override {
        ProgramFolder = savedProgramFolder;
        QuillaryTest::TearDown();
    }
    static int mainWindows() {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<TOrgForm *>(w)) ++n;
        return n;
    }
    // The run, ended from outside if it does not end by itself in ten seconds.
    int runGuarded(bool &timedOut) {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            QApplication::exit(1);
        });
        watchdog.start(10000);
        return ProgramBlock(options);
    }
    ProgramOptions options;
    QString savedProgramFolder;
};

} // namespace

TEST_F(ProgramTest, SecondCopyIsTurnedAwayWithoutAWindow) {
    SingleInstance first(options.lockFolder, options.serverName);
    ASSERT_TRUE(first.tryLock());
    const int before = mainWindows();
    EXPECT_EQ(ProgramBlock(options), 0);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].kind, BoxKind::Message);
    // Short messages are centred with blanks.
    EXPECT_EQ(answerer->texts().at(0).trimmed(), QStringLiteral("Quillary is already running."));
    EXPECT_EQ(OrgForm, nullptr);
    EXPECT_EQ(mainWindows(), before);
    EXPECT_EQ(SplashForm, nullptr);
}

TEST_F(ProgramTest, WithoutSettingsFileTheRunEndsAfterTheMessage) {
    // An empty program folder: start-up stops at the settings file, the
    // window closes and the event loop ends by itself.
    options.programFolder = path(QStringLiteral("program"));
    QDir().mkpath(options.programFolder);
    bool timedOut = false;
    const int rc = runGuarded(timedOut);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(answerer->texts().size(), 1);
    EXPECT_EQ(answerer->texts().at(0),
              options.programFolder + QStringLiteral("/Quillary.ini not found.  Quillary cannot run."));
    EXPECT_EQ(OrgForm, nullptr);
    EXPECT_EQ(SplashForm, nullptr);
    // The lock went with the run.
    SingleInstance next(options.lockFolder, options.serverName);
    EXPECT_TRUE(next.tryLock());
}

TEST_F(ProgramTest, UnreadableDatabaseEndsTheRun) {
    options.programFolder = path(QStringLiteral("program"));
    QDir().mkpath(options.programFolder);
    WriteFileBytes(options.programFolder + QStringLiteral("/Quillary.ini"),
                   "[System]\r\nDBName=Old.mdb\r\nDBSize=1\r\n");
    const QByteArray junk("Standard Jet DB\0 not a catalogue", 32);
    WriteFileBytes(options.programFolder + QStringLiteral("/Old.mdb"), junk);
    bool timedOut = false;
    const int rc = runGuarded(timedOut);
    EXPECT_FALSE(timedOut) << "the run went on without a window";
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(answerer->sawText("Cannot open Quillary database"));
    EXPECT_EQ(ReadFileBytes(options.programFolder + QStringLiteral("/Old.mdb")), junk);
    EXPECT_EQ(OrgForm, nullptr);
}
