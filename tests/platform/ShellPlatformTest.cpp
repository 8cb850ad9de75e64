#include "core/dialogs/MsgPanel.h"
#include "core/services/ShellRoutines.h"
#include "platform/media/WavePlayer.h"
#include "platform/shell/KeyState.h"
#include "platform/shell/ProcessRunner.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

TEST(ProcessRunner, RealShellForms) {
    // "exit" is no program: the shell form runs it.
    struct Case {
        const char *line;
        bool message;
    };
    const QList<Case> cases = {
        {"exit 0", false},
        {"exit 3", true},
        {"quillary-no-such-program --flag", true}, // the shell's 127
        {"true", false},
    };
    TestAnswerer answerer;
    for (const Case &c : cases) {
        answerer.clear();
        int after = 0;
        RunCommand(QString::fromLatin1(c.line), [&] { ++after; });
        EXPECT_EQ(after, 1) << c.line;
        EXPECT_EQ(answerer.sawText(QStringLiteral("Error calling external routine")), c.message) << c.line;
    }
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
