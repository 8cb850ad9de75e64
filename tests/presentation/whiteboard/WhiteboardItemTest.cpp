#include "presentation/whiteboard/WhiteboardEdit.h"
#include "presentation/whiteboard/WhiteboardLibrary.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "TestSupport.h"

#include <stdexcept>

namespace {

using WhiteboardItemTest = QuillaryTest;

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
    const QString ini = path(QStringLiteral("Quillary.ini"));
    WriteFileBytes(ini, "[System]\r\nHand=0\r\n");
    QString text = QString::fromLatin1(ReadFileBytes(ini));
    ASSERT_TRUE(NeedsSampleItems(text));
    text = WithSampleItems(text);
    EXPECT_FALSE(NeedsSampleItems(text));
    EXPECT_FALSE(NeedsSampleItems(QStringLiteral("[%x]\r\n1=|1,1,1")));
    WriteFileBytes(ini, text.toLatin1());

    TIniFile file(ini);
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
    EXPECT_FALSE(file.SectionExists(QStringLiteral("%Two.Bak"))) << "a new item has no backup to restore";

    const QString lib = path(QStringLiteral("Library.Ini"));
    WriteFileBytes(lib, "[%Pic]\r\n1=|1,2,3|4,5,6\r\nImageTop=5\r\nImage=c:\\x.jpg\r\n"
                        "Centre=1|2\r\n[%4 Cu]\r\nFigure=Y\r\n1=|9,9,1\r\n");
    TIniFile library(lib);
    EXPECT_EQ(LibraryKind(library, QStringLiteral("%4 Cu")), QStringLiteral("Figure"));
    ImportWhiteboardItems(library, file, {QStringLiteral("%Pic"), QStringLiteral("%4 Cu")});
    EXPECT_EQ(file.ReadSectionValues(QStringLiteral("%Pic")),
              (QStringList{"1=|1,2,3|4,5,6", "Centre=1|2"}));
    EXPECT_EQ(file.ReadSectionValues(QStringLiteral("%4 Cu")),
              (QStringList{"Figure=Y", "1=|9,9,1"}));

    const QByteArray before = ReadFileBytes(ini);
    TIniFile::SetSaveFunction([](const QString &, const QByteArray &) {
        throw std::runtime_error("disk full");
    });
    EXPECT_THROW(SaveWhiteboardItem(file, QStringLiteral("Pic"), cu), std::runtime_error);
    EXPECT_THROW(RestoreWhiteboardItem(file, QStringLiteral("4 Cu")), std::runtime_error);
    TIniFile::SetSaveFunction({});
    EXPECT_EQ(ReadFileBytes(ini), before);
    EXPECT_EQ(file.ReadString(QStringLiteral("%Pic"), QStringLiteral("1"), {}),
              QStringLiteral("|1,2,3|4,5,6"));
    EXPECT_FALSE(file.SectionExists(QStringLiteral("%Pic.Bak")));
}

// An import over an item of the same name keeps the item as its backup:
// Restore brings it back, a second Restore the library's version again.
TEST_F(WhiteboardItemTest, ImportKeepsTheReplacedItemForRestore) {
    const QString ini = path(QStringLiteral("Quillary.ini"));
    WriteFileBytes(ini, "[%Reel]\r\n1=|1,1,0|2,2,0|3,3,0\r\nComment=mine\r\n[%Reel.Bak]\r\n1=|7,7,7\r\n");
    const QString lib = path(QStringLiteral("Library.Ini"));
    WriteFileBytes(lib, "[%Reel]\r\n1=|9,9,1|8,8,1|7,7,1\r\nImage=c:\\x.jpg\r\n[%New]\r\n1=|5,5,5\r\n");
    TIniFile file(ini), library(lib);
    ImportWhiteboardItems(library, file, {QStringLiteral("%Reel"), QStringLiteral("%New")});
    const QStringList mine{"1=|1,1,0|2,2,0|3,3,0", "Comment=mine"};
    const QStringList theirs{"1=|9,9,1|8,8,1|7,7,1"};
    EXPECT_EQ(file.ReadSectionValues(QStringLiteral("%Reel")), theirs);
    EXPECT_EQ(file.ReadSectionValues(QStringLiteral("%Reel.Bak")), mine);
    EXPECT_FALSE(file.SectionExists(QStringLiteral("%New.Bak"))) << "nothing was replaced";
    // Written to the file, not only held in memory.
    TIniFile again(ini);
    EXPECT_EQ(again.ReadSectionValues(QStringLiteral("%Reel.Bak")), mine);
    EXPECT_EQ(RestoreWhiteboardItem(again, QStringLiteral("Reel")), QString());
    EXPECT_EQ(again.ReadSectionValues(QStringLiteral("%Reel")), mine);
    EXPECT_EQ(RestoreWhiteboardItem(again, QStringLiteral("Reel")), QString());
    EXPECT_EQ(again.ReadSectionValues(QStringLiteral("%Reel")), theirs);

    // Imported a second time (and a third): the backup still holds the
    // user's own steps, which Restore brings back.
    for (int i = 0; i < 2; ++i) ImportWhiteboardItems(library, again, {QStringLiteral("%Reel")});
    EXPECT_EQ(TIniFile(ini).ReadSectionValues(QStringLiteral("%Reel.Bak")), mine);
    EXPECT_EQ(RestoreWhiteboardItem(again, QStringLiteral("Reel")), QString());
    EXPECT_EQ(again.ReadSectionValues(QStringLiteral("%Reel")), mine);
    // An import over the user's changed item still keeps that as the backup.
    ImportWhiteboardItems(library, again, {QStringLiteral("%Reel")});
    EXPECT_EQ(again.ReadSectionValues(QStringLiteral("%Reel.Bak")), mine);
    EXPECT_EQ(again.ReadSectionValues(QStringLiteral("%Reel")), theirs);
}

TEST_F(WhiteboardItemTest, RefusesNamesThatCannotBeSections) {
    for (const char *name : {"", "  ", "Reel.Bak", "Reel.bak", "A]B", "A\nB", "A\rB"})
        EXPECT_FALSE(CheckItemName(QString::fromLatin1(name)).isEmpty()) << name;
    EXPECT_EQ(CheckItemName(QStringLiteral("Rock & Roll ... Reel")), QString());
}

// Snapping: within 11 pixels of a multiple of 50, and the centre offsets.
TEST(WhiteboardEdit, Snaps) {
    const QList<QPair<int, int>> rows = {{211, 200}, {212, 212}, {239, 250}, {231, 231},
                                         {238, 238}, {189, 200}, {200, 200}, {30, 30}};
    for (const auto &[in, out] : rows) EXPECT_EQ(SnapCoordinate(in), out) << in;
    EXPECT_EQ(SnapCentre(QPoint(36 + 211, 35 + 239)), QPoint(236, 285));
}

// A box kept inside its area: moved in the least, never to a negative place.
TEST(WhiteboardEdit, KeepsABoxInside) {
    const QSize box(600, 145), area(1240, 700);
    const QList<QPair<QPoint, QPoint>> rows = {{{770, 450}, {640, 450}}, {{100, 100}, {100, 100}},
                                               {{640, 555}, {640, 555}}, {{2000, 900}, {640, 555}},
                                               {{-20, -5}, {0, 0}}};
    for (const auto &[in, out] : rows) EXPECT_EQ(KeepInside(in, box, area), out) << in.x() << "," << in.y();
    EXPECT_EQ(KeepInside({50, 50}, box, QSize(400, 100)), QPoint(0, 0)); // larger than the area
}

TEST(WhiteboardEdit, StepCommands) {
    WhiteboardItem five;
    five.dancers = {{1, {}}, {9, {}}};
    for (int i = 1; i <= 5; ++i)
        for (auto &d : five.dancers) d.steps << StepPos{i * 10, d.number, 0};
    WhiteboardEditor e;

    // Eight clicks bring a dancer back; odd facings show the diagonal picture.
    e.open(five);
    for (int i = 1; i <= 8; ++i) {
        e.turnDancer(1, -1);
        EXPECT_EQ(DancerPicture(1, e.board[1].dir).endsWith('D'), i % 2 == 1);
    }
    EXPECT_EQ(e.board[1].dir, 0);

    // At the last step an edit starts a new one; X returns to the stored ones.
    e.open(five);
    ASSERT_TRUE(e.go(5));
    e.moveDancer(9, {300, 300});
    EXPECT_EQ(QString::number(e.current) + ' ' + e.stepText(), QStringLiteral("6 of 6"));
    e.cancelStep();
    EXPECT_EQ(QString::number(e.current) + ' ' + e.stepText(), QStringLiteral("5 of 5"));
    EXPECT_EQ(e.board[9], (StepPos{50, 9, 0}));

    // An edit below the last replaces that step; saving it twice adds nothing.
    e.go(2);
    e.moveDancer(1, {7, 7});
    e.saveStep();
    e.saveStep();
    EXPECT_EQ(e.item.storedSteps(), 5);
    EXPECT_EQ(e.item.dancers[0].steps[1], (StepPos{7, 7, 0}));

    EXPECT_FALSE(e.deleteSteps(1, 5));
    EXPECT_FALSE(e.deleteSteps(0, 2));
    ASSERT_TRUE(e.deleteSteps(2, 4));
    EXPECT_EQ(e.item.storedSteps(), 2);
    EXPECT_EQ(e.current, 2);
    EXPECT_EQ(e.board[1], (StepPos{50, 1, 0}));
    ASSERT_TRUE(e.deleteCurrent());
    EXPECT_FALSE(e.deleteCurrent()); // one step left

    // A figure at step 2 of 5: a dancer it lacks stands still, others move
    // from where they stand; keys that are not dancer numbers are skipped.
    e.open(five);
    e.go(2);
    WhiteboardItem figure;
    ASSERT_EQ(ParseWhiteboardItem({"1=|0,0,0|5,0,2|5,5,4", "Comment=x", "Figure=Y",
                                   "Text=a", "7=|1,1,1|1,1,1|1,1,1"},
                                  QStringLiteral("F"), figure),
              QString());
    EXPECT_EQ(e.addFigure(figure), 3);
    EXPECT_EQ(e.item.lines(),
              (QStringList{"1=|10,1,0|20,1,0|25,1,2|25,6,4|20,1,0|30,1,0|40,1,0|50,1,0",
                           "9=|10,9,0|20,9,0|20,9,0|20,9,0|20,9,0|30,9,0|40,9,0|50,9,0"}));

    // Removing a dancer takes all its steps and goes back to step 1.
    e.removeDancer(9);
    EXPECT_EQ(e.item.lines().size(), 1);
    EXPECT_EQ(e.current, 1);
}

// CheckIni seeds the samples once and makes IniFile again; the library opens
// what was fetched, or what was kept when the fetch fails.
TEST_F(WhiteboardItemTest, SeedsOnceAndFetchesTheLibrary) {
    const QString ini = path(QStringLiteral("Quillary.ini"));
    WriteFileBytes(ini, "[System]\r\nHand=1\r\n");
    IniFile = std::make_unique<TIniFile>(ini);
    EXPECT_TRUE(CheckIni());
    EXPECT_EQ(ChooserEntries(*IniFile, ChooserMode::Open), QStringList{"Lilli Burlero"});
    EXPECT_TRUE(IniFile->ReadBool(QStringLiteral("System"), QStringLiteral("Hand"), false));
    const QByteArray seeded = ReadFileBytes(ini);
    EXPECT_FALSE(CheckIni());
    EXPECT_EQ(ReadFileBytes(ini), seeded);
    IniFile.reset();

    const QString lib = path(QStringLiteral("Library.Ini"));
    QString asked;
    auto served = [&](const QString &url, const QString &file) {
        asked = url;
        WriteFileBytes(file, "[%Jig]\r\n1=|1,1,1|2,2,2\r\n");
    };
    auto failing = [](const QString &, const QString &) {
        throw std::runtime_error("No internet connection, or antivirus action.");
    };
    EXPECT_EQ(FetchLibrary(failing, QStringLiteral("http://x"), lib), nullptr);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("No internet connection")));
    ASSERT_NE(FetchLibrary(served, QStringLiteral("http://x"), lib), nullptr);
    EXPECT_EQ(asked, QStringLiteral("http://x/Library.txt"));
    auto kept = FetchLibrary(failing, QStringLiteral("http://x"), lib);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(LibraryKind(*kept, QStringLiteral("%Jig")), QStringLiteral("Dance"));
    EXPECT_EQ(LibraryKind(*kept, QStringLiteral("%None")), QStringLiteral("Formation"));
}

// A database with a settings file of its own: the samples go into that file,
// IniFile stays on it, and Quillary.ini is left as it was.
TEST_F(WhiteboardItemTest, SeedsTheSettingsFileInUse) {
    const QString standard = path(QStringLiteral("Quillary.ini"));
    const QString own = path(QStringLiteral("Other.Ini"));
    WriteFileBytes(standard, "[System]\r\nDBName=Other.mdb\r\n");
    WriteFileBytes(own, "[System]\r\nHand=1\r\n");
    const QByteArray standardBefore = ReadFileBytes(standard);
    IniName = own;
    IniFile = std::make_unique<TIniFile>(own);
    EXPECT_TRUE(CheckIni());
    ASSERT_NE(IniFile, nullptr);
    IniFile->WriteString(QStringLiteral("User"), QStringLiteral("Later"), QStringLiteral("yes"));
    const QString ownText = QString::fromLatin1(ReadFileBytes(own));
    EXPECT_TRUE(ownText.contains(QStringLiteral("[%Lilli Burlero]")));
    EXPECT_TRUE(ownText.contains(QStringLiteral("Later=yes")));
    EXPECT_TRUE(ownText.contains(QStringLiteral("Hand=1")));
    EXPECT_EQ(ReadFileBytes(standard), standardBefore);
    EXPECT_EQ(ChooserEntries(*IniFile, ChooserMode::Open), QStringList{"Lilli Burlero"});
}
