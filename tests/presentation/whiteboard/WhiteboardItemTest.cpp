#include "presentation/whiteboard/WhiteboardItem.h"
#include "platform/ini/IniFile.h"
#include "TestSupport.h"

#include <stdexcept>

namespace {

class WhiteboardItemTest : public QuillaryTest {
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

// n steps "x,200,2" with x counting up from 100.
QString stepsLine(int n) {
    QList<StepPos> s;
    for (int i = 0; i < n; ++i) s << StepPos{100 + i, 200, 2};
    return DancerLine(s);
}

} // namespace

// Each row is one section as found in the file: either it opens (and a save
// writes back the same values) or it gives one message naming the key.
TEST_F(WhiteboardItemTest, ReadsWritesAndRefuses) {
    const QString cut999 = stepsLine(120).left(999); // ends mid-step
    struct Row {
        const char *name;
        QStringList keys;
        const char *badKey; // nullptr: opens
        int steps;
        QStringList written; // nullptr-free: the keys a save writes
    };
    const QList<Row> rows = {
        {"text with line breaks, prompt comment",
         {"1=|500,200,2|510,200,3", "Text=one§two", "Comment=Description..."}, nullptr, 2,
         {"1=|510,200,3", "Centre=637|385", "Text=one§two", "TextTop=450", "TextLeft=770"}},
        {"figure with a picture",
         {"9=|1,2,3|4,5,6|7,8,7", "Figure=Y", "Image=/p/a.png", "Centre=10|20", "Comment= x "},
         nullptr, 3,
         {"9=|1,2,3|4,5,6|7,8,7", "Centre=10|20", "ImageTop=390", "ImageLeft=100",
          "Image=/p/a.png", "Figure=Y", "Comment=x"}},
        {"1500-character line kept whole", {"1=" + stepsLine(140)}, nullptr, 140,
         {"1=" + stepsLine(140), "Centre=637|385"}},
        {"line cut at 999 padded with its last whole step",
         {"1=" + cut999, "2=" + stepsLine(3)}, nullptr, int(cut999.count('|')) - 1, {}},
        {"letters", {"1=|500,2a0,2"}, "1", 0, {}},
        {"two numbers", {"3=|500,200,2|500,200"}, "3", 0, {}},
        {"facing 9", {"16=|500,200,9"}, "16", 0, {}},
        {"negative", {"2=|-5,200,2"}, "2", 0, {}},
        {"huge", {"2=|5,2000000,2"}, "2", 0, {}},
        {"no leading bar", {"2=500,200,2"}, "2", 0, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        WhiteboardItem item;
        const QString error = ParseWhiteboardItem(row.keys, QStringLiteral("It"), item);
        if (row.badKey) {
            EXPECT_TRUE(error.contains(QStringLiteral("\"It\"")) &&
                        error.contains(QStringLiteral("\"%1\"").arg(row.badKey)))
                << error.toStdString();
            EXPECT_TRUE(item.dancers.isEmpty());
            continue;
        }
        ASSERT_EQ(error, QString());
        for (const auto &d : item.dancers) EXPECT_EQ(d.steps.size(), row.steps);
        if (row.written.isEmpty()) continue;
        QStringList written;
        for (const auto &kv : WhiteboardSectionValues(item)) written << kv.first + '=' + kv.second;
        EXPECT_EQ(written, row.written);
    }
}

// The settings file: samples seeded once, save keeps a backup, Restore
// swaps, import leaves out picture keys, a failed write changes nothing.
TEST_F(WhiteboardItemTest, SettingsFileCommands) {
    WriteFileBytes(ini(), "[System]\r\nHand=0\r\n");
    QString text = QString::fromLatin1(ReadFileBytes(ini()));
    ASSERT_TRUE(NeedsSampleItems(text));
    text = WithSampleItems(text);
    EXPECT_FALSE(NeedsSampleItems(text));
    EXPECT_FALSE(NeedsSampleItems(QStringLiteral("[%x]\r\n1=|1,1,1")));
    WriteFileBytes(ini(), text.toLatin1());

    TIniFile file(ini());
    EXPECT_EQ(ChooserEntries(file, ChooserMode::New), QStringList{"4 Cu"});
    EXPECT_EQ(ChooserEntries(file, ChooserMode::Open), QStringList{"Lilli Burlero"});
    WhiteboardItem lilli;
    ASSERT_EQ(ReadWhiteboardItem(file, QStringLiteral("Lilli Burlero"), lilli), QString());
    EXPECT_EQ(lilli.storedSteps(), 28);
    EXPECT_EQ(lilli.dancers.size(), 4);
    EXPECT_EQ(ItemKind(lilli, 1), QStringLiteral("dance"));

    WhiteboardItem cu;
    ASSERT_EQ(ReadWhiteboardItem(file, QStringLiteral("4 Cu"), cu), QString());
    const QStringList original = cu.lines();
    cu.dancers.first().steps.first().x = 450;
    SaveWhiteboardItem(file, QStringLiteral("4 Cu"), cu);
    EXPECT_EQ(file.ReadString(QStringLiteral("%4 Cu.Bak"), QStringLiteral("1"), {}),
              QStringLiteral("|500,200,2"));
    for (const char *expected : {"|500,200,2", "|450,200,2"}) {
        EXPECT_EQ(RestoreWhiteboardItem(file, QStringLiteral("4 Cu")), QString());
        EXPECT_EQ(file.ReadString(QStringLiteral("%4 Cu"), QStringLiteral("1"), {}),
                  QString::fromLatin1(expected));
    }
    EXPECT_EQ(RestoreWhiteboardItem(file, QStringLiteral("None")),
              QStringLiteral("%None.Bak - SectName does not exist"));

    // Saving a two-step item keeps its final positions only.
    WhiteboardItem two;
    two.dancers = {{1, {{1, 1, 0}, {50, 60, 4}}}};
    bool keptFinal = false;
    SaveWhiteboardItem(file, QStringLiteral("Two"), two, &keptFinal);
    EXPECT_TRUE(keptFinal);
    EXPECT_EQ(file.ReadString(QStringLiteral("%Two"), QStringLiteral("1"), {}),
              QStringLiteral("|50,60,4"));

    const QString lib = path(QStringLiteral("Library.Ini"));
    WriteFileBytes(lib, "[%Pic]\r\n1=|1,2,3|4,5,6\r\nImageTop=5\r\nImage=c:\\x.jpg\r\n"
                        "Centre=1|2\r\n[%4 Cu]\r\nFigure=Y\r\n1=|9,9,1\r\n");
    TIniFile library(lib);
    EXPECT_EQ(LibraryKind(library, QStringLiteral("%Pic")), QStringLiteral("Dance"));
    EXPECT_EQ(LibraryKind(library, QStringLiteral("%4 Cu")), QStringLiteral("Figure"));
    ImportWhiteboardItems(library, file, {QStringLiteral("%Pic"), QStringLiteral("%4 Cu")});
    EXPECT_EQ(file.ReadSectionValues(QStringLiteral("%Pic")),
              (QStringList{"1=|1,2,3|4,5,6", "Centre=1|2"}));
    EXPECT_EQ(file.ReadSectionValues(QStringLiteral("%4 Cu")),
              (QStringList{"Figure=Y", "1=|9,9,1"}));

    const QByteArray before = ReadFileBytes(ini());
    TIniFile::SetSaveFunction([](const QString &, const QByteArray &) {
        throw std::runtime_error("disk full");
    });
    EXPECT_THROW(SaveWhiteboardItem(file, QStringLiteral("Pic"), cu), std::runtime_error);
    EXPECT_THROW(RestoreWhiteboardItem(file, QStringLiteral("4 Cu")), std::runtime_error);
    TIniFile::SetSaveFunction({});
    EXPECT_EQ(ReadFileBytes(ini()), before);
    EXPECT_EQ(file.ReadString(QStringLiteral("%Pic"), QStringLiteral("1"), {}),
              QStringLiteral("|1,2,3|4,5,6"));
    EXPECT_FALSE(file.SectionExists(QStringLiteral("%Pic.Bak")));
}

TEST_F(WhiteboardItemTest, RefusesNamesThatCannotBeSections) {
    for (const char *name : {"", "  ", "Reel.Bak", "Reel.bak", "A]B", "A\nB", "A\rB"})
        EXPECT_FALSE(CheckItemName(QString::fromLatin1(name)).isEmpty()) << name;
    EXPECT_EQ(CheckItemName(QStringLiteral("Rock & Roll ... Reel")), QString());
}
