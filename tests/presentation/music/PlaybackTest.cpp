#include "presentation/music/Playback.h"

#include "TestSupport.h"

namespace {

const QChar Dot(0xB7);

class PlaybackTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        base = path(QStringLiteral("Music/"));
        for (const char *name : {"Folk/Reel.mp3", "tune.ogg", "tune.m4a", "song.mid", "Root.mp3"})
            WriteFileBytes(base + QString::fromLatin1(name), "x");
    }
    PlaySource source(const QString &playFile, const QString &line = QString(), bool intPlayer = true) const {
        PlaySource s;
        s.playFile = playFile;
        s.currentMusicLine = QString(line).replace(QLatin1Char('*'), Dot);
        s.sep = Dot;
        s.baseFolder = base;
        s.intPlayer = intPlayer;
        s.resolve = ResolvePathNoCase;
        return s;
    }
    PlaySource recRow(const QString &folder, const QString &entry) const {
        PlaySource s = source(QString());
        s.recordingsPage = true;
        s.recFolder = folder;
        s.recEntry = entry;
        return s;
    }
    QString base;
};

} // namespace

// Every way a start goes: which player, which file, or which message.
TEST_F(PlaybackTest, WhatToPlayTable) {
    struct Case {
        const char *name;
        PlaySource in;
        PlayRoute::Kind kind;
        QString pathOrMessage;
        int track;
        int help;
    };
    const QString noTrack = QStringLiteral(
        "No track specified.  If it's not a CD, it needs a file name as part of the Location field.");
    const QList<Case> cases = {
        {"ogg in our player", source("tune.ogg"), PlayRoute::Internal, base + "tune.ogg", -1, 0},
        {"m4a in our player", source("tune.m4a"), PlayRoute::Internal, base + "tune.m4a", -1, 0},
        {"MIDI to the desktop", source("song.mid"), PlayRoute::Desktop, base + "song.mid", -1, 0},
        {"external player", source("tune.ogg", "", false), PlayRoute::External, base + "tune.ogg", -1, 0},
        {"another case on disk", source("folk\\REEL.MP3"), PlayRoute::Internal, base + "Folk/Reel.mp3", -1, 0},
        {"absolute path", source(base + "tune.ogg"), PlayRoute::Internal, base + "tune.ogg", -1, 0},
        {"missing file", source("Folk\\Gone.mp3"), PlayRoute::Refused, base + "Folk/Gone.mp3\rFile not found.", -1, 0},
        {"nothing to play", source(""), PlayRoute::Refused, "No recording specified", -1, 0},
        {"CD with no track", source("D:", "My CD**"), PlayRoute::Refused, noTrack, -1, 58110},
        {"CD track 3a", source("D:", "My CD*3a"), PlayRoute::Refused, "Non-numeric track:\r3a", -1, 0},
        {"CD track 3", source("D:", "My CD*3*****D:"), PlayRoute::Internal, "D:", 3, 0},
        {"CD, external player", source("D:", "My CD*3*****D:", false), PlayRoute::External, "D:", 3, 0},
        {"Recordings row, track 3", recRow("", "D:\u00B7My CD, track 3"), PlayRoute::Internal, "D:\u00B7My CD, track 3",
         3, 0},
        {"Recordings row, track x", recRow("", "D:\u00B7My CD, track x"), PlayRoute::Refused,
         "Cannot play this CD track.", -1, 0},
        {"Recordings row in a folder", recRow("Folk\\", "Reel.mp3"), PlayRoute::Internal, base + "Folk/Reel.mp3", -1, 0},
        {"Recordings row at the root", recRow("", "Root.mp3"), PlayRoute::Internal, base + "Root.mp3", -1, 0},
    };
    for (const Case &c : cases) {
        const PlayRoute route = ChoosePlayRoute(c.in);
        EXPECT_EQ(route.kind, c.kind) << c.name;
        EXPECT_EQ(route.kind == PlayRoute::Refused ? route.message : route.path, c.pathOrMessage) << c.name;
        EXPECT_EQ(route.track, c.track) << c.name;
        EXPECT_EQ(route.helpContext, c.help) << c.name;
    }
}

TEST_F(PlaybackTest, GridFoldersAndMarkKeys) {
    const QStringList cells = {"", "In folder [Root]", "Root.mp3", "In folder Folk", "Reel.mp3", " and"};
    const QString expected[] = {"", "", "", "Folk\\", "Folk\\", "Folk\\"};
    for (int row = 0; row < cells.size(); ++row) EXPECT_EQ(FolderOfGridRow(cells, row), expected[row]) << row;

    // The same file gives the same key from the Dances page (its Location) and
    // from the Recordings page (folder + name), and from an absolute path.
    const QString fromDances = MarkKey(QStringLiteral("Folk\\Reel.mp3"), base);
    EXPECT_EQ(fromDances, QStringLiteral("Folk\\Reel.mp3"));
    EXPECT_EQ(MarkKey(FolderOfGridRow(cells, 4) + cells[4], base), fromDances);
    EXPECT_EQ(MarkKey(base + QStringLiteral("Folk/Reel.mp3"), base), fromDances);
    EXPECT_EQ(MarkKey(QStringLiteral("Root.mp3"), base), QStringLiteral("Root.mp3"));
    EXPECT_EQ(FormatMark(999), QString());
    EXPECT_EQ(FormatMark(61999), QStringLiteral("1:01"));
}
