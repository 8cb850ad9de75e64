#include "base/AppState.h"
#include "core/startup/Settings.h"
#include "core/startup/SettingsChoice.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <stdexcept>
#include <unistd.h>

namespace {

class SettingsTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        savedProgramFolder = ProgramFolder;
    }
    void TearDown() override {
        TIniFile::SetSaveFunction({});
        ProgramFolder = savedProgramFolder;
        QuillaryTest::TearDown();
    }
    QString savedProgramFolder;
};

} // namespace

TEST_F(SettingsTest, ChoiceOfSettingsFile) {
    struct Case {
        const char *name;
        QList<QPair<QString, QByteArray>> files; // name and content
        bool found, nonStandard;
        QString ini;  // file name of the settings file used
        QString twin; // twin's name in the warning
        QString database;
    };
    const QList<Case> cases = {
        {"standard name in another case", {{"QUILLARY.INI", "[System]\r\nDBName=quillary.MDB\r\n"}},
         true, false, "QUILLARY.INI", "", "quillary.MDB"},
        {"twin in another case",
         {{"Quillary.ini", "[System]\r\nDBName=Other.mdb\r\n"}, {"other.INI", ""}},
         true, true, "other.INI", "other.INI", "Other.mdb"},
        {"no twin keeps the standard file", {{"Quillary.ini", "[System]\r\nDBName=Other.mdb\r\n"}},
         true, true, "Quillary.ini", "", "Other.mdb"},
        {"full path: the twin is its file name in the folder",
         {{"Quillary.ini", "[System]\r\nDBName=C:\\Data\\Club.v2.mdb\r\n"}, {"Club.v2.Ini", ""}},
         true, true, "Club.v2.Ini", "Club.v2.Ini", "C:\\Data\\Club.v2.mdb"},
        {"absolute path",
         {{"Quillary.ini", "[System]\r\nDBName=/srv/cat/Club.mdb\r\n"}, {"Club.ini", ""}},
         true, true, "Club.ini", "Club.ini", "/srv/cat/Club.mdb"},
        {"no settings file", {{"Quillary.mdb", ""}}, false, false, "Quillary.ini", "", "Quillary.mdb"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString dir = path(QString::fromLatin1(c.name).replace(' ', '_') + "/");
        QDir().mkpath(dir);
        for (const auto &f : c.files)
            WriteFileBytes(dir + f.first, f.second);
        const SettingsChoice choice = ChooseSettingsFile(dir);
        EXPECT_EQ(choice.found, c.found);
        EXPECT_EQ(choice.nonStandard, c.nonStandard);
        EXPECT_EQ(choice.iniPath, dir + c.ini);
        EXPECT_EQ(choice.twinName, c.twin);
        EXPECT_EQ(choice.databaseName, c.database);
    }
}

TEST_F(SettingsTest, OpeningAnotherDatabasesSettings) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Other.mdb\r\n");
    WriteFileBytes(path("other.INI"), "[System]\r\nDOrder=TSF\r\n");
    AuthorMode = true;
    ASSERT_TRUE(OpenSettingsFile());
    EXPECT_FALSE(AuthorMode);
    EXPECT_TRUE(NonStandardDB);
    EXPECT_EQ(DatabaseName, "Other.mdb");
    EXPECT_EQ(IniFile->FileName(), path("other.INI"));
    EXPECT_EQ(SettingText("System", "DOrder"), "TSF");
    EXPECT_EQ(answerer->texts(), QStringList({"Warning:  You are using database Other.mdb\nwith "
                                              "Ini file other.INI\nrather than Quillary.mdb"}));
}

TEST_F(SettingsTest, WarningWithoutTwinAndStandardRunsQuietly) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Other.mdb\r\n");
    ASSERT_TRUE(OpenSettingsFile());
    EXPECT_EQ(
        answerer->texts(),
        QStringList({"Warning:  You are using database Other.mdb\nrather than Quillary.mdb"}));
    answerer->clear();
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=QUILLARY.mdb\r\n");
    AuthorMode = true;
    ASSERT_TRUE(OpenSettingsFile());
    EXPECT_FALSE(NonStandardDB);
    EXPECT_TRUE(AuthorMode);
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(SettingsTest, DatabasePathRules) {
    WriteFileBytes(path("quillary.MDB"), "");
    struct Case {
        QString name, expected;
    };
    const QList<Case> cases = {
        {"Quillary.mdb", path("quillary.MDB")},
        {"/srv/cat/Club.mdb", "/srv/cat/Club.mdb"},
        {"C:\\Data\\Club.mdb", "C:/Data/Club.mdb"},
        {"..\\Other\\Club.mdb", path("../Other/Club.mdb")},
    };
    for (const Case &c : cases) {
        DatabaseName = c.name;
        EXPECT_EQ(DatabasePath(), c.expected) << c.name.toStdString();
    }
}

// A stored value that is no number gives the default, as a missing one does.
TEST_F(SettingsTest, BadNumbersFallBackToTheDefault) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBSize=3000000000\r\n[User]\r\nInterval=soon\r\n");
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    EXPECT_EQ(SettingInt64("System", "DBSize"), 3000000000LL);
    EXPECT_EQ(SettingInteger("User", "Interval"), 30);
    EXPECT_EQ(SettingText("system", "delim"), QStringLiteral("·"));
}

TEST_F(SettingsTest, OptionMarksStoredByName) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nWarn=0\r\nToFit=1\r\n");
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    LoadMenuOptions();
    EXPECT_FALSE(OptionChecked("Warn"));
    EXPECT_TRUE(OptionChecked("ToFit"));
    EXPECT_TRUE(OptionChecked("ShowRules"));
    EXPECT_FALSE(OptionChecked("NumLock"));
    EXPECT_TRUE(SaveChecked("NumLock"));
    EXPECT_TRUE(SaveChecked("Warn"));
    EXPECT_EQ(ReadFileBytes(path("Quillary.ini")),
              QByteArray("[System]\r\nWarn=1\r\nToFit=1\r\nNumLock=1\r\n"));
    EXPECT_FALSE(SaveChecked("numlock"));
    EXPECT_EQ(IniFile->ReadString("System", "NumLock", ""), "0");
    // A failed write leaves the mark as it was.
    TIniFile::SetSaveFunction(
        [](const QString &, const QByteArray &) { throw std::runtime_error("no"); });
    EXPECT_THROW(SaveChecked("Gender"), std::runtime_error);
    EXPECT_FALSE(OptionChecked("Gender"));
}

TEST_F(SettingsTest, TolbrookChoiceFromSetting) {
    struct Case {
        const char *stored;
        int index;
        QString caption;
        bool shown;
    };
    const QList<Case> cases = {
        {"0", 0, "Tolbrook (hide)", false},
        {"7", 2, "Tolbrook (both)", true},
        {nullptr, 1, "Tolbrook (only)", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        WriteFileBytes(path("Quillary.ini"),
                       c.stored ? QByteArray("[System]\r\nShowTolbrook=") + c.stored + "\r\n"
                                : QByteArray());
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        const TolbrookChoice t = LoadTolbrook();
        EXPECT_EQ(t.index, c.index);
        EXPECT_EQ(t.caption, c.caption);
        EXPECT_EQ(t.showBox, c.shown);
        EXPECT_EQ(IniFile->ReadInteger("System", "ShowTolbrook", -1), c.index);
    }
}

// The program folder cannot be written: the private folder takes over.
class PrivateFolderTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ProgramFolder = path("prog/");
        WriteFileBytes(ProgramFolder + "Quillary.ini", iniBytes);
        WriteFileBytes(ProgramFolder + "Quillary.mdb", "database bytes");
        const QString prog = ProgramFolder;
        TIniFile::SetSaveFunction([prog](const QString &p, const QByteArray &bytes) {
            if (p.startsWith(prog))
                throw std::runtime_error(("Cannot write file " + p).toStdString());
            WriteBytesFile(p, bytes);
        });
    }
    // One start up to the probe.
    bool start() {
        DataFolder = ProgramFolder;
        if (!OpenSettingsFile()) return false;
        return CheckDataFolder(docs());
    }
    QString docs() const { return path("docs"); }
    QString priv() const { return path("docs/Quillary/"); }
    QByteArray iniBytes = "[System]\r\nDBName=Quillary.mdb\r\n";
};

TEST_F(PrivateFolderTest, YesCopiesBothFilesAndRunsThere) {
    WriteFileBytes(priv() + "Quillary.ini", "stale");
    answerer->script(ResultYes);
    ASSERT_TRUE(start());
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].kind, BoxKind::YesNoHelp);
    EXPECT_EQ(answerer->boxes[0].text,
              ProgramFolder + "\nCannot write to folder.\nCopy to private area for this user?");
    EXPECT_EQ(answerer->boxes[0].helpContext, 85300);
    EXPECT_EQ(DataFolder, priv());
    EXPECT_EQ(PrivateFolder, priv());
    EXPECT_EQ(ReadFileBytes(priv() + "Quillary.mdb"), QByteArray("database bytes"));
    EXPECT_EQ(ReadFileBytes(priv() + "Quillary.ini"), iniBytes);
    EXPECT_EQ(IniFile->FileName(), priv() + "Quillary.ini");
    EXPECT_EQ(QDir::currentPath() + '/', priv());
    EXPECT_EQ(RTFFile, priv() + "$$This.RTF");
    IniFile->WriteString("System", "Version", "6.103"); // the private copy can be written
    EXPECT_TRUE(ReadFileBytes(priv() + "Quillary.ini").contains("Version=6.103"));
    EXPECT_EQ(ReadFileBytes(ProgramFolder + "Quillary.ini"), iniBytes);

    // The next start finds the private copy and does not ask again.
    answerer->clear();
    ResetSettingsState();
    ASSERT_TRUE(start());
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(DataFolder, priv());
    EXPECT_EQ(SettingText("System", "Version"), "6.103");
}

TEST_F(PrivateFolderTest, NoEndsTheRun) {
    answerer->script(ResultNo);
    EXPECT_FALSE(start());
    EXPECT_EQ(answerer->boxes.size(), 1);
    EXPECT_FALSE(QFile::exists(priv() + "Quillary.mdb"));
}

TEST_F(PrivateFolderTest, NoDocumentsFolder) {
    DataFolder = ProgramFolder;
    ASSERT_TRUE(OpenSettingsFile());
    answerer->script(ResultOK);
    EXPECT_FALSE(CheckDataFolder(QString()));
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, "Cannot access private area.");
    EXPECT_EQ(answerer->boxes[0].helpContext, 85300);
}

TEST_F(PrivateFolderTest, AnotherDatabaseFallsBackToTheStandardOne) {
    iniBytes = "[System]\r\nDBName=Club.mdb\r\n";
    WriteFileBytes(ProgramFolder + "Quillary.ini", iniBytes);
    WriteFileBytes(ProgramFolder + "Club.ini", "[System]\r\n");
    answerer->script(ResultOK); // the warning
    answerer->script(ResultYes);
    ASSERT_TRUE(start());
    EXPECT_EQ(DatabaseName, "Quillary.mdb");
    EXPECT_FALSE(NonStandardDB);
    EXPECT_EQ(DatabasePath(), priv() + "Quillary.mdb");
    EXPECT_FALSE(QFile::exists(priv() + "Club.ini"));
}

TEST_F(PrivateFolderTest, WritableFolderStaysAndProbeLeavesNoKey) {
    TIniFile::SetSaveFunction({});
    ASSERT_TRUE(start());
    EXPECT_EQ(DataFolder, ProgramFolder);
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(ReadFileBytes(ProgramFolder + "Quillary.ini"), iniBytes);
    EXPECT_EQ(ReadFileBytes(ProgramFolder + "Quillary.ini.bak"), iniBytes);
}

TEST_F(SettingsTest, DatabaseThatWillNotOpen) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Club.mdb\r\nDOrder=TSF\r\n");
    WriteFileBytes(path("Club.Ini"), "[System]\r\nDBName=Club.mdb\r\n");
    ASSERT_TRUE(OpenSettingsFile());
    answerer->clear();
    DatabaseOpenFailed("file is not a database");
    EXPECT_EQ(
        answerer->texts(),
        QStringList({"file is not a database\nCannot open Quillary database\n" + path("Club.mdb"),
                     "Switching to standard version.  Please restart the Quillary."}));
    EXPECT_EQ(ReadFileBytes(path("Quillary.ini")),
              QByteArray("[System]\r\nDBName=Quillary.mdb\r\nDOrder=TSF\r\n"));
    EXPECT_EQ(ReadFileBytes(path("Club.Ini")), QByteArray("[System]\r\nDBName=Club.mdb\r\n"));
    // The next start opens the standard database.
    ResetSettingsState();
    answerer->clear();
    ASSERT_TRUE(OpenSettingsFile());
    EXPECT_FALSE(NonStandardDB);
    EXPECT_EQ(DatabasePath(), path("Quillary.mdb"));
    EXPECT_TRUE(answerer->boxes.isEmpty());

    // The standard database failing changes nothing.
    DatabaseOpenFailed("disk I/O error");
    EXPECT_EQ(answerer->texts(), QStringList({"disk I/O error\nCannot open Quillary database\n" +
                                              path("Quillary.mdb")}));
}

TEST_F(SettingsTest, StartFoldersAndDataFolderPaths) {
    ProgramFolder = path("apps/quillary/");
    InitStartFolders();
    EXPECT_EQ(DataFolder, ProgramFolder);
    EXPECT_EQ(ProgramFilesFolder, path("apps/"));
    // The files to show and play are written where no other user can put a link.
    const QFileInfo temp(TempFolder);
    EXPECT_NE(TempFolder, QDir::tempPath() + '/');
    EXPECT_TRUE(temp.isDir() && temp.isWritable());
    EXPECT_EQ(temp.ownerId(), ::getuid());
    EXPECT_FALSE(temp.permissions() & (QFile::WriteGroup | QFile::WriteOther));
    WriteFileBytes(path("apps/Scrivlet/Scrivlet"), "#!/bin/sh\n");
    EXPECT_EQ(FindScrivlet(ProgramFilesFolder), QString()); // not executable
    QFile::setPermissions(path("apps/Scrivlet/Scrivlet"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(FindScrivlet(ProgramFilesFolder), path("apps/Scrivlet/Scrivlet"));
}
