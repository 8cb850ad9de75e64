#include "presentation/music/RecordingsCatalogue.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <random>

namespace {

const QString S(QChar(0x00B7));

// A recording line of the music text: six columns before the location.
QString Rec(const QString &title, const QString &trk, const QString &location) {
    return title + S + trk + S.repeated(4) + S + location;
}

DanceMusic Dance(const char *title, const QString &music) {
    return {0, QString::fromUtf8(title), QStringLiteral("Longways"), QStringLiteral("Jig"), music};
}

// The first cells of the rows, "|" then the title where there is one.
QStringList Shown(const QList<RecRow> &rows) {
    QStringList out;
    for (const RecRow &r : rows) out.append(r.cells[1].isEmpty() ? r.cells[0] : r.cells[0] + "|" + r.cells[1]);
    return out;
}

} // namespace

TEST(RecordingsCatalogue, CollateShowsFilesWithTheirDances) {
    const QList<DanceMusic> dances{
        Dance("Reel, The", QStringLiteral("Band") + S + Rec("Reel", "", "Folk\\Reel.mp3")),
        Dance("Second Reel", S + Rec("Reel", "", "Folk/Reel.mp3")), // "/" reads as "\"
        Dance("Lost", S + Rec("Lost", "", "Folk\\Lost.mp3")),
        Dance("Short", "Live" + S + "a" + S + "b"),                   // padded to ".?"
        Dance("Hits", S + Rec("Folk Hits", "3", "d:")),
        Dance("Root Tune", S + Rec("", "", "Root.mp3")),
        Dance("Žabka", S + Rec("", "", "Ž\\Žabka.mp3")),
        Dance("Sakura", S + Rec("", "", "日本\\さくら.mp3")),
        Dance("Nested", S + Rec("", "", "Reel.mp3.mp3")),
        Dance("Plain", S + Rec("", "", "Reel.mp3")),
        Dance("Absolute", S + Rec("", "", "C:\\Music\\x.mp3")),
        Dance("Sheet", S + Rec("", "", "Folk\\tune.pdf")), // not music: left out
        Dance("Bar", S + Rec("", "", "Folk\\A|B.mp3")),     // a "|" in a file name
    };
    const QStringList files{"Folk\\A|B.mp3", "Folk\\Reel.mp3", "Folk\\Unused.mp3", "Folk\\x|y.mp3",
                            "Folk\\cover.jpg", "Reel.mp3", "Reel.mp3.mp3", "Root.mp3", "Ž\\Žabka.mp3",
                            "日本\\さくら.mp3"};
    const QStringList lines = DanceListLines(dances, S[0]);
    const QList<RecRow> rows = CollateRecordings(lines, files, {});
    EXPECT_EQ(Shown(rows),
              QStringList({"In folder [Root]", "?.?|Short", "In folder Folk", "A|B.mp3|Bar", "?Lost.mp3|Lost",
                           "Reel.mp3|Reel, The", " and|Second Reel", "Unused.mp3", "x|y.mp3", "In folder [Root]",
                           "Reel.mp3|Plain", "Reel.mp3.mp3|Nested", "Root.mp3|Root Tune", "In folder Ž",
                           "Žabka.mp3|Žabka", "In folder 日本", "さくら.mp3|Sakura", "In folder C:\\Music",
                           "?x.mp3|Absolute", "On drive D:", "Folk Hits, track 3|Hits"}));
    EXPECT_EQ(rows[3].kind, RecRowKind::Recording);
    EXPECT_EQ(rows[4].kind, RecRowKind::Missing);
    EXPECT_EQ(rows[8].kind, RecRowKind::Unused);

    CollateOptions unused;
    unused.unusedOnly = true;
    EXPECT_EQ(Shown(CollateRecordings(lines, files, unused)), QStringList({"In folder Folk", "Unused.mp3", "x|y.mp3"}));
    CollateOptions search;
    search.search = QStringLiteral("reel");
    EXPECT_EQ(Shown(CollateRecordings(lines, files, search)),
              QStringList({"In folder Folk", "Reel.mp3|Reel, The", " and|Second Reel", "In folder [Root]",
                           "Reel.mp3|Plain", "Reel.mp3.mp3|Nested"}));
    search.search = QStringLiteral("re");
    EXPECT_EQ(CollateRecordings(lines, files, search).size(), rows.size());
}

TEST(RecordingsCatalogue, AddTakesRecordingRowsOnly) {
    const QStringList cells{"In folder Folk", "Reel.mp3", " and", "?Lost.mp3", "In folder [Root]", "Root.mp3",
                            "On drive D:",    "Folk Hits, track 3"};
    const struct {
        int row;
        const char *path; // "" refused
    } cases[] = {{0, ""}, {1, "Folk\\Reel.mp3"}, {2, "Folk\\Reel.mp3"}, {3, ""}, {5, "Root.mp3"}, {6, ""}, {7, ""}};
    for (const auto &c : cases) {
        QString message;
        EXPECT_EQ(AddTarget(cells, c.row, &message), QString::fromLatin1(c.path)) << c.row;
        EXPECT_EQ(message.isEmpty(), *c.path != 0) << c.row;
    }
    EXPECT_EQ(MusicWithRecording("Band", S[0], "a.mp3", false), "Band" + S + S.repeated(6) + "a.mp3");
    const QString two = "Band" + S + "x\r" + "y";
    EXPECT_EQ(MusicWithRecording(two, S[0], "a.mp3", true), "Band" + S + S.repeated(6) + "a.mp3");
    EXPECT_EQ(MusicWithRecording(two, S[0], "a.mp3", false), two + "\r" + S.repeated(6) + "a.mp3");
}

TEST(RecordingsCatalogue, ScanMatchesNamesToDances) {
    const QString list = RecordingFileText({"Sub\\Reel.mp3", "Reel.mp3", "Old\\Hunt the Squirrel.mp3",
                                            "Sticks\\._Reel.mp3", "Sub\\Own.mp3", "Sub\\Jig.mp3", "Other\\Jig.mp3"});
    const ScanIndex index(list);
    const QList<DanceMusic> dances{
        Dance("Reel, The", ""),
        Dance("Squirrel", "3x Hunt the Squirrel in Dancing Master"),
        Dance("Mine", "Own tune"),
        Dance("Empty", ""), // empty live text: an empty key, never "._Reel.mp3"
        Dance("Has one", S + Rec("", "", "a.mp3")),
        Dance("Jig", ""),
    };
    QStringList attached;
    auto attach = [&](const DanceMusic &d, const QString &music) { attached << d.title + "=" + music; };
    ASSERT_TRUE(ScanMatch(dances, index, S[0], {}, attach));
    EXPECT_EQ(attached, QStringList({"Reel, The=" + S.repeated(7) + "Sub\\Reel.mp3",
                                     "Squirrel=3x Hunt the Squirrel in Dancing Master" + S.repeated(7) +
                                         "Old\\Hunt the Squirrel.mp3",
                                     "Jig=" + S.repeated(7) + "Other\\Jig.mp3"}));

    // No moves on to the next file, Cancel ends at once.
    attached.clear();
    QStringList asked;
    QList<ScanAnswer::Kind> answers{ScanAnswer::Yes, ScanAnswer::No, ScanAnswer::No, ScanAnswer::Cancel};
    auto ask = [&](const QString &q) {
        asked << q;
        return answers.takeFirst();
    };
    EXPECT_FALSE(ScanMatch(dances, index, S[0], ask, attach));
    EXPECT_EQ(attached.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("The Reel - Longways - Jig\rAdd recording:\rSub\\Reel.mp3"));
    EXPECT_EQ(asked.size(), 4);
    EXPECT_TRUE(asked[3].endsWith(QStringLiteral("Sub\\Jig.mp3")));
}

TEST(RecordingsCatalogue, IndexFindsWhatASubstringSearchFinds) {
    std::mt19937 random(7);
    const QStringList words{"Reel", "Jig", "The Reel", "reel", "Hornpipe", "Jig_2", "O'Neill", "A Waltz"};
    QStringList paths;
    for (int i = 0; i < 400; ++i)
        paths << words[random() % words.size()] + "\\" + words[random() % words.size()] +
                     (random() % 3 ? ".mp3" : ".ogg");
    const QString list = RecordingFileText(paths);
    const ScanIndex index(list);
    const QStringList sorted = RecordingFilePaths(list);
    for (const char *keyText : {"Reel", "The Reel", "Jig 2", "ONeill", "Waltz", "A Waltz", "Nothing"}) {
        const QString key = QString::fromLatin1(keyText);
        QList<int> plain;
        for (int line = 0; line < sorted.size(); ++line) {
            QString normal = " " + sorted[line];
            normal.replace('_', ' ').remove('\'').remove(',');
            if (normal.contains("\\" + QString(key) + ".", Qt::CaseInsensitive)) plain << line;
        }
        EXPECT_EQ(index.Hits(key), plain) << keyText;
    }
    EXPECT_TRUE(index.Hits(QString()).isEmpty());
}

class RecordingsScan : public QuillaryTest {};

TEST_F(RecordingsScan, WalkFollowsTheRulesOfTheDisk) {
    const QString music = path("Music/");
    WriteFileBytes(music + "b.mp3", "b");
    WriteFileBytes(music + "A/z.mp3", "z");
    WriteFileBytes(music + "A/desktop.ini", "d");
    WriteFileBytes(music + "A/bad\\name.mp3", "x");
    WriteFileBytes(music + "A/cr\rname.mp3", "x");
    WriteFileBytes(music + "ÿ/last.mp3", "l");
    QFile::link(music, music + "A/loop"); // back to the top: walked once
    QStringList log;
    QStringList messages;
    ScanHooks hooks;
    hooks.log = [&](const QString &t) { log << t; };
    hooks.message = [&](const QString &t) { messages << t; };
    EXPECT_EQ(ScanFolder(music, hooks), QStringList({"b.mp3", "A\\z.mp3", "ÿ\\last.mp3"}));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(log.filter("Skipped file name").size(), 2);
    EXPECT_EQ(log.filter("ScanDisk: ").size(), 4); // Music, A, A/loop (refused), ÿ

    // A step answering false stops the walk after the first folder.
    hooks.step = [] { return false; };
    bool stopped = false;
    EXPECT_EQ(ScanFolder(music, hooks, &stopped), QStringList({"b.mp3"}));
    EXPECT_TRUE(stopped);

    hooks.step = {};
    ScanFolder(music + "Gone/", hooks);
    ScanFolder("/media/nobody-here/STICK/Music/", hooks);
    ScanFolder("E:/Music/", hooks);
    EXPECT_EQ(messages, QStringList({"Drive / exists but cannot find " + music + "Gone/",
                                     "Drive /media/nobody-here does not exist.  Cannot find "
                                     "/media/nobody-here/STICK/Music/",
                                     "Drive E: does not exist.  Cannot find E:/Music/"}));
}
