#include "base/TextRoutines.h"
#include "TestSupport.h"

#include <QDir>
#include <csignal>
#include <stdexcept>
#include <sys/resource.h>

class TextRoutinesTest : public QuillaryTest {};

TEST_F(TextRoutinesTest, MySplitPieces) {
    struct Case {
        const char *name;
        QString text, delimiter;
        QStringList want;
    };
    const QList<Case> cases = {
        {"final delimiter gives one empty piece", "a|b|", "|", {"a", "b", ""}},
        {"CD line",
         "CDinfo:|Name|Band|Pub|Code|",
         "|",
         {"CDinfo:", "Name", "Band", "Pub", "Code", ""}},
        {"empty CD line", "||||||", "|", {"", "", "", "", "", "", ""}},
        {"no delimiter", "abc", "|", {"abc"}},
        {"empty text", "", "|", {}},
        {"empty middle piece", "a||b", "|", {"a", "", "b"}},
        {"leading delimiter", "|a", "|", {"", "a"}},
        {"long delimiter at the start", "·O|abc·O|def", "·O|", {"", "abc", "def"}},
    };
    for (const auto &c : cases) {
        SplitList = {"left over"};
        MySplit(c.text, c.delimiter);
        EXPECT_EQ(SplitList, c.want) << c.name;
        EXPECT_EQ(MyJoin(c.delimiter), c.text) << c.name;
    }
}

TEST_F(TextRoutinesTest, DisplayTitleMovesTheArticle) {
    struct Case {
        const char *name;
        QString title, shown, article;
        bool bang;
    };
    const QList<Case> cases = {
        {"article moved", "Dashing White Sergeant, The", "The Dashing White Sergeant", "The",
         false},
        {"case counts", "Bonnie Lass, the", "Bonnie Lass, the", "", false},
        {"blank at position 4", "Ab, The", "The Ab", "The", false},
        {"blank at position 3", "A, The", "A, The", "", false},
        {"bang and article", "!Jig, A", "A Jig", "A", true},
        {"bang, blank at position 3 after it", "!A, The", "A, The", "", true},
        {"empty last word", "Foo, ", "Foo, ", "", false},
        {"no blank after the comma", "Cumberland Reel,The", "Cumberland Reel,The", "", false},
        {"bang only", "!Plain", "Plain", "", true},
    };
    for (const auto &c : cases) {
        // Each call sets both, whatever the call before left.
        TitleArticle = "stale";
        TitleBang = !c.bang;
        EXPECT_EQ(DisplayTitle(c.title), c.shown) << c.name;
        EXPECT_EQ(TitleArticle, c.article) << c.name;
        EXPECT_EQ(TitleBang, c.bang) << c.name;
    }
}

TEST_F(TextRoutinesTest, SmallRoutines) {
    EXPECT_EQ(TrimPunct(" - Hello, world: "), "Hello, world");
    EXPECT_EQ(TrimPunct("\t,:-x.-\r\n"), "x.");
    EXPECT_EQ(TrimPunct(",-: "), "");

    EXPECT_EQ(PadLeft("abc", 5), "  abc");
    EXPECT_EQ(PadLeft("abcde", 3), "***");
    EXPECT_EQ(PadRight("abc", 5), "abc  ");
    EXPECT_EQ(PadRight("abcde", 3), "abc");

    EXPECT_EQ(AddBackslash(""), "/");
    EXPECT_EQ(AddBackslash("/tmp/"), "/tmp/");
    EXPECT_EQ(AddSlash(""), "");

    EXPECT_EQ(UpperCaseDE("straße über é"), "STRAßE ÜBER é");
    EXPECT_EQ(UpperCaseDE("äöü ÄÖÜ àÿœ az"), "ÄÖÜ ÄÖÜ àÿœ AZ");
}

TEST_F(TextRoutinesTest, LoadTextFileLineEnds) {
    struct Case {
        const char *name;
        QByteArray bytes;
        QString text;
    };
    const QList<Case> cases = {
        {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"lone CR", "a\rb\r", "a\r\nb\r\n"},
        {"lone LF", "a\nb\n", "a\r\nb\r\n"},
        {"LF CR is two line ends", "a\n\rb\n", "a\r\n\r\nb\r\n"},
        {"no final line end", "a\r\nb", "a\r\nb\r\n"},
        {"empty", "", ""},
    };
    for (const auto &c : cases) {
        WriteFileBytes(path("In.Txt"), c.bytes);
        EXPECT_EQ(LoadTextFile(path("In.Txt")), c.text) << c.name;
    }
}

TEST_F(TextRoutinesTest, SaveTextFileLineEnds) {
    struct Case {
        const char *name;
        QString text;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"lone CR", "a\rb", "a\r\nb\r\n"},
        {"lone LF", "a\nb\n", "a\r\nb\r\n"},
        {"LF CR is two line ends", "a\n\rb", "a\r\n\r\nb\r\n"},
        {"no final line end", "a", "a\r\n"},
        {"empty", "", ""},
    };
    for (const auto &c : cases) {
        SaveTextFile(path("Out.Txt"), c.text);
        ASSERT_TRUE(QFileInfo::exists(path("Out.Txt"))) << c.name;
        EXPECT_EQ(ReadFileBytes(path("Out.Txt")), c.bytes) << c.name;
    }
}

TEST_F(TextRoutinesTest, TextFileBytesRoundTrip) {
    const QByteArray bytes("x\x80\x81\xB7y\r\n");
    WriteFileBytes(path("Bytes.Txt"), bytes);
    const QString text = LoadTextFile(path("Bytes.Txt"));
    EXPECT_EQ(text, QString("x") + QChar(0x20AC) + QChar(0x0081) + QChar(0x00B7) + "y\r\n");
    SaveTextFile(path("Bytes.Txt"), text);
    EXPECT_EQ(ReadFileBytes(path("Bytes.Txt")), bytes);

    // A character outside the code page makes the file UTF-8 with a BOM.
    const QString wide = QString("Ж€·") + "\r\n";
    SaveTextFile(path("Wide.Txt"), wide);
    EXPECT_EQ(ReadFileBytes(path("Wide.Txt")), QByteArray("\xEF\xBB\xBF") + wide.toUtf8());
    EXPECT_EQ(LoadTextFile(path("Wide.Txt")), wide);
}

TEST_F(TextRoutinesTest, LoadTextFileErrorsNameTheFile) {
    QDir().mkpath(path("Folder.Txt"));
    for (const QString &name : {path("Missing.Txt"), path("Folder.Txt")}) {
        try {
            LoadTextFile(name);
            ADD_FAILURE() << "no error for " << qPrintable(name);
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(name)) << e.what();
        }
    }
}

// The write itself fails half-way: the file-size limit stops it after a few
// bytes (we run as root, so permissions cannot).
TEST_F(TextRoutinesTest, SaveFailingMidWriteKeepsTheOldFile) {
    WriteFileBytes(path("Prog.Txt"), "old\r\n");
    struct Limit {
        rlimit old{};
        void (*handler)(int) = nullptr;
        Limit() {
            getrlimit(RLIMIT_FSIZE, &old);
            handler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = old;
            small.rlim_cur = 4096;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        ~Limit() {
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, handler);
        }
    };
    {
        Limit limit;
        EXPECT_THROW(SaveTextFile(path("Prog.Txt"), QString(100000, 'x')), std::runtime_error);
    }
    EXPECT_EQ(ReadFileBytes(path("Prog.Txt")), "old\r\n");
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"Prog.Txt"});
}
