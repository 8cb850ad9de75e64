#include "core/dialogs/MsgPanel.h"
#include "core/services/ShellRoutines.h"
#include "platform/media/WavePlayer.h"
#include "platform/shell/KeyState.h"
#include "platform/shell/ProcessRunner.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QThread>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

// Real programs, in a folder whose name holds shell marks: each argument
// arrives whole and nothing in one runs; a program that cannot start is
// reported, never handed to a shell.
TEST(ProcessRunner, ArgumentsArriveWholeAndNeverRun) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = temp.path() + QStringLiteral("/a;b $(touch marker1) `touch marker2`/");
    ASSERT_TRUE(QDir().mkpath(folder));
    QDir::setCurrent(folder);
    const QString script = folder + QStringLiteral("args me.sh");
    WriteFileBytes(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/got\"\nexit $#\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList hostile = {folder + QStringLiteral("$$This.RTF"), QStringLiteral("$(touch marker3)"),
                                 QStringLiteral("`touch marker4`"), QStringLiteral("x; touch marker5"), QStringLiteral("two words")};
    TestAnswerer answerer;
    int after = 0;
    RunCommand(script, hostile, [&] { ++after; });
    EXPECT_EQ(after, 1);
    EXPECT_EQ(QString::fromUtf8(ReadFileBytes(folder + QStringLiteral("got"))), hostile.join('\n') + '\n');
    EXPECT_TRUE(answerer.sawText(QStringLiteral("Error calling external routine"))) << "the script exits with its count";
    for (const QString &line : {QStringLiteral("exit 0"), QStringLiteral("true; touch marker6"), QStringLiteral("true $(touch marker7)")}) {
        try {
            RunCommand(line, [&] { ++after; });
            EXPECT_FALSE(line.startsWith(QLatin1String("exit"))) << "no shell built-in runs";
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Unable to run \r"))) << e.what();
        }
    }
    for (const QString &where : {folder, temp.path() + '/', QDir::currentPath() + '/'})
        for (int i = 1; i <= 7; ++i) EXPECT_FALSE(QFile::exists(where + QStringLiteral("marker%1").arg(i))) << i;
    QDir::setCurrent(QDir::tempPath());
}

TEST(ProcessRunner, WindowsAreDisabledOnlyWhileWaiting) {
    QMainWindow window;
    window.show();
    bool enabledDuring = true;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { enabledDuring = enabledDuring && window.isEnabled(); });
    probe.start(5);
    QtProcessRunner runner;
    const ProcessOutcome outcome = runner.run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("sleep 0.1")});
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_FALSE(runner.run(QStringLiteral("/nonexistent/program"), {}).started);
}

TEST(MsgPanel, ShowsInFrontThenHidesByItsOwnTimer) {
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    auto *panel = new TMsgPanel(&window);
    EXPECT_EQ(CurrentMessagePanel(), panel);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->HideTimer->interval(), 5000);
    EXPECT_TRUE(panel->HideTimer->isSingleShot());
    panel->showPanel(QStringLiteral("\r\n Trying to run...\r\n http://example.org"));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->MsgLabel->text(), QStringLiteral("\n Trying to run...\n http://example.org"));
    EXPECT_TRUE(panel->HideTimer->isActive());
    panel->HideTimer->setInterval(20);
    panel->HideTimer->start();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 2000);
    panel->showPanel(QStringLiteral("again"));
    HideMessagePanel();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->HideTimer->isActive());
    delete panel;
    EXPECT_EQ(CurrentMessagePanel(), nullptr);
}

TEST(KeyState, LockCopiesFlipOnPressesOnce) {
    KeyState::reset();
    KeyState::install();
    QWidget window;
    auto *edit = new QLineEdit(&window);
    window.show();
    edit->setFocus();
    EXPECT_FALSE(KeyState::isToggled(StateKey::Insert));
    QTest::keyClick(edit, Qt::Key_Insert);
    EXPECT_TRUE(KeyState::isToggled(StateKey::Insert)) << "one press, counted once on its way to the parents";
    QTest::keyClick(edit, Qt::Key_Insert);
    EXPECT_FALSE(KeyState::isToggled(StateKey::Insert));
    QTest::keyClick(edit, Qt::Key_CapsLock);
    QTest::keyClick(edit, Qt::Key_NumLock);
    EXPECT_TRUE(KeyState::isToggled(StateKey::CapsLock));
    EXPECT_TRUE(KeyState::isToggled(StateKey::NumLock));
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_TRUE(KeyState::isToggled(StateKey::CapsLock));
    EXPECT_FALSE(KeyState::isToggled(StateKey::Shift)) << "Shift is held, not toggled";
    EXPECT_FALSE(KeyState::isDown(StateKey::CapsLock)) << "a lock key is toggled, not held";
    KeyState::reset();
}

TEST(WavePlayer, PlaysSilentlyWithNullOutput) {
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("beep.wav"));
    // 0.05 s of 8-bit mono silence at 8000 Hz.
    QByteArray data(400, char(0x80));
    QByteArray file("RIFF");
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
    file += le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) +
            le16(8) + "data" + le32(data.size()) + data;
    WriteFileBytes(wav, file);
    MpvWavePlayer player(QStringLiteral("null"));
    player.play(wav);
    EXPECT_TRUE(player.waitForEnd(5000));
    player.play(dir.filePath(QStringLiteral("missing.wav")));
    EXPECT_FALSE(player.waitForEnd(5000)) << "a missing file ends in an error, only logged";

    // Held while start-up runs: nothing starts until the hold ends, then
    // the sound plays whole.
    HoldSounds(true);
    player.play(wav);
    QThread::msleep(200);
    EXPECT_TRUE(player.hasWaitingSounds());
    HoldSounds(false);
    QElapsedTimer clock;
    clock.start();
    while (player.hasWaitingSounds() && clock.elapsed() < 5000)
        QThread::msleep(10);
    EXPECT_FALSE(player.hasWaitingSounds()) << "the end of the hold starts it";
    EXPECT_TRUE(player.waitForEnd(5000));
}
