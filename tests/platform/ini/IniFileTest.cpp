#include "platform/ini/IniFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <stdexcept>

namespace {

class IniFileTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        TIniFile::ResetBackups();
    }
    void TearDown() override {
        TIniFile::SetSaveFunction({});
        QuillaryTest::TearDown();
    }
    QString ini() const { return path(QStringLiteral("Quillary.ini")); }
};

QString errorOf(const std::function<void()> &f) {
    try {
        f();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

} // namespace

// Each case starts from a file, applies writes and compares the whole file.
TEST_F(IniFileTest, WritesKeepEverythingElse) {
    struct Case {
        const char *name;
        QByteArray before;
        std::function<void(TIniFile &)> act;
        QByteArray after;
    };
    const QList<Case> cases = {
        {"comments, blanks and spacing of untouched lines kept",
         "; head\r\n[A]\r\n  x = 1 \r\n\r\n; c\r\n[B]\r\ny=2\r\n",
         [](TIniFile &f) { f.WriteString("A", "z", "3"); },
         "; head\r\n[A]\r\n  x = 1 \r\nz=3\r\n\r\n; c\r\n[B]\r\ny=2\r\n"},
        {"rewrite keeps the file's spelling", "[Sys]\r\n DBName = old \r\n",
         [](TIniFile &f) { f.WriteString("SYS", "dbname", "new"); }, "[Sys]\r\nDBName=new\r\n"},
        {"names fold beyond ASCII", "[\xC4rger]\r\n\xE7\xE0=1\r\n",
         [](TIniFile &f) { f.WriteString(QStringLiteral("äRGER"), QStringLiteral("ÇÀ"), "2"); },
         "[\xC4rger]\r\n\xE7\xE0=2\r\n"},
        {"first of duplicate keys written", "[A]\r\nk=1\r\nK=2\r\n",
         [](TIniFile &f) { f.WriteString("a", "k", "3"); }, "[A]\r\nk=3\r\nK=2\r\n"},
        {"new section at the end after a blank line", "[A]\r\nk=1",
         [](TIniFile &f) { f.WriteString("B", "x", "1"); }, "[A]\r\nk=1\r\n\r\n[B]\r\nx=1\r\n"},
        {"LF file stays LF", "[A]\nk=1\n", [](TIniFile &f) { f.WriteString("A", "j", "2"); },
         "[A]\nk=1\nj=2\n"},
        {"mixed line ends kept, new line takes the first", "[A]\r\nk=1\n[B]\rb=1\r",
         [](TIniFile &f) {
             f.WriteString("B", "b", "2");
             f.WriteString("A", "n", "3");
         },
         "[A]\r\nk=1\nn=3\r\n[B]\rb=2\r"},
        {"new key of a keyless section goes under its header", "[A]\r\n; note\r\n[B]\r\n",
         [](TIniFile &f) { f.WriteString("A", "k", "1"); }, "[A]\r\nk=1\r\n; note\r\n[B]\r\n"},
        {"repeated header: new key at the end of the last block",
         "[A]\r\na=1\r\n[B]\r\n[a]\r\nb=2\r\n", [](TIniFile &f) { f.WriteString("A", "c", "3"); },
         "[A]\r\na=1\r\n[B]\r\n[a]\r\nb=2\r\nc=3\r\n"},
        {"delete removes every copy of the key, the section stays",
         "[A]\r\nk=1\r\nx=0\r\nK=2\r\n[B]\r\n",
         [](TIniFile &f) {
             f.DeleteKey("A", "k");
             f.DeleteKey("A", "x");
         },
         "[A]\r\n[B]\r\n"},
        {"erase takes the section up to the next header",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n\r\n[C]\r\nc=1\r\n",
         [](TIniFile &f) { f.EraseSection("b"); }, "[A]\r\na=1\r\n\r\n[C]\r\nc=1\r\n"},
        {"bytes B7, 80 and 81 round-trip", "[S]\r\nDelim=\xB7\r\nEuro=\x80\r\nOdd=\x81\r\n",
         [](TIniFile &f) { f.WriteString("S", "New", QStringLiteral("\u00B7x")); },
         "[S]\r\nDelim=\xB7\r\nEuro=\x80\r\nOdd=\x81\r\nNew=\xB7x\r\n"},
        {"UTF-8 file stays UTF-8 without BOM", "[S]\nDelim=\xC2\xB7\n",
         [](TIniFile &f) { f.WriteString("S", "x", QStringLiteral("é")); },
         "[S]\nDelim=\xC2\xB7\nx=\xC3\xA9\n"},
        {"Windows-1252 file given a character outside becomes UTF-8 with BOM", "[S]\r\nd=\xB7\r\n",
         [](TIniFile &f) { f.WriteString("S", "x", QStringLiteral("\u0416")); },
         "\xEF\xBB\xBF[S]\r\nd=\xC2\xB7\r\nx=\xD0\x96\r\n"},
        {"blanks around key and value dropped", "[S]\r\n",
         [](TIniFile &f) { f.WriteString(" S ", " k ", "  v w  "); }, "[S]\r\nk=v w\r\n"},
        {"no-break space at the end of a value kept", "[S]\r\nk=a\xA0\r\n",
         [](TIniFile &f) { f.WriteString("S", "k", f.ReadString("S", "k", "") + "b"); },
         "[S]\r\nk=a\xA0"
         "b\r\n"},
        {"a key starting with # is a key", "[R]\r\n#x=1\r\n",
         [](TIniFile &f) { f.WriteString("R", "#x", "2"); }, "[R]\r\n#x=2\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini());
        if (!c.before.isEmpty()) WriteFileBytes(ini(), c.before);
        TIniFile f(ini());
        c.act(f);
        EXPECT_EQ(ReadFileBytes(ini()), c.after);
        // A fresh reader of the written file agrees with the writer.
        TIniFile again(ini());
        EXPECT_EQ(again.ReadSections(), f.ReadSections());
        for (const QString &s : f.ReadSections())
            EXPECT_EQ(again.ReadSectionValues(s), f.ReadSectionValues(s));
    }
}

TEST_F(IniFileTest, StrayBytesOfAMarkedUtf8FileSurviveAWrite) {
    const QByteArray before("\xEF\xBB\xBF[User]\r\nName=Caf\xC3\xA9 \xFF\xFE x\r\n");
    WriteFileBytes(ini(), before);
    TIniFile(ini()).WriteString(QStringLiteral("User"), QStringLiteral("Town"), QStringLiteral("Ely"));
    EXPECT_EQ(ReadFileBytes(ini()), before + "Town=Ely\r\n");
}

TEST_F(IniFileTest, ReadsWithDefaults) {
    WriteFileBytes(
        ini(),
        "k=0\r\n[S]\r\nText = a b \r\nNum= 7 \r\nNeg=-3\r\nJunk=12a\r\nBig=99999999999\r\n"
        "One=1\r\nZero=0\r\nTwo=2\r\nWord=true\r\nEmpty=\r\n#h=x\r\n; c=1\r\nnoequals\r\n=v\r\n"
        "[T]\r\n");
    TIniFile f(ini());
    struct Case {
        const char *key;
        QString text;
        int integer;
        bool boolean;
    };
    // Defaults used: "def", 42 and true.
    const QList<Case> cases = {
        {"Text", "a b", 42, true},
        {"Num", "7", 7, true},
        {"Junk", "12a", 42, true},
        {"Big", "99999999999", 42, true},
        {"One", "1", 1, true},
        {"Zero", "0", 0, false},
        {"Word", "true", 42, true},
        {"Empty", "", 42, true},
        {"#h", "x", 42, true},
        {"missing", "def", 42, true},
        {"; c", "def", 42, true},
        {"noequals", "def", 42, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(f.ReadString("s", c.key, "def"), c.text);
        EXPECT_EQ(f.ReadInteger("S", c.key, 42), c.integer);
        EXPECT_EQ(f.ReadBool("S", c.key, true), c.boolean);
    }
    EXPECT_EQ(f.ReadInt64("S", "Big", 0), 99999999999LL);
    EXPECT_EQ(f.ReadString("", "k", "none"), "none"); // a key before any section belongs to none
    EXPECT_EQ(f.ReadSection("S"), QStringList({"Text", "Num", "Neg", "Junk", "Big", "One", "Zero",
                                               "Two", "Word", "Empty", "#h"}));
    EXPECT_EQ(f.ReadSections(), QStringList({"S", "T"}));
    EXPECT_TRUE(f.SectionExists("t"));
    EXPECT_TRUE(f.ReadSection("T").isEmpty());
    EXPECT_FALSE(f.SectionExists("U"));
    EXPECT_TRUE(f.ValueExists("S", "EMPTY"));
}

TEST_F(IniFileTest, DuplicatesAndSectionOrder) {
    WriteFileBytes(ini(), "[B]\r\nk=first\r\nk=second\r\n[a]\r\nx=1\r\n[b]\r\nk=third\r\nm=4\r\n");
    TIniFile f(ini());
    EXPECT_EQ(f.ReadString("b", "K", ""), "first");
    EXPECT_EQ(f.ReadSections(), QStringList({"B", "a"}));
    EXPECT_EQ(f.ReadSectionValues("B"), QStringList({"k=first", "m=4"}));
    f.DeleteKey("B", "x"); // missing key: nothing happens
    f.DeleteKey("B", "m");
    f.EraseSection("A");
    EXPECT_EQ(f.ReadSections(), QStringList({"B"}));
    EXPECT_EQ(ReadFileBytes(ini()), QByteArray("[B]\r\nk=first\r\nk=second\r\n[b]\r\nk=third\r\n"));
}

TEST_F(IniFileTest, RefusedNamesWriteNothing) {
    const QByteArray original = "[S]\r\na=1\r\n";
    WriteFileBytes(ini(), original);
    TIniFile f(ini());
    struct Case {
        const char *name;
        QString section, key, value, error;
    };
    const QList<Case> cases = {
        {"equals in key", "S", "a=b", "x",
         "Cannot store key \"a=b\" in the settings file: a key may not contain \"=\"."},
        {"blank key", "S", "  ", "x",
         "Cannot store key \"  \" in the settings file: a key may not be empty."},
        {"line break in key", "S", "a\rb", "x",
         "Cannot store key \"a\rb\" in the settings file: a key may not contain a line break."},
        {"key starting with [", "S", "[k", "x",
         "Cannot store key \"[k\" in the settings file: a key may not start with \"[\"."},
        {"key starting with ;", "S", ";k", "x",
         "Cannot store key \";k\" in the settings file: a key may not start with \";\"."},
        {"] in section", "a]b", "k", "x",
         "Cannot store section \"a]b\" in the settings file: a section name may not contain "
         "\"]\"."},
        {"line break in section", "a\nb", "k", "x",
         "Cannot store section \"a\nb\" in the settings file: a section name may not contain a "
         "line break."},
        {"line break in value", "S", "k", "x\r\n[T]",
         "Cannot store the value of key \"k\" in the settings file: a value may not contain a line "
         "break."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(errorOf([&] { f.WriteString(c.section, c.key, c.value); }), c.error);
        EXPECT_EQ(ReadFileBytes(ini()), original);
    }
    EXPECT_EQ(f.ReadSectionValues("S"), QStringList({"a=1"}));
    EXPECT_FALSE(QFile::exists(ini() + ".bak"));
}

TEST_F(IniFileTest, FailedWriteChangesNothing) {
    const QByteArray original = "[S]\r\na=1\r\n";
    WriteFileBytes(ini(), original);
    TIniFile f(ini());
    TIniFile::SetSaveFunction([](const QString &p, const QByteArray &) {
        if (!p.endsWith(".bak")) throw std::runtime_error(("Cannot write file " + p).toStdString());
    });
    EXPECT_EQ(errorOf([&] { f.WriteString("S", "a", "2"); }), "Cannot write file " + ini());
    EXPECT_EQ(errorOf([&] { f.DeleteKey("S", "a"); }), "Cannot write file " + ini());
    EXPECT_EQ(errorOf([&] { f.EraseSection("S"); }), "Cannot write file " + ini());
    EXPECT_EQ(ReadFileBytes(ini()), original);
    EXPECT_EQ(f.ReadString("S", "a", ""), "1");
    EXPECT_EQ(f.ReadSections(), QStringList({"S"}));
    // Once writing works again, the change lands.
    TIniFile::SetSaveFunction({});
    f.WriteString("S", "a", "3");
    EXPECT_EQ(ReadFileBytes(ini()), QByteArray("[S]\r\na=3\r\n"));
}

// Whatever the file holds, the program starts on what it can read: a write
// keeps every byte it did not change, and the backup is the file as found.
TEST_F(IniFileTest, HostileFilesKeepTheirBytes) {
    QByteArray noise;
    for (int i = 0; i < 600; ++i) noise += char((i * 7919) >> 2);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"random bytes", noise},
        {"cut mid-line", QByteArray("[System]\r\nDelim=\xB7\r\nDBNa")},
        {"UTF-16", QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0\x31\0\r\0\n\0", 22)},
    };
    for (const auto &c : cases) {
        TIniFile::ResetBackups();
        WriteFileBytes(ini(), c.bytes);
        TIniFile f(ini());
        f.WriteString("Added", "Key", "Value");
        EXPECT_TRUE(ReadFileBytes(ini()).startsWith(c.bytes)) << c.name;
        EXPECT_EQ(TIniFile(ini()).ReadString("Added", "Key", ""), QStringLiteral("Value")) << c.name;
        if (!c.bytes.isEmpty()) {
            EXPECT_EQ(ReadFileBytes(ini() + ".bak"), c.bytes) << c.name;
        }
    }
}

TEST_F(IniFileTest, BackupHoldsTheFileAsFound) {
    const QByteArray original = "[S]\r\na=1\r\n";
    WriteFileBytes(ini(), original);
    {
        TIniFile f(ini());
        EXPECT_FALSE(QFile::exists(ini() + ".bak"));
        f.WriteString("S", "b", "2");
        EXPECT_EQ(ReadFileBytes(ini() + ".bak"), original);
        f.WriteString("S", "c", "3");
        EXPECT_EQ(ReadFileBytes(ini() + ".bak"), original);
    }
    // A new object on the same file in the same run keeps the first backup.
    TIniFile again(ini());
    again.WriteString("S", "d", "4");
    EXPECT_EQ(ReadFileBytes(ini() + ".bak"), original);
    // A file the run created has nothing to back up.
    TIniFile fresh(path("new.ini"));
    fresh.WriteString("S", "a", "1");
    EXPECT_FALSE(QFile::exists(path("new.ini.bak")));
}

TEST_F(IniFileTest, OutsideEditSeenAndKept) {
    WriteFileBytes(ini(), "[S]\r\na=1\r\n");
    TIniFile f(ini());
    f.WriteString("S", "b", "2");
    const QByteArray outside = "[S]\r\na=1\r\nb=2\r\nouter=5\r\n; added by hand\r\n";
    WriteFileBytes(ini(), outside);
    EXPECT_EQ(f.ReadInteger("S", "outer", 0), 5);
    f.WriteString("S", "c", "3");
    EXPECT_EQ(ReadFileBytes(ini()),
              QByteArray("[S]\r\na=1\r\nb=2\r\nouter=5\r\nc=3\r\n; added by hand\r\n"));
    EXPECT_EQ(ReadFileBytes(ini() + ".bak"), outside);
    // An edit seen first by a write is kept by that write.
    WriteFileBytes(ini(), "[S]\r\nz=9\r\n");
    f.WriteString("S", "y", "8");
    EXPECT_EQ(ReadFileBytes(ini()), QByteArray("[S]\r\nz=9\r\ny=8\r\n"));
    // A file removed outside reads as empty and is made again by the next write.
    QFile::remove(ini());
    EXPECT_EQ(f.ReadString("S", "z", "gone"), "gone");
    f.WriteString("S", "n", "1");
    EXPECT_EQ(ReadFileBytes(ini()), QByteArray("[S]\r\nn=1\r\n"));
}

TEST_F(IniFileTest, UnreadableFileThrowsNamingIt) {
    QDir().mkpath(ini()); // a folder where the file should be
    const QString error = errorOf([&] { TIniFile f(ini()); });
    EXPECT_TRUE(error.contains(ini())) << error.toStdString();
}
