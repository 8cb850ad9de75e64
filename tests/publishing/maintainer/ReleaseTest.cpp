#include "base/Dates.h"
#include "base/TextRoutines.h"
#include "core/startup/StartupRules.h"
#include "platform/sqlite/Database.h"
#include "publishing/maintainer/Release.h"
#include "TestSupport.h"

#include <QDir>

namespace {

const QChar Sep(0x00B7);

class ReleaseTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        prog = path("prog/");
        QDir().mkpath(prog + "Install");
        WriteFileBytes(prog + "quillary", "program bytes");
        c.ReleaseFilesFolder = path("files/");
        c.ReleaseFiles = {"ReadMe.Txt", "Licence.Txt", "History.Txt", "DBackup.Bat", "DRestore.Bat"};
        for (const QString &f : c.ReleaseFiles) WriteFileBytes(c.ReleaseFilesFolder + f, f.toUtf8());
        c.KeepList = path("CanKeep.Txt");
        WriteFileBytes(c.KeepList, "Kept Title\r\n");
        c.KeepAuthors = {"Cecil Sharp"};
        QDir().mkpath(path("work"));
        working.create(path("work/Quillary.mdb"));
        auto dance = [this](const char *title, const char *author, const char *collection, const char *text) {
            working.insertRow("Dances", {{"Title", title}, {"Author", author}, {"Collection", collection},
                                         {"Format", "Circle"}, {"Instructions", QString("{\\rtf1\\fs24 ") + text + "}"},
                                         {"Music", QString("Live band") + Sep + "Disc" + Sep + "3\r\n" + Sep + "x.mp3"}});
        };
        dance("Kept Title", "Ann", "", "Made 1990");
        dance("Lost", "Ann", "", "Made 1990");
        dance("Old", "Ann", "", "From 1820");
        dance("Own", "Ann", "KRAV", "Made 1990");
        dance("Listed", "Cecil Sharp", "", "Made 1990");
        auto event = [this](const QDate &date, const QString &programme) {
            working.insertRow("Events", {{"EDate", DateToDayNumber(date)}, {"Contact", "Joe"}, {"Phone", "0123"},
                                         {"Email", "joe@example.org"}, {"Fee", "100"}, {"Programme", programme}});
        };
        event(QDate(2026, 12, 5), Sep + QString("N|-") + Sep);
        event(QDate(2026, 12, 7), Sep + QString("N|-") + Sep);
        event(QDate(2026, 1, 1), Sep + QString("D|Reel|Square|American") + Sep + "N|Bring shoes" + Sep);
        working.execRaw("CREATE TABLE W (X TEXT)");
        working.execRaw("CREATE TABLE InstructionTexts (Plain TEXT)");
        in.programFolder = prog;
        in.programFile = prog + "quillary";
        in.recordings = {"Mark1=12"};
        in.today = QDate(2026, 12, 6);
        in.separator = Sep;
    }
    void TearDown() override {
        working.close();
        QuillaryTest::TearDown();
    }
    QStringList column(const QString &file, const QString &sql) {
        Database db;
        db.open(file);
        QStringList out;
        Statement s(db.handle(), sql);
        while (s.step()) out << s.columnText(0);
        return out;
    }
    QString prog;
    MaintainerConfig c;
    ReleaseInput in;
    Database working;
};

} // namespace

TEST_F(ReleaseTest, InstallGetsAStrippedCopyAndTheWorkingFileStays) {
    const QByteArray before = ReadFileBytes(path("work/Quillary.mdb"));
    const ReleaseOutcome out = MakeRelease(working, c, in);
    EXPECT_EQ(ReadFileBytes(path("work/Quillary.mdb")), before);
    EXPECT_EQ(out.instructionsRemoved, 1);
    const QString release = prog + "Install/Quillary.mdb";
    EXPECT_EQ(column(release, "Select Title from Dances where Instructions = '' order by Title"),
              QStringList({"Lost"}));
    EXPECT_EQ(column(release, "Select Instructions from Dances where Title = 'Old'"),
              QStringList({"{\\rtf1 From 1820}"}));
    EXPECT_EQ(column(release, "Select distinct Music from Dances"), QStringList({"Live band"}));
    EXPECT_EQ(column(release, "Select Programme || '/' || Contact || Phone || Email || Fee from Events order by EDate"),
              QStringList({Sep + QString("D|Reel|Square|American") + Sep + "/", "/"}));
    EXPECT_EQ(column(release, "Select count(*) from sqlite_master where name in ('W', 'InstructionTexts')"),
              QStringList({"0"}));
    EXPECT_EQ(column(path("work/Quillary.mdb"), "Select count(*) from Events where Contact = 'Joe'"),
              QStringList({"3"}));
    const QString ini = LoadTextFile(prog + "Install/Quillary.ini");
    for (const QString &line : {QString("DOrder=FST"), "Version=" + ProgramVersion, QString("Mark1=12"),
                                QString("Backup=DBackup.Bat"), QString("Restore=DRestore.Bat")})
        EXPECT_TRUE(ini.contains(line + "\r\n")) << line.toStdString();
    for (const QString &f : c.ReleaseFiles + QStringList{"quillary"})
        EXPECT_TRUE(QFileInfo::exists(prog + "Install/" + f)) << f.toStdString();
}

TEST_F(ReleaseTest, RefusalsAndFailuresLeaveEverythingAsItWas) {
    // A failure while the copy is made: the Install folder's copy stays.
    WriteFileBytes(prog + "Install/Quillary.mdb", "last release");
    QDir().mkpath(prog + "Install/~Quillary.mdb.part");
    EXPECT_THROW(MakeRelease(working, c, in), SilentAbort);
    EXPECT_TRUE(answerer->sawText("could not be made"));
    EXPECT_EQ(ReadFileBytes(prog + "Install/Quillary.mdb"), "last release");
    // The release database cannot be the working one.
    QDir(prog + "Install/~Quillary.mdb.part").removeRecursively();
    working.close();
    QFile::remove(prog + "Install/Quillary.mdb");
    QFile::copy(path("work/Quillary.mdb"), prog + "Install/Quillary.mdb");
    working.open(prog + "Install/Quillary.mdb");
    const QByteArray before = ReadFileBytes(prog + "Install/Quillary.mdb");
    EXPECT_THROW(MakeRelease(working, c, in), SilentAbort);
    EXPECT_TRUE(answerer->sawText("is the working database"));
    EXPECT_EQ(ReadFileBytes(prog + "Install/Quillary.mdb"), before);
    // No Install folder.
    QDir(prog + "Install").removeRecursively();
    EXPECT_THROW(MakeRelease(working, c, in), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Install folder does not exist!"));
}

// The temporaries of a killed release go when the release runs again, and at
// program start also those a killed copy left beside the database; nothing
// else goes.
TEST_F(ReleaseTest, LeftoverTemporariesGoAtTheNextStart) {
    const struct {
        const char *file;
        bool removed;
    } rows[] = {
        {"prog/Install/~quillary.part", true},
        {"prog/Install/~Quillary.mdb.part", true},
        {"prog/Install/~Quillary.mdb.part-journal", true},
        {"prog/Install/~ReadMe.Txt.part", true},
        {"prog/Install/notes~.txt", false},
        {"prog/Install/Setup.part", false},
        {"work/~Quillary.mdb.part", true},
        {"work/~Quillary.mdb.part-journal", true},
        {"work/~Other.txt.part", false},
        {"prog/~quillary.part", false},
        {"lap/~Quillary.mdb.part", true},
        {"lap/~notes.txt.part", false},
    };
    auto make = [&] {
        for (const auto &r : rows) WriteFileBytes(path(r.file), "left over");
    };
    make();
    c.Places = {{"lap-top", path("lap/"), false}, {"USB stick", "/Sync/", true}};
    RemoveMaintainerLeftovers(prog, path("work/Quillary.mdb"), &c);
    for (const auto &r : rows) EXPECT_NE(QFileInfo::exists(path(r.file)), r.removed) << "start: " << r.file;
    make();
    MakeRelease(working, c, in);
    for (const auto &r : rows)
        EXPECT_NE(QFileInfo::exists(path(r.file)), r.removed && QString(r.file).startsWith("prog/Install/"))
            << "release: " << r.file;
}
