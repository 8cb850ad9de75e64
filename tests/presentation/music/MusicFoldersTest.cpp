#include "presentation/music/MusicFolders.h"

#include "TestSupport.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "platform/media/MyPlayer.h"
#include "platform/media/ToneWav.h"
#include "presentation/music/Playback.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <atomic>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

namespace {

// Fails a test rather than hanging it: when the test has not ended in time,
// opens and closes the writing end of each FIFO, which wakes a reader blocked
// on it, until the test ends; fired() then tells.
class FifoWatchdog {
public:
    FifoWatchdog(const QStringList &fifos, int seconds) {
        for (const QString &f : fifos) names.append(QFile::encodeName(f));
        thread = std::thread([this, seconds] {
            std::unique_lock<std::mutex> lock(mutex);
            if (ended.wait_for(lock, std::chrono::seconds(seconds), [this] { return done; })) return;
            didFire = true;
            while (!ended.wait_for(lock, std::chrono::milliseconds(100), [this] { return done; }))
                for (const QByteArray &name : names) {
                    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) ::close(fd);
                }
        });
    }
    ~FifoWatchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        ended.notify_all();
        thread.join();
    }
    bool fired() const { return didFire; }

private:
    QList<QByteArray> names;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::atomic_bool didFire{false};
    std::thread thread;
};

} // namespace

// What a caller does with a hostile music folder: lists it twice, plays each
// row (the route, the length measured, the player opened) and reads its CD
// details. Nothing blocks, no FIFO or device is read, a forged CD line is
// neither believed nor written, a link swapped in for the order file is
// replaced rather than written through, and no file outside changes.
TEST_F(MusicFolderDisk, HostileEntriesNeitherBlockNorForgeNorWriteOutside) {
    WriteLog("START");
    const QString base = path("Music/"), outside = path("Outside/");
    WriteFileBytes(outside + "diary.txt", "Monday: dentist\r\nTuesday: band\r\n");
    const QByteArray tone = ToneWav(0.2);
    WriteFileBytes(outside + "tune.wav", tone);
    const QString realCd = "CDinfo:|Real CD|Band|Pub|X1|";
    const QString forged = "CDinfo:|Forged CD|Forged Band|X|Y|.mp3";
    QStringList fifos;
    const auto fifo = [&fifos](const QString &file) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0) << file.toStdString();
        fifos.append(file);
    };
    struct Row {
        const char *name;
        std::function<void(const QString &folder)> make;
        QStringList rows;
        QStringList refused; // rows that are no plain file
        QStringList order;   // the order file afterwards
        QString cdName;
        bool writable = true;  // the order file can be written
        bool swapLink = false; // a link replaces the order file between its check and its write
    };
    const QList<Row> rows = {
        {"a file named like the CD line",
         [&](const QString &f) {
             WriteFileBytes(f + "a.mp3", tone);
             WriteFileBytes(f + forged, tone);
             WriteFileBytes(f + "Ini.Text", (realCd + "\r\n").toLatin1());
         },
         {"a.mp3"}, {}, {realCd, "a.mp3"}, "Real CD"},
        {"a FIFO named like music",
         [&](const QString &f) {
             WriteFileBytes(f + "a.mp3", tone);
             fifo(f + "x.mp3");
         },
         {"a.mp3", "x.mp3"}, {"x.mp3"}, {"a.mp3", "x.mp3"}, ""},
        {"links to a device and to a file outside",
         [&](const QString &f) {
             QDir().mkpath(f);
             ASSERT_TRUE(QFile::link("/dev/zero", f + "y.mp3"));
             ASSERT_TRUE(QFile::link(outside + "tune.wav", f + "z.mp3"));
         },
         {"y.mp3", "z.mp3"}, {"y.mp3"}, {"y.mp3", "z.mp3"}, ""},
        {"a FIFO as the order file",
         [&](const QString &f) {
             WriteFileBytes(f + "a.mp3", tone);
             fifo(f + "Ini.Text");
         },
         {"a.mp3"}, {}, {}, "", false},
        {"an order file too large to be an order",
         [&](const QString &f) {
             WriteFileBytes(f + "a.mp3", tone);
             WriteFileBytes(f + "Ini.Text", "b.mp3\r\n");
             ASSERT_TRUE(QFile::resize(f + "Ini.Text", 17 << 20));
         },
         {"a.mp3"}, {}, {}, "", false},
        {"a link swapped in for the order file",
         [&](const QString &f) {
             WriteFileBytes(f + "a.mp3", tone);
             WriteFileBytes(f + "b.mp3", tone);
             WriteFileBytes(f + "Ini.Text", "b.mp3\r\n");
         },
         {"b.mp3", "a.mp3"}, {}, {"b.mp3", "a.mp3"}, "", true, true},
    };
    QList<QPair<QString, Row>> made;
    for (const Row &r : rows) {
        const QString folder = base + QString::fromLatin1(r.name).replace(' ', '_') + '/';
        r.make(folder);
        made.append({folder, r});
    }
    const QMap<QString, QByteArray> before = Snapshot(outside);
    TMyPlayer player(nullptr, QStringLiteral("null"));
    FifoWatchdog watchdog(fifos, 30);
    for (const auto &[folder, r] : made) {
        if (r.swapLink)
            OrderFileChecked = [&](const QString &file) {
                QFile::remove(file);
                QFile::link(outside + "diary.txt", file);
            };
        // An order file that may not be written stays as it was.
        const QString orderFile = folder + FolderOrderFile;
        const bool plainOrder = QFileInfo(orderFile).isFile();
        const QByteArray orderBefore = plainOrder ? ReadFileBytes(orderFile) : QByteArray();
        const FolderListing first = ListMusicFolder(folder, base);
        OrderFileChecked = nullptr;
        const FolderListing again = ListMusicFolder(folder, base);
        EXPECT_EQ(first.merge.rows, r.rows) << r.name;
        EXPECT_EQ(again.merge.rows, r.rows) << r.name;
        EXPECT_EQ(first.writeError.isEmpty(), r.writable) << r.name;
        EXPECT_EQ(again.merge.changed, !r.writable) << r.name; // the order file does not grow
        for (const QString &row : r.rows) {
            const QString file = folder + row;
            const bool refused = r.refused.contains(row);
            const std::string at = std::string(r.name) + ": " + row.toStdString();
            PlaySource source;
            source.playFile = file;
            source.sep = QChar(0xB7);
            source.baseFolder = base;
            source.resolve = ResolvePathNoCase;
            const PlayRoute route = ChoosePlayRoute(source);
            EXPECT_EQ(route.kind, refused ? PlayRoute::Refused : PlayRoute::Internal) << at;
            if (refused) {
                EXPECT_EQ(route.message, file + NotPlayable) << at;
            }
            EXPECT_EQ(Mp3Length(file), 0) << at;
            answerer->clear();
            player.FileName = file;
            if (refused) {
                EXPECT_THROW(player.Open(), SilentAbort) << at;
                EXPECT_EQ(answerer->texts(),
                          QStringList("Could not open file\n" + file + "\n" + file + " is not a plain file."))
                    << at;
            } else {
                EXPECT_NO_THROW(player.Open()) << at;
                EXPECT_NEAR(player.GetLength(), 200, 30) << at;
                player.Close();
            }
        }
        const QStringList order = ReadFolderOrder(folder);
        EXPECT_EQ(order, r.order) << r.name;
        EXPECT_EQ(CdInfoFields(CdInfoLine(order))[0], r.cdName) << r.name;
        EXPECT_FALSE(QFileInfo(orderFile).isSymLink()) << r.name;
        if (plainOrder && !r.writable) {
            EXPECT_TRUE(ReadFileBytes(orderFile) == orderBefore) << r.name;
        }
        EXPECT_EQ(Snapshot(outside), before) << r.name;
    }
    EXPECT_FALSE(watchdog.fired()) << "a FIFO was read";
    EXPECT_TRUE(QString::fromUtf8(ReadFileBytes(path("Log.Txt")))
                    .contains("Passed over a name like the CD details line: " + base +
                              "a_file_named_like_the_CD_line/" + forged));
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
