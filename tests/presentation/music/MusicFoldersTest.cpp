#include "presentation/music/MusicFolders.h"

#include "TestSupport.h"

#include "base/AppState.h"
#include "base/Log.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {

const QString CdLine = QStringLiteral("CDinfo:|Folk Hits|Band|Pub|X1|");

struct MergeCase {
    const char *name;
    QStringList order, folders, files;
    QStringList rows, newOrder;
    bool changed;
};

} // namespace

TEST(MusicFolders, MergeKeepsTheUsersOrder) {
    const QString f = QStringLiteral("» ");
    const MergeCase cases[] = {
        {"new file listed last", {"b.mp3", "a.mp3"}, {}, {"a.mp3", "b.mp3", "c.mp3"},
         {"b.mp3", "a.mp3", "c.mp3"}, {"b.mp3", "a.mp3", "c.mp3"}, true},
        {"deleted file dropped", {"b.mp3", "gone.mp3", "a.mp3"}, {}, {"a.mp3", "b.mp3"},
         {"b.mp3", "a.mp3"}, {"b.mp3", "a.mp3"}, true},
        {"only subfolders: nothing written", {}, {"Jigs", "Reels"}, {}, {f + "Jigs", f + "Reels"}, {}, false},
        {"CD line kept in place", {"b.mp3", CdLine, "a.mp3"}, {"Sub"}, {"a.mp3", "b.mp3"},
         {f + "Sub", "b.mp3", "a.mp3"}, {"b.mp3", CdLine, "a.mp3"}, false},
        {"duplicate, empty and bar-led lines dropped", {"a.mp3", "", "a.mp3", "|b.mp3"}, {}, {"a.mp3", "b.mp3"},
         {"a.mp3", "b.mp3"}, {"a.mp3", "b.mp3"}, true},
        {"case of the disk wins", {"REEL.MP3"}, {}, {"Reel.mp3"}, {"Reel.mp3"}, {"Reel.mp3"}, true},
        {"names apart from case keep a line each", {"reel.mp3", "Jig.mp3", "Reel.mp3"}, {},
         {"Jig.mp3", "Reel.mp3", "reel.mp3"}, {"reel.mp3", "Jig.mp3", "Reel.mp3"},
         {"reel.mp3", "Jig.mp3", "Reel.mp3"}, false},
    };
    for (const MergeCase &c : cases) {
        const FolderMerge m = MergeFolderOrder(c.order, c.folders, c.files);
        EXPECT_EQ(m.rows, c.rows) << c.name;
        EXPECT_EQ(m.order, c.newOrder) << c.name;
        EXPECT_EQ(m.changed, c.changed) << c.name;
    }
    EXPECT_TRUE(MergeFolderOrder({}, {}, {}).empty);
    EXPECT_FALSE(MergeFolderOrder({CdLine}, {}, {}).empty);
}

TEST(MusicFolders, CdDetailsReadAndWritten) {
    EXPECT_EQ(CdInfoFields(CdInfoLine({"a.mp3"})), QStringList({"", "", "", ""}));
    // The last CD line counts; it is replaced where it stands.
    const QStringList two{"CDinfo:|Old|||||", "a.mp3", CdLine, "b.mp3"};
    EXPECT_EQ(CdInfoFields(CdInfoLine(two)), QStringList({"Folk Hits", "Band", "Pub", "X1"}));
    EXPECT_EQ(SetCdInfo(two, {"N", "B", "P", "C"}),
              QStringList({"CDinfo:|Old|||||", "a.mp3", "CDinfo:|N|B|P|C|", "b.mp3"}));
    EXPECT_EQ(SetCdInfo({"a.mp3"}, {"N", "", "", ""}), QStringList({"a.mp3", "CDinfo:|N||||"}));
    // A typed "|" or line break would shift the fields at the next read.
    const QStringList typed = SetCdInfo({}, {"Jigs | Reels", "The\rBand\n", "", "7"});
    EXPECT_EQ(CdInfoFields(CdInfoLine(typed)), QStringList({"Jigs   Reels", "The Band ", "", "7"}));
    EXPECT_EQ(DefaultCdName(QStringLiteral("/m/Music/Folk_Hits_2/")), QStringLiteral("Folk Hits 2"));
}

TEST(MusicFolders, ReorderMovesFilesAroundTheCdLine) {
    QStringList order{"a.mp3", CdLine, "b.mp3", "c.mp3"};
    EXPECT_TRUE(MoveOrderEntry(order, 1, -1));
    EXPECT_EQ(order, QStringList({"b.mp3", CdLine, "a.mp3", "c.mp3"}));
    EXPECT_FALSE(MoveOrderEntry(order, 0, -1));
    EXPECT_FALSE(MoveOrderEntry(order, 2, 1));
    EXPECT_EQ(OrderFiles(order), QStringList({"b.mp3", "a.mp3", "c.mp3"}));
}

class MusicFolderDisk : public QuillaryTest {};

TEST_F(MusicFolderDisk, ListingWritesTheOrderFileOnlyWhenItChanged) {
    const QString music = path("Music/");
    WriteFileBytes(music + "Jigs/x.mp3", "x");
    WriteFileBytes(music + "Old/b.mp3", "b");
    WriteFileBytes(music + "Old/a.mp3", "a");
    WriteFileBytes(music + "Old/notes.txt", "n");
    WriteFileBytes(music + "Old/ini.text", "b.mp3\r\ngone.mp3\r\n");

    FolderListing top = ListMusicFolder(music);
    EXPECT_EQ(top.merge.rows, QStringList({"» Jigs", "» Old"}));
    EXPECT_FALSE(QFile::exists(music + FolderOrderFile));

    // The order file is found whatever its case and rewritten under its own name.
    FolderListing old = ListMusicFolder(music + "Old/");
    EXPECT_EQ(old.merge.rows, QStringList({"b.mp3", "a.mp3"}));
    EXPECT_EQ(ReadFolderOrder(music + "Old/"), QStringList({"b.mp3", "a.mp3"}));
    EXPECT_TRUE(QFile::exists(music + "Old/ini.text"));
    EXPECT_FALSE(ListMusicFolder(music + "Old/").merge.changed);
}

TEST_F(MusicFolderDisk, UnwritableOrderFileStillLists) {
    // A folder in the order file's place cannot be written, as on read-only media.
    const QString music = path("Stick/");
    WriteFileBytes(music + "a.mp3", "a");
    QDir().mkpath(music + FolderOrderFile);
    const FolderListing l = ListMusicFolder(music);
    EXPECT_EQ(l.merge.rows, QStringList({"» Ini.Text", "a.mp3"}));
    EXPECT_FALSE(l.writeError.isEmpty());
}

namespace {

// Every file under a folder with its bytes, links not followed.
QMap<QString, QByteArray> Snapshot(const QString &root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        files.insert(p, QFileInfo(p).isSymLink() ? QByteArray("link") : ReadFileBytes(p));
    }
    return files;
}

} // namespace

// Hostile folders under the base folder: a listing, a saved reorder and saved
// CD details never change a file outside the base folder, nor follow a link
// to write; a name holding a line break never reaches the order file.
TEST_F(MusicFolderDisk, HostileFoldersLeaveOutsideFilesAlone) {
    WriteLog("START");
    const QString base = path("Music/"), outside = path("Outside/");
    WriteFileBytes(outside + "diary.txt", "Monday: dentist\r\nTuesday: band\r\n");
    WriteFileBytes(outside + "Album/a.mp3", "a");
    WriteFileBytes(outside + "Album/b.mp3", "b");
    WriteFileBytes(outside + "Album/Ini.Text", "b.mp3\r\n");
    const QString forged = "b\nCDinfo:|Forged CD|x|y|z|\n.mp3";
    const QString realCd = "CDinfo:|Real CD|Band|Pub|X1|";
    struct Row {
        const char *name;
        QList<QPair<QString, QByteArray>> files; // made under the base folder
        QList<QPair<QString, QString>> links;    // link under the base folder, what it points at
        const char *folder;
        QStringList rows;
        bool writable; // its order file may be written
    };
    const QList<Row> rows = {
        {"order file links to a file", {{"Linked/a.mp3", "a"}}, {{"Linked/Ini.Text", outside + "diary.txt"}},
         "Linked/", {"a.mp3"}, false},
        {"order file links to nothing", {{"Dangling/a.mp3", "a"}}, {{"Dangling/Ini.Text", outside + "new.txt"}},
         "Dangling/", {"a.mp3"}, false},
        {"folder links out of the base folder", {}, {{"Away", outside + "Album"}}, "Away/", {"b.mp3", "a.mp3"}, false},
        {"folder links within the base folder", {{"Real/a.mp3", "a"}}, {{"Alias", base + "Real"}}, "Alias/",
         {"a.mp3"}, true},
        {"file name holding line breaks",
         {{"Forged/a.mp3", "a"}, {"Forged/" + forged, "x"}, {"Forged/Ini.Text", (realCd + "\r\n").toLatin1()}}, {},
         "Forged/", {"a.mp3"}, true},
    };
    for (const Row &r : rows) {
        for (const auto &[file, bytes] : r.files) WriteFileBytes(base + file, bytes);
        for (const auto &[link, target] : r.links) ASSERT_TRUE(QFile::link(target, base + link)) << r.name;
        const QMap<QString, QByteArray> before = Snapshot(outside);
        const QString folder = base + r.folder;
        const FolderListing l = ListMusicFolder(folder, base);
        EXPECT_EQ(l.merge.rows, r.rows) << r.name;
        EXPECT_EQ(l.writeError.isEmpty(), r.writable) << r.name;
        QString error;
        EXPECT_EQ(WriteFolderOrder(folder, ReadFolderOrder(folder), &error, base), r.writable) << r.name;
        EXPECT_EQ(WriteFolderOrder(folder, SetCdInfo(ReadFolderOrder(folder), {"CD", "", "", ""}), &error, base),
                  r.writable)
            << r.name;
        EXPECT_EQ(Snapshot(outside), before) << r.name;
        EXPECT_FALSE(QFileInfo(folder + FolderOrderFile).isSymLink() && r.writable) << r.name;
    }
    EXPECT_TRUE(ReadFolderOrder(base + "Real/").contains("a.mp3"));
    // The real CD details stand; the forged name is logged on one line.
    const QStringList forgedOrder = ReadFolderOrder(base + "Forged/");
    EXPECT_EQ(forgedOrder, QStringList({"CDinfo:|CD||||", "a.mp3"}));
    EXPECT_TRUE(QString::fromLatin1(ReadFileBytes(path("Log.Txt")))
                    .contains("Passed over a name holding a line break: " + base + "Forged/b\\nCDinfo:|Forged CD|x|y|z|\\n.mp3"));
}

TEST_F(MusicFolderDisk, BaseFolderFromTheSettings) {
    const QString program = ProgramFolder;
    ProgramFolder = path("Program/");
    DataFolder = path("Data/");
    QDir().mkpath(ProgramFolder + "Music");
    QDir().mkpath(DataFolder + "Tunes");
    const struct {
        const char *stored;
        QString base;
    } cases[] = {
        {"Music", path("Program/Music/")},                // the program folder's own
        {"Tunes\\", path("Data/Tunes/")},                 // only the data folder holds it
        {"Neither", path("Program/Neither/")},            // the messages name the program's
        {"..\\Data\\Tunes", path("Data/Tunes/")},
        {"/srv/Music", "/srv/Music/"},
        {"D:\\Music", "D:/Music/"},
        {"", ""},
    };
    for (const auto &c : cases) EXPECT_EQ(ResolveBaseFolder(QString::fromLatin1(c.stored)), c.base) << c.stored;
    ProgramFolder = program;
}

TEST(MusicFolders, MusicFilesAndCaptions) {
    for (const char *name : {"a.MP3", "b.mid", "c.m4a", "d.Ogg", "e.wav", "Track01"})
        EXPECT_TRUE(IsMusicFile(QString::fromLatin1(name))) << name;
    for (const char *name : {"Ini.Text", "notes.txt", "cover.jpg"}) EXPECT_FALSE(IsMusicFile(QString::fromLatin1(name))) << name;
    EXPECT_EQ(FolderCaption("/m/Music/", "/m/Music/"), QStringLiteral("Base folder"));
    EXPECT_EQ(FolderCaption("/m/Music/Folk/Jigs/", "/m/Music/"), QStringLiteral("Folk/Jigs/"));
    EXPECT_EQ(ParentFolder("/m/Music/Folk/Jigs/"), QStringLiteral("/m/Music/Folk/"));
}
