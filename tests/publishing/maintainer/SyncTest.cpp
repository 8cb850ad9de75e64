#include "FakeProgress.h"
#include "core/dialogs/Progress.h"
#include "platform/probes/MachineProbes.h"
#include "platform/sqlite/Database.h"
#include "publishing/maintainer/Sync.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <filesystem>
#include <sqlite3.h>
#include <utility>

namespace {

struct FakeMachine : MachineProbes {
    QString stick;
    bool mailRunning = false;
    QString volumeWithLabel(const QString &label) override { return label == "VELLAM" ? stick : QString(); }
    bool programRunning(const QString &name) override { return mailRunning && name == "thunderbird"; }
};

// Fails on folders whose path holds `failing`; sets Cancel on reaching `cancelAt`.
struct FaultyScan : FolderScan {
    QString failing, cancelAt;
    bool listFolder(int folder, const QString &path, QList<FolderEntry> *entries) override {
        if (!cancelAt.isEmpty() && path.contains(cancelAt)) CancelRun = true;
        if (!failing.isEmpty() && path.contains(failing)) return false;
        return FolderScan::listFolder(folder, path, entries);
    }
};

// A database read without changing it: its integrity check, then its
// dance titles in order.
QStringList Catalogue(const QString &file) {
    sqlite3 *db = nullptr;
    QStringList out;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        for (const char *sql : {"PRAGMA integrity_check", "SELECT Title FROM Dances ORDER BY Title"}) {
            sqlite3_stmt *s = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) break;
            while (sqlite3_step(s) == SQLITE_ROW) out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
            sqlite3_finalize(s);
        }
    }
    if (out.isEmpty()) out << QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return out;
}

// Puts a folder's place under the link's name: the folder moves to where
// the link points.
void SwapForLink(const QString &folder, const QString &moved) {
    QDir().mkpath(QFileInfo(moved).absolutePath());
    ASSERT_TRUE(QDir().rename(folder, moved)) << folder.toStdString();
    ASSERT_TRUE(QFile::link(moved, folder)) << folder.toStdString();
}

// Acts (once) when a box whose text holds `when` comes up, then lets the
// test answerer answer it.
struct ActWhenAsked : MessagePresenter {
    explicit ActWhenAsked(const QString &w, std::function<void()> a) : when(w), act(std::move(a)) {
        inner = InstalledMessagePresenter();
        SetMessagePresenter(this);
    }
    ~ActWhenAsked() override { SetMessagePresenter(inner); }
    BoxResult present(const BoxRequest &request) override {
        if (act && !when.isEmpty() && request.text.contains(when)) std::exchange(act, {})();
        return inner->present(request);
    }
    QString when;
    std::function<void()> act;
    MessagePresenter *inner = nullptr;
};

class SyncTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        QDir::setCurrent(folder());
        machine.stick = path("stick/");
        SetMachineProbes(&machine);
        SetProgressView(&view);
        for (const char *p : {"main/", "lap/", "stick/Sync/"}) QDir().mkpath(path(p));
        c.Places = {{"main PC", path("main/"), false}, {"lap-top", path("lap/"), false}, {"USB stick", "Sync/", true}};
        c.WorkingFolders = {"Documents/Dances/"};
        c.Prefixes = {{"Documents/", "Cloud/Documents/"}};
        Database db;
        db.create(path("main/Quillary.mdb"));
        db.insertRow("Dances", {{"Title", "Reel"}});
        db.close();
        write("main/Documents/Dances/a.txt", "aaa");
        write("main/Documents/Dances/sub/b.txt", "bbb");
        write("main/Documents/Dances/old.BAK", "x");
        write("main/Documents/Dances/.git/config", "x");
        TestAnswerer::onUnscripted = [](const QString &t) { ADD_FAILURE() << "unscripted: " << t.toStdString(); };
    }
    void TearDown() override {
        TestAnswerer::onUnscripted = {};
        SetMachineProbes(nullptr);
        SetProgressView(nullptr);
        SetDocumentOpener(nullptr);
        QuillaryTest::TearDown();
    }
    void write(const QString &rel, const QByteArray &bytes) { WriteFileBytes(path(rel), bytes); }
    bool sawLine(const QString &part) const {
        return std::any_of(view.lines.cbegin(), view.lines.cend(), [&](const QString &l) { return l.contains(part); });
    }
    // A change left half-done in a database: a child process writing in one
    // transaction, killed once its pages reached the file.
    void leaveHalfDone(const QString &file) {
        QProcess writer;
        writer.start(QStringLiteral(QUILLARY_CRASH_WRITER), {QStringLiteral("hot"), file});
        ASSERT_TRUE(writer.waitForStarted());
        QByteArray out;
        while (!out.contains("ready") && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(10000);
            out += writer.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains("ready")) << out.toStdString();
        if (const qint64 pid = writer.processId(); pid > 0) ::kill(pid_t(pid), SIGKILL);
        writer.waitForFinished();
        ASSERT_GT(QFileInfo(file + "-journal").size(), 0);
    }
    QStringList files(const QString &rel) {
        QStringList out;
        const QString root = path(rel);
        for (const auto &e : std::filesystem::recursive_directory_iterator(root.toStdString()))
            if (e.is_regular_file()) out << QString::fromStdString(e.path().string()).mid(root.size());
        out.sort();
        return out;
    }
    void shiftTime(const QString &rel, int seconds) {
        const auto p = std::filesystem::path(path(rel).toStdString());
        std::filesystem::last_write_time(p, std::filesystem::last_write_time(p) + std::chrono::seconds(seconds));
    }
    SyncOutcome run(const char *from, const char *to, const SyncHooks &hooks = {}) {
        return RunSync(c, SyncDirection{from, to, false}, hooks);
    }
    MaintainerConfig c;
    FakeMachine machine;
    RecordingView view;
};

const char *Lap = "lap/Cloud/Documents/Dances/";

} // namespace

TEST(FolderScan, ExclusionsAndTheDepthLimit) {
    struct Row {
        const char *name;
        bool file, folder;
    } rows[] = {{"a.txt", false, false},      {"x.bak", true, false},     {"x.Gid", true, false},
                {"x.DCU", true, false},       {"x.ldb", true, false},     {"x.suo", true, false},
                {"x~1.doc", true, false},     {"log.txt", true, false},   {"Thumbs.db", true, false},
                {"photothumb.db", true, false}, {"EReport.Txt", true, false}, {".git", false, true},
                {"aspnet_client", false, true}, {"Site", false, false},   {"x.bakery", false, false}};
    for (const Row &r : rows) {
        EXPECT_EQ(ExcludedFile(r.name), r.file) << r.name;
        EXPECT_EQ(ExcludedFolder(r.name), r.folder) << r.name;
    }
    QTemporaryDir dir;
    QString rel;
    for (int level = 1; level <= 17; ++level) {
        WriteFileBytes(dir.path() + "/" + rel + "f.txt", "x");
        rel += QString("L%1/").arg(level);
    }
    QStringList errors;
    FolderScan scan;
    const ScanResult r = scan.scan(dir.path() + "/", [&errors](const QString &e) { errors << e; });
    EXPECT_EQ(r.files.size(), 16);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Error - too many directory levels:"));
    EXPECT_TRUE(r.underUnread(rel.chopped(1) + "/f.txt"));
}

TEST_F(SyncTest, CopiesOnlyNewOrChangedFilesKeepingTheirTimes) {
    const SyncOutcome first = run("main PC", "lap-top");
    EXPECT_EQ(first.copied, 2);
    EXPECT_EQ(files(Lap), QStringList({"a.txt", "sub/b.txt"}));
    EXPECT_EQ(QFileInfo(path(Lap) + "a.txt").lastModified(),
              QFileInfo(path("main/Documents/Dances/a.txt")).lastModified());
    EXPECT_TRUE(QFileInfo::exists(path("lap/Quillary.mdb")));
    EXPECT_EQ(run("main PC", "lap-top").copied, 0);
    shiftTime(QString(Lap) + "a.txt", 2); // FAT's two seconds are no change
    EXPECT_EQ(run("main PC", "lap-top").copied, 0);
    shiftTime("main/Documents/Dances/a.txt", 5); // newer on the source
    EXPECT_EQ(run("main PC", "lap-top").copied, 1);
    write("main/Documents/Dances/a.txt", "aaaa"); // a new size, newer still
    shiftTime("main/Documents/Dances/a.txt", 10);
    EXPECT_EQ(run("main PC", "lap-top").copied, 1);
    EXPECT_EQ(ReadFileBytes(path(Lap) + "a.txt"), "aaaa");
    EXPECT_EQ(ReadFileBytes(path(Lap) + "a.txt.bak"), "aaa") << "the replaced copy is kept";
    // Back the other way, and onto the stick found by its label (main PC's layout).
    EXPECT_EQ(run("lap-top", "USB stick").copied, 2);
    EXPECT_EQ(files("stick/Sync/Documents/Dances/"), QStringList({"a.txt", "sub/b.txt"}));
    machine.stick.clear();
    EXPECT_THROW(run("main PC", "USB stick"), SilentAbort);
    EXPECT_TRUE(answerer->sawText("VELLAM not found."));
}

TEST_F(SyncTest, NonMatchingFilesYesNoViewAndCancel) {
    RecordingOpener opener;
    for (const char *f : {"x1.txt", "x2.txt", "x3.txt", "x4.txt", "x5.txt"}) write(QString(Lap) + f, "x");
    answerer->script(ResultNo);     // not all without asking
    answerer->script(ResultYes);    // x1
    answerer->script(ResultNo);     // x2
    answerer->script(ResultCancel); // x3: View
    answerer->script(ResultYes);    //     then Yes
    answerer->script(ResultCancel); // x4: View
    answerer->script(ResultCancel); //     then Cancel: the run ends
    const SyncOutcome out = run("main PC", "lap-top");
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.deleted, 2);
    EXPECT_EQ(files(Lap), QStringList({"a.txt", "sub/b.txt", "x2.txt", "x4.txt", "x5.txt"}));
    ASSERT_EQ(opener.opened.size(), 2);
    EXPECT_TRUE(opener.opened[1].endsWith("x4.txt"));
    EXPECT_TRUE(answerer->sawText("Delete all such non-matching files on lap-top without asking?"));
    EXPECT_EQ(answerer->pending(), 0);
}

TEST_F(SyncTest, AnUnreadFolderOrACancelDeletesNothing) {
    write(QString(Lap) + "sub/only-here.txt", "x");
    write(QString(Lap) + "top.txt", "x");
    FaultyScan scan;
    scan.failing = "main/Documents/Dances/sub";
    SyncHooks hooks;
    hooks.scanner = &scan;
    answerer->script(ResultYes); // delete all such without asking: only top.txt is such
    const SyncOutcome out = run("main PC", "lap-top", hooks);
    EXPECT_EQ(out.deleted, 1);
    EXPECT_GE(out.errors, 1);
    EXPECT_TRUE(QFileInfo::exists(path(Lap) + "sub/only-here.txt"));
    EXPECT_FALSE(QFileInfo::exists(path(Lap) + "top.txt"));
    // Cancel while the source is scanned: nothing is offered or deleted.
    write(QString(Lap) + "top.txt", "x");
    FaultyScan cancelling;
    cancelling.cancelAt = "main/Documents/Dances/sub";
    hooks.scanner = &cancelling;
    EXPECT_TRUE(run("main PC", "lap-top", hooks).cancelled);
    EXPECT_TRUE(QFileInfo::exists(path(Lap) + "top.txt"));
}

TEST_F(SyncTest, TheOpenDatabaseIsReplacedWholeAndTheMailClientRefused) {
    Database open;
    {
        Database lap;
        lap.create(path("lap/Quillary.mdb"));
    }
    shiftTime("lap/Quillary.mdb", -60); // older than the main PC's
    open.open(path("lap/Quillary.mdb"));
    QStringList calls;
    SyncHooks hooks;
    hooks.openDatabase = QFileInfo(path("lap/Quillary.mdb")).canonicalFilePath();
    hooks.closeTables = [&] { calls << "close", open.close(); };
    hooks.openTables = [&] { calls << "open", open.open(path("lap/Quillary.mdb")); };
    run("main PC", "lap-top", hooks);
    EXPECT_EQ(calls, QStringList({"close", "open"}));
    Statement check(open.handle(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.columnText(0), "ok");
    Statement count(open.handle(), "Select Title from Dances");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.columnText(0), "Reel");
    EXPECT_TRUE(view.lines.contains("Quillary.MDB copied from main PC to lap-top"));
    EXPECT_TRUE(QFileInfo(path("lap/Quillary.mdb.bak")).isFile());
    machine.mailRunning = true;
    EXPECT_THROW(run("main PC", "lap-top"), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Please close Thunderbird and try again."));
}

namespace {

// Every file under a folder with its bytes, links not followed.
QMap<QString, QByteArray> Snapshot(const QString &root) {
    QMap<QString, QByteArray> out;
    if (!QFileInfo::exists(root)) return out;
    for (const auto &e : std::filesystem::recursive_directory_iterator(root.toStdString())) {
        const QString p = QString::fromStdString(e.path().string());
        if (e.is_symlink()) out.insert(p, "link");
        else if (e.is_regular_file()) out.insert(p, ReadFileBytes(p));
    }
    return out;
}

} // namespace

// Links on either side are passed over and reported: nothing outside the two
// trees is read into them, written or deleted, and the links stay links.
TEST_F(SyncTest, LinksAreNeverFollowed) {
    const QString outside = path("outside/");
    WriteFileBytes(outside + "precious.txt", "precious");
    WriteFileBytes(outside + "sub/b.txt", "outside b");
    WriteFileBytes(outside + "secret/key.txt", "secret");
    const QString from = path("main/Documents/Dances/"), to = path(Lap);
    QDir().mkpath(to);
    write(QString(Lap) + "orphan.txt", "x"); // so the delete-all question comes
    write("main/Documents/Dances/line\nbreak.txt", "lines");
    struct Row {
        const char *name;
        QString link, target; // the link made and where it points
        const char *reported; // the progress line: ending in a blank, the link follows
    } rows[] = {
        {"target folder links outside", to + "linked", outside, "Passed over the link "},
        {"target subfolder is a link", to + "sub", outside + "sub", "Not copied through a link: sub/b.txt"},
        {"target file is a link", to + "a.txt", outside + "precious.txt", "Not copied through a link: a.txt"},
        {"temporary in the target is a link", to + "~a.txt.part", outside + "precious.txt", "Passed over the link "},
        {"source folder links outside", from + "secret", outside + "secret", "Passed over the link "},
        {"source file links outside", from + "precious.txt", outside + "precious.txt", "Passed over the link "},
    };
    for (const Row &r : rows) ASSERT_TRUE(QFile::link(r.target, r.link)) << r.name;
    // The temporary web folder emptied on request is a link, too.
    c.TempWebFolder = "web/";
    ASSERT_TRUE(QFile::link(outside, path("main/web")));
    const QMap<QString, QByteArray> before = Snapshot(outside);
    answerer->script(ResultYes); // empty the web folder first
    answerer->script(ResultOK);  // it is a link: nothing deleted
    answerer->script(ResultYes); // delete all such without asking
    const SyncOutcome out = RunSync(c, SyncDirection{"main PC", "lap-top", true}, {});
    EXPECT_TRUE(answerer->sawText(path("main/web/") + " is a link: nothing was deleted from it."));
    EXPECT_EQ(Snapshot(outside), before);
    EXPECT_EQ(out.deleted, 1);
    EXPECT_TRUE(answerer->sawText(to + "orphan.txt\nDelete all such non-matching files on lap-top without asking?"));
    for (const Row &r : rows) {
        if (r.link.startsWith(to)) {
            EXPECT_TRUE(QFileInfo(r.link).isSymLink()) << r.name;
        }
        const QString line = r.reported + (QString(r.reported).endsWith(' ') ? r.link : QString());
        EXPECT_TRUE(view.lines.contains(line)) << r.name << ": " << line.toStdString();
    }
    // Neither the source's links nor what they point at were copied; a name
    // holding a line break is copied as it stands.
    QStringList copied;
    for (const auto &[file, bytes] : Snapshot(to).asKeyValueRange())
        if (bytes != "link") copied << file.mid(to.size());
    EXPECT_EQ(copied, QStringList({"line\nbreak.txt"}));
    EXPECT_FALSE(QFileInfo::exists(to + "secret"));
    EXPECT_FALSE(QFileInfo::exists(to + "precious.txt"));
}

// Data newer on the target is listed and kept unless the user agrees; when
// replaced, the newer copy stays beside it as ".bak".
TEST_F(SyncTest, NewerDataOnTheTargetIsAskedForAndKept) {
    run("main PC", "lap-top");
    write(QString(Lap) + "a.txt", "edited on the lap-top");
    shiftTime(QString(Lap) + "a.txt", 60);
    {
        Database lap;
        lap.open(path("lap/Quillary.mdb"));
        for (const char *title : {"Jig", "Hornpipe", "Polka", "Waltz"}) lap.insertRow("Dances", {{"Title", title}});
    }
    shiftTime("lap/Quillary.mdb", 60);
    const QByteArray lapDatabase = ReadFileBytes(path("lap/Quillary.mdb"));
    answerer->script(ResultNo); // the database
    answerer->script(ResultNo); // the files
    EXPECT_EQ(run("main PC", "lap-top").copied, 0);
    EXPECT_EQ(ReadFileBytes(path(Lap) + "a.txt"), "edited on the lap-top");
    EXPECT_EQ(ReadFileBytes(path("lap/Quillary.mdb")), lapDatabase);
    EXPECT_TRUE(view.lines.contains("Newer on lap-top: a.txt"));
    EXPECT_FALSE(view.lines.contains("Copied a.txt"));
    EXPECT_TRUE(answerer->sawText("Quillary.MDB on lap-top is newer than on main PC.\nReplace it with the older copy? "
                                  "The newer one is kept as Quillary.mdb.bak."));
    answerer->script(ResultYes);
    answerer->script(ResultYes);
    EXPECT_EQ(run("main PC", "lap-top").copied, 1);
    EXPECT_EQ(ReadFileBytes(path(Lap) + "a.txt"), "aaa");
    EXPECT_EQ(ReadFileBytes(path(Lap) + "a.txt.bak"), "edited on the lap-top");
    // The kept copy is made through SQLite: the same dances, not the same bytes.
    EXPECT_EQ(Catalogue(path("lap/Quillary.mdb.bak")), QStringList({"ok", "Hornpipe", "Jig", "Polka", "Reel", "Waltz"}));
    Database lap;
    lap.open(path("lap/Quillary.mdb"));
    Statement count(lap.handle(), "Select count(*) from Dances");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.columnText(0), "1");
    EXPECT_EQ(answerer->pending(), 0);
}

// A killed copy's temporaries go at the next copy (in either place, and in
// the target's tree); other names holding "~" or ".part" stay.
TEST_F(SyncTest, LeftoverTemporariesGoAtTheNextCopy) {
    run("main PC", "lap-top");
    const struct {
        const char *file;
        bool removed;
    } rows[] = {
        {"lap/~Quillary.mdb.part", true},
        {"lap/~Quillary.mdb.part-journal", true},
        {"main/~quillary.MDB.part", true},
        {"lap/Cloud/Documents/Dances/sub/~b.txt.part", true},
        {"lap/~Other.mdb.part", false},
        {"lap/Quillary.mdb.part", false},
        {"lap/Cloud/Documents/Dances/~lock.doc", false},
        {"lap/~Quillary.mdb.bak.part", true},
        {"lap/~qcopy7.part", true},
        {"lap/~qcopy7.part-journal", true},
        {"lap/Cloud/Documents/Dances/~qcopy1.part", true},
        {"lap/~qcopy.part", false},
    };
    for (const auto &r : rows) write(r.file, "left over");
    run("main PC", "lap-top");
    for (const auto &r : rows) EXPECT_NE(QFileInfo::exists(path(r.file)), r.removed) << r.file;
}

// A link at a working folder or above it, or a folder swapped for one while
// a question is up, stops that folder with a line naming the link: nothing
// outside the places is written, deleted or read into them.
TEST_F(SyncTest, HostileLayoutsTouchNothingOutside) {
    const QString outside = path("outside/");
    const QString lapFolder = path("lap/Cloud/Documents/Dances"), mainFolder = path("main/Documents/Dances");
    const QString stopped = " is a link: the copy of Documents/Dances/ stopped there.";
    struct Row {
        const char *name;
        std::function<void()> arrange; // before the run
        QString when;                  // the question during which...
        std::function<void()> swap;    // ...a folder is swapped for a link
        QList<int> answers;
        QString web;      // the web folder emptied on request
        QString expected; // a progress line or message naming the link
    } rows[] = {
        {"the lap-top's working folder is a link",
         [&] {
             write("outside/Dances/a.txt", "outside a");
             write("outside/Dances/own.txt", "own");
             QDir().mkpath(path("lap/Cloud/Documents"));
             ASSERT_TRUE(QFile::link(outside + "Dances", lapFolder));
         },
         "", {}, {}, "", lapFolder + stopped},
        {"a folder above it is a link",
         [&] {
             write("outside/Documents/Dances/a.txt", "outside a");
             write("outside/Documents/Dances/own.txt", "own");
             ASSERT_TRUE(QFile::link(outside + "Documents", path("lap/Cloud/Documents")));
         },
         "", {}, {}, "", path("lap/Cloud/Documents") + stopped},
        {"the main PC's working folder is a link",
         [&] {
             write("outside/secret/key.txt", "secret");
             std::filesystem::remove_all(mainFolder.toStdString());
             ASSERT_TRUE(QFile::link(outside + "secret", mainFolder));
         },
         "", {}, {}, "", mainFolder + stopped},
        {"the web folder's parent is a link",
         [&] {
             write("outside/site/web/precious.txt", "precious");
             ASSERT_TRUE(QFile::link(outside + "site", path("main/site")));
         },
         "", {}, {ResultYes}, "site/web/",
         path("main/site") + " is a link: nothing was deleted from " + path("main/site/web/") + "."},
        {"the web folder is swapped while asked whether to empty it", [&] { write("main/web/page.htm", "page"); },
         "Delete all files from folders before copying?", [&] { SwapForLink(path("main/web"), outside + "web"); },
         {ResultYes}, "web/", path("main/web/") + " is a link: nothing was deleted from it."},
        {"the working folder is swapped while asked about deleting",
         [&] {
             run("main PC", "lap-top");
             write(QString(Lap) + "own.txt", "own");
         },
         "without asking?", [&] { SwapForLink(lapFolder, outside + "swapped"); }, {ResultYes}, "",
         "Not deleted: own.txt\r" + lapFolder + stopped},
        {"a subfolder is swapped while asked about newer files",
         [&] {
             run("main PC", "lap-top");
             write(QString(Lap) + "sub/b.txt", "edited on the lap-top");
             shiftTime(QString(Lap) + "sub/b.txt", 60);
         },
         "are newer on lap-top", [&] { SwapForLink(lapFolder + "/sub", outside + "sub"); }, {ResultYes}, "",
         "ERROR - could not copy sub/b.txt  \r" + lapFolder + "/sub" + stopped},
        {"the database is swapped for a link while asked",
         [&] {
             run("main PC", "lap-top");
             Database lap;
             lap.open(path("lap/Quillary.mdb"));
             lap.insertRow("Dances", {{"Title", "Jig"}});
             lap.close();
             shiftTime("lap/Quillary.mdb", 60);
         },
         "Replace it with the older copy?",
         [&] {
             QDir().mkpath(outside);
             ASSERT_TRUE(QFile::rename(path("lap/Quillary.mdb"), outside + "Quillary.mdb"));
             ASSERT_TRUE(QFile::link(outside + "Quillary.mdb", path("lap/Quillary.mdb")));
         },
         {ResultYes}, "", "Unable to copy database.\r" + path("lap/Quillary.mdb") + " is a link: it was not followed."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        for (const char *place : {"lap", "outside", "main/site", "main/web"})
            std::filesystem::remove_all(path(place).toStdString());
        std::filesystem::remove_all(mainFolder.toStdString());
        write("main/Documents/Dances/a.txt", "aaa");
        write("main/Documents/Dances/sub/b.txt", "bbb");
        QDir().mkpath(path("lap/Cloud"));
        r.arrange();
        QMap<QString, QByteArray> expected = Snapshot(path("outside"));
        ActWhenAsked swapper(r.when, [&] {
            r.swap();
            expected = Snapshot(path("outside"));
        });
        answerer->clear();
        for (int answer : r.answers) answerer->script(answer);
        c.TempWebFolder = r.web;
        RunSync(c, SyncDirection{"main PC", "lap-top", !r.web.isEmpty()}, {});
        EXPECT_EQ(Snapshot(path("outside")), expected);
        EXPECT_TRUE(sawLine(r.expected) || answerer->sawText(QString(r.expected).replace('\r', '\n')))
            << r.expected.toStdString() << "\n" << view.lines.join('\n').toStdString();
        EXPECT_EQ(answerer->pending(), 0);
        EXPECT_FALSE(QFileInfo::exists(path(Lap) + "key.txt")) << "nothing outside is read into the places";
    }
}

// A change the lap-top's program left half-done is rolled back before the
// database is kept as ".bak" and replaced: both files are whole, the copy
// holds the main PC's dances and the ".bak" the lap-top's committed ones. A
// source with a change left half-done is not read.
TEST_F(SyncTest, AChangeLeftHalfDoneIsRolledBackFirst) {
    {
        Database lap;
        lap.create(path("lap/Quillary.mdb"));
        for (const char *title : {"Jig", "Hornpipe", "Polka"}) lap.insertRow("Dances", {{"Title", title}});
    }
    leaveHalfDone(path("lap/Quillary.mdb"));
    shiftTime("lap/Quillary.mdb", -60);
    run("main PC", "lap-top");
    EXPECT_TRUE(sawLine("Quillary.MDB copied from main PC to lap-top")) << view.lines.join('\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("lap/Quillary.mdb-journal")));
    EXPECT_EQ(Catalogue(path("lap/Quillary.mdb")), QStringList({"ok", "Reel"}));
    EXPECT_EQ(Catalogue(path("lap/Quillary.mdb.bak")), QStringList({"ok", "Hornpipe", "Jig", "Polka"}));
    leaveHalfDone(path("main/Quillary.mdb"));
    shiftTime("main/Quillary.mdb", 120);
    run("main PC", "lap-top");
    EXPECT_TRUE(sawLine(path("main/Quillary.mdb") + "-journal holds a change left half-done"));
    EXPECT_EQ(Catalogue(path("lap/Quillary.mdb")), QStringList({"ok", "Reel"}));
    EXPECT_TRUE(QFileInfo::exists(path("main/Quillary.mdb-journal"))) << "the source is only read";
}

// Names as long as a folder takes are copied, and replaced keeping a ".bak"
// whose name is cut to fit; no temporary is left behind.
TEST_F(SyncTest, TheLongestNamesAreCopied) {
    const QString name = QString(125, QChar(0xE9)) + ".txt"; // 254 bytes
    ASSERT_EQ(QFile::encodeName(name).size(), 254);
    write("main/Documents/Dances/" + name, "first");
    EXPECT_EQ(run("main PC", "lap-top").copied, 3);
    EXPECT_EQ(ReadFileBytes(path(Lap) + name), "first");
    write("main/Documents/Dances/" + name, "second");
    shiftTime("main/Documents/Dances/" + name, 10);
    EXPECT_EQ(run("main PC", "lap-top").copied, 1);
    EXPECT_EQ(ReadFileBytes(path(Lap) + name), "second");
    const QString bak = QString(125, QChar(0xE9)) + "..bak"; // cut to 255 bytes
    EXPECT_EQ(ReadFileBytes(path(Lap) + bak), "first");
    EXPECT_EQ(QDir(path(Lap)).entryList({"~*"}, QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(ProgressErrorCount, 0);
}
