#include "platform/media/MyPlayer.h"

#include "platform/media/ToneWav.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

// A MPEG-1 layer III header: 128 kbit/s at 44.1 kHz (a 418-byte frame).
QByteArray Header(unsigned char third = 0x90) { return QByteArray("\xFF\xFB", 2) + char(third) + char(0); }

QByteArray Junk(qsizetype size) { return QByteArray(size, char(0x11)); }

} // namespace

TEST(Mp3LengthTest, FrameTable) {
    struct Case {
        const char *name;
        QByteArray bytes;
        qint64 ms;
    };
    auto at = [](qsizetype offset, const QByteArray &header) {
        QByteArray b = Junk(600);
        b.replace(offset, header.size(), header);
        return b;
    };
    const Case cases[] = {
        {"shorter than a block", Header() + Junk(200), 0},
        {"header at offset 252", at(252, Header()), 26},
        {"header at offset 253 (read in the next block)", at(253, Header()), 26},
        {"header at offset 254", at(254, Header()), 26},
        {"free bitrate skipped", at(10, Header(0x00)), 0},
        {"bad bitrate skipped", at(10, Header(0xF0)), 0},
        {"reserved rate skipped", at(10, Header(0x9C)), 0},
        {"MPEG-2 header not counted", at(10, QByteArray("\xFF\xF3\x90\x00", 4)), 0},
        {"1 MB of junk", Junk(1 << 20), 0},
    };
    // Ten frames back to back count ten times.
    QByteArray frames;
    for (int i = 0; i < 10; ++i) frames += Header() + Junk(418 - 4);
    // A file gives what its bytes give, though only its headers' blocks are read.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("x.mp3"));
    for (const Case &c : cases) {
        EXPECT_EQ(Mp3LengthOfBytes(c.bytes), c.ms) << c.name;
        WriteFileBytes(file, c.bytes);
        EXPECT_EQ(Mp3Length(file), c.ms) << c.name;
    }
    EXPECT_EQ(Mp3LengthOfBytes(frames + Junk(600)), 260);
    WriteFileBytes(file, frames + Junk(600));
    EXPECT_EQ(Mp3Length(file), 260);
    // Followed by eight gigabytes of nothing: measured within the bound, never read whole.
    ASSERT_TRUE(QFile::resize(file, qint64(8) << 30));
    EXPECT_EQ(Mp3Length(file), 260);
}

TEST(CdTrackTest, SpanTable) {
    const QList<qint64> starts = {0, 60000, 130000, 200000, 290000};
    struct Case {
        int track;
        bool onDisc;
        qint64 start, end, length;
    };
    const Case cases[] = {
        {3, true, 130000, 200000, 70000}, {5, true, 290000, -1, 60000}, {1, true, 0, 60000, 60000},
        {0, false, 0, -1, 0},             {6, false, 0, -1, 0},         {300, false, 0, -1, 0},
        {-1, false, 0, -1, 0},
    };
    for (const Case &c : cases) {
        const CdTrackSpan span = CdTrackSpanOf(starts, 350000, c.track);
        EXPECT_EQ(span.onDisc, c.onDisc) << c.track;
        EXPECT_EQ(span.startMs, c.start) << c.track;
        EXPECT_EQ(span.endMs, c.end) << c.track;
        EXPECT_EQ(span.lengthMs, c.length) << c.track;
    }
}

class MyPlayerTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        wav = path(QStringLiteral("tone.wav"));
        WriteToneWav(wav, 3);
        player.OnNotify = [this](TMyPlayer *) { ++notifies; };
    }
    QString wav;
    TMyPlayer player{nullptr, QStringLiteral("null")};
    int notifies = 0;
};

TEST_F(MyPlayerTest, ModesPositionsAndOneNotifyAtTheEnd) {
    player.FileName = wav;
    player.Open();
    EXPECT_EQ(player.GetMode(), ModeStopped);
    EXPECT_NEAR(player.GetLength(), 3000, 30);
    player.Play();
    PumpEvents(200);
    EXPECT_EQ(player.GetMode(), ModePlaying);
    EXPECT_EQ(player.Pause(), ModePaused);
    PumpEvents(100);
    EXPECT_EQ(player.Pause(), ModePlaying);
    player.Seek(1000);
    PumpEvents(200);
    EXPECT_EQ(player.GetMode(), ModeStopped);
    EXPECT_NEAR(player.GetPosition(), 1000, 50);
    EXPECT_EQ(notifies, 0);

    // A one-shot span: it ends at its end position with one notify.
    player.SetStartPos(2000);
    player.SetEndPos(2300);
    player.Play();
    PumpEvents(900);
    EXPECT_EQ(notifies, 1);
    EXPECT_EQ(player.GetMode(), ModeStopped);
    EXPECT_NEAR(player.GetPosition(), 2300, 60);

    // The next Play has no end position: it runs to the file's end.
    player.SetStartPos(2500);
    player.Play();
    PumpEvents(1000);
    EXPECT_EQ(notifies, 2);
    EXPECT_EQ(player.GetMode(), ModeStopped);

    // Closing while playing sends nothing.
    player.SetStartPos(0);
    player.Play();
    PumpEvents(100);
    player.Close();
    PumpEvents(300);
    EXPECT_EQ(notifies, 2);
    EXPECT_EQ(player.GetMode(), ModeNotReady);
}

TEST_F(MyPlayerTest, FilesThatCannotBeOpened) {
    const QString junk = path(QStringLiteral("junk.wav"));
    WriteFileBytes(junk, Junk(5000));
    for (const QString &file : {path(QStringLiteral("missing.wav")), junk}) {
        answerer->clear();
        player.FileName = file;
        EXPECT_THROW(player.Open(), SilentAbort) << file.toStdString();
        ASSERT_EQ(answerer->texts().size(), 1);
        EXPECT_TRUE(answerer->texts()[0].startsWith(QStringLiteral("Could not open file\n") + file + QLatin1Char('\n')))
            << answerer->texts()[0].toStdString();
        EXPECT_EQ(player.GetMode(), ModeNotReady);
    }
    EXPECT_EQ(notifies, 0);
}

namespace {

// libmpv's "pcm" output of one play of the 3 s tone: the peak amplitude as a
// fraction of the tone's, the seconds written and the frequency heard.
struct PcmResult {
    double amplitude = 0, seconds = 0, hertz = 0;
};

PcmResult PlayToPcm(const QString &wav, int volume, int speed) {
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        TMyPlayer player(nullptr, QStringLiteral("pcm"));
        bool ended = false;
        player.OnNotify = [&ended](TMyPlayer *) { ended = true; };
        // Set first: "pcm" runs faster than real time, ahead of a change.
        player.SetVolume(volume);
        player.SetSpeed(speed);
        player.FileName = wav;
        player.Open();
        player.Play();
        for (int i = 0; i < 500 && !ended; ++i) PumpEvents(10);
    }
    QDir::setCurrent(old);
    const QByteArray bytes = ReadFileBytes(dir.filePath(QStringLiteral("audiodump.wav")));
    const qsizetype fmt = bytes.indexOf("fmt "), data = bytes.indexOf("data");
    if (fmt < 0 || data < 0) return {};
    const int channels = qFromLittleEndian<quint16>(bytes.constData() + fmt + 10);
    const int rate = qFromLittleEndian<qint32>(bytes.constData() + fmt + 12);
    const int bits = qFromLittleEndian<quint16>(bytes.constData() + fmt + 22);
    const qsizetype frames = (bytes.size() - data - 8) / (channels * bits / 8);
    PcmResult r;
    r.seconds = double(frames) / rate;
    double peak = 0, last = 0;
    int crossings = 0;
    for (qsizetype i = 0; i < frames; ++i) {
        const char *at = bytes.constData() + data + 8 + i * channels * bits / 8;
        const double v = bits == 32 ? qFromLittleEndian<float>(at) : qFromLittleEndian<qint16>(at) / 32768.0;
        peak = std::max(peak, std::abs(v));
        if (last < 0 && v >= 0) ++crossings;
        last = v;
    }
    r.amplitude = peak / 0.37; // the tone's own peak
    r.hertz = crossings / r.seconds;
    return r;
}

} // namespace

// Volume v gives v percent of the amplitude; a faster speed keeps the pitch.
TEST_F(MyPlayerTest, VolumeIsLinearAndSpeedKeepsThePitch) {
    for (int volume : {50, 25, 10}) {
        const PcmResult r = PlayToPcm(wav, volume, 1000);
        EXPECT_NEAR(r.amplitude, volume / 100.0, volume / 100.0 * 0.01 + 0.002) << volume;
    }
    const PcmResult fast = PlayToPcm(wav, 100, 1500);
    EXPECT_NEAR(fast.seconds, 2.0, 0.05);
    EXPECT_NEAR(fast.hertz, 440, 3);
}
