#include "core/dialogs/MsgPanel.h"
#include "core/services/ShellRoutines.h"
#include "platform/media/WavePlayer.h"
#include "platform/shell/KeyState.h"
#include "platform/shell/ProcessRunner.h"
#include "TestSupport.h"

#include <QDir>
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
}
