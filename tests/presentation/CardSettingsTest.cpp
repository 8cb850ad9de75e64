#include "base/Log.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "presentation/CardSettings.h"
#include "TestSupport.h"

namespace {

class CardSettingsTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetCardSettings();
    }
    void TearDown() override {
        ResetCardSettings();
        ResetSettingsState();
        QuillaryTest::TearDown();
    }
    TIniFile &ini(const QByteArray &content) {
        WriteFileBytes(path("Quillary.ini"), content);
        file = std::make_unique<TIniFile>(path("Quillary.ini"));
        return *file;
    }
    std::unique_ptr<TIniFile> file;
};

const QByteArray L3Section = "[Cards]\r\nGapTop=420\r\nGapLeft=420\r\nDWidth=8040\r\nDHeight=5360\r\nVGap=0\r\nHGap=0\r\nDown=1\r\nAcross=1\r\n";

} // namespace

TEST_F(CardSettingsTest, CustomTabListSurvivesLoadAndApply) {
    TIniFile &f = ini("[Cards]\r\nTabList=500/1000\r\nPortrait=0\r\n" + L3Section.mid(9));
    CardSetValues v = CardSettingsAtStartup(f);
    EXPECT_EQ(v.layout, 3); // marked only
    EXPECT_EQ(v.tabList, "500/1000");
    EXPECT_FALSE(v.portrait);
    EXPECT_EQ(TabStops, QList<int>({500, 1000}));
    EXPECT_EQ(HangingIndentPrefix, "\\fi-500\\li500");
    ASSERT_TRUE(ApplySettings(f, v));
    EXPECT_EQ(f.ReadString("Cards", "TabList", ""), "500/1000");
    EXPECT_EQ(v.tabList, "500/1000");
    EXPECT_FALSE(f.ReadBool("Cards", "Portrait", true));
}

TEST_F(CardSettingsTest, TypingALayoutAppliesIt) {
    CardSetValues v;
    v.tabList = "500";
    v.portrait = false;
    v.card = {"420", "420", "8040", "5360", "0", "0", "1", ""};
    MyChange(v);
    EXPECT_EQ(v.layout, 0);
    EXPECT_EQ(v.tabList, "500");
    v.card[7] = "1";
    MyChange(v);
    EXPECT_EQ(v.layout, 3);
    EXPECT_EQ(v.tabList, StandardTabList);
    EXPECT_TRUE(v.portrait);
    v.card[0] = "0420"; // exact text comparison
    MyChange(v);
    EXPECT_EQ(v.layout, 0);
}

TEST_F(CardSettingsTest, TabLists) {
    const struct {
        QString text;
        bool strictOk;
        QList<int> lenient;
        bool changed;
    } cases[] = {
        {"727", true, {727}, false},
        {"727/", true, {727}, false},
        {" 727 / 3600", true, {727, 3600}, false},
        {"727//3600", false, {727, 3600}, true},
        {"abc", false, {727}, true},
        {"727/x/-5/900", false, {727, 900}, true},
    };
    for (const auto &c : cases) {
        QList<int> stops;
        EXPECT_EQ(ParseTabList(c.text, stops), c.strictOk) << c.text.toStdString();
        bool changed = false;
        EXPECT_EQ(ReadTabList(c.text, &changed), c.lenient) << c.text.toStdString();
        EXPECT_EQ(changed, c.changed) << c.text.toStdString();
    }
    QStringList many;
    for (int i = 1; i <= 33; ++i) many << QString::number(i * 100);
    QList<int> stops;
    EXPECT_FALSE(ParseTabList(many.join('/'), stops));
    EXPECT_EQ(ReadTabList(many.join('/')).size(), 32);
    many.removeLast();
    EXPECT_TRUE(ParseTabList(many.join('/'), stops));
    EXPECT_EQ(stops.size(), 32);
}

TEST_F(CardSettingsTest, BadTabListAtStartUpFallsBackAndIsLogged) {
    WriteLog("START");
    TIniFile &f = ini("[Cards]\r\nTabList=727//3600\r\n" + L3Section.mid(9));
    const CardSetValues v = CardSettingsAtStartup(f);
    EXPECT_EQ(v.tabList, "727//3600");
    EXPECT_EQ(TabStops, QList<int>({727, 3600}));
    EXPECT_EQ(HangingIndentPrefix, "\\fi-727\\li727");
    const QString log = QString::fromLatin1(ReadFileBytes(path("Log.Txt")));
    EXPECT_EQ(log.count("TabList"), 1);
    EXPECT_TRUE(log.contains("TabList \"727//3600\" read as \"727/3600\""));
}

TEST_F(CardSettingsTest, BadBoxLeavesTheFileAsItWas) {
    const QByteArray content = "[Cards]\r\nDFont=Verdana\r\nDSize=12\r\nTabList=727\r\n" + L3Section.mid(9);
    TIniFile &f = ini(content);
    const CardSetValues good = CardSettingsAtStartup(f);
    const struct {
        const char *name;
        std::function<void(CardSetValues &)> spoil;
    } cases[] = {
        {"down 0", [](CardSetValues &v) { v.card[6] = "0"; }},
        {"across empty", [](CardSetValues &v) { v.card[7] = ""; }},
        {"width negative", [](CardSetValues &v) { v.card[2] = "-1"; }},
        {"font size 0", [](CardSetValues &v) { v.fontSize = "0"; }},
        {"negative line spacing", [](CardSetValues &v) { v.lSpace = "-230"; }},
        {"empty piece in the tab list", [](CardSetValues &v) { v.tabList = "727//3600"; }},
        {"33 tab stops", [](CardSetValues &v) { v.tabList = QString("100/").repeated(32) + "9000"; }},
        {"decimal", [](CardSetValues &v) { v.lSpace = "2.5"; }},
    };
    for (const auto &c : cases) {
        answerer->clear();
        answerer->script(ResultOK);
        CardSetValues v = good;
        v.fontName = "Times";
        c.spoil(v);
        EXPECT_FALSE(ApplySettings(f, v)) << c.name;
        ASSERT_EQ(answerer->boxes.size(), 1) << c.name;
        EXPECT_EQ(answerer->boxes[0].text, "All the values (except font name) must be whole numbers.") << c.name;
        EXPECT_EQ(ReadFileBytes(path("Quillary.ini")), content) << c.name;
        EXPECT_EQ(CardsDFont, "Verdana") << c.name;
    }
    // Zero gaps are whole numbers in range.
    CardSetValues v = good;
    v.card[0] = "0";
    v.paraGap = "0";
    EXPECT_TRUE(ApplySettings(f, v));
}

TEST_F(CardSettingsTest, ApplyWritesEveryKeyAndRunsTheHooks) {
    TIniFile &f = ini("[Cards]\r\n");
    CardSetValues v = CardSettingsAtStartup(f);
    int saves = 0, relayouts = 0;
    ApplySaveInstructionsHook = [&] { ++saves; };
    ApplyRelayoutHook = [&] { ++relayouts; };
    v.fontName = "Verdana";
    v.fontSize = "14";
    v.tabList = "600/3000";
    v.paraGap = "80";
    v.lSpace = " 250";
    StdClick(v, 2);
    v.tabList = "600/3000";
    ASSERT_TRUE(ApplySettings(f, v));
    EXPECT_EQ(f.ReadString("Cards", "DFont", ""), "Verdana");
    EXPECT_EQ(f.ReadInteger("Cards", "DSize", 0), 14);
    EXPECT_EQ(f.ReadString("Cards", "TabList", ""), "600/3000");
    EXPECT_EQ(f.ReadInteger("Cards", "ParaGap", 0), 80);
    EXPECT_EQ(f.ReadInteger("Cards", "LSpace", 0), 250);
    EXPECT_EQ(f.ReadString("Cards", "Down", ""), "2");
    EXPECT_FALSE(f.ReadBool("Cards", "Portrait", true));
    EXPECT_EQ(CardsDFont, "Verdana");
    EXPECT_EQ(CardsHalfPoints, "28");
    EXPECT_EQ(CardsLSpace, 250);
    EXPECT_EQ(HangingIndentPrefix, "\\fi-600\\li600");
    EXPECT_EQ(v.layout, 2);
    EXPECT_EQ(v.lSpace, "250");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(relayouts, 1);
}

TEST_F(CardSettingsTest, SizeOtherThanTwelveSwitchesHalfLinesOff) {
    TIniFile &f = ini("[Cards]\r\nHalfLines=1\r\n" + L3Section.mid(9));
    CardSetValues v = CardSettingsAtStartup(f);
    EXPECT_TRUE(v.halfLines);
    int unticked = 0;
    HalfLinesUntickHook = [&] { ++unticked; };
    v.fontSize = "10";
    answerer->script(ResultOK);
    ASSERT_TRUE(ApplySettings(f, v));
    EXPECT_EQ(answerer->texts(), QStringList{"You are not using 12-point so I've switched off\nhalf-lines in the Internal Editor.\n"
                                             "Please contact me if you would like to use half-lines."});
    EXPECT_EQ(unticked, 1);
    EXPECT_FALSE(f.ReadBool("Cards", "HalfLines", true));
    EXPECT_FALSE(CardsHalfLines);
    EXPECT_EQ(CardsHalfPoints, "20");
    // Ticking the box and choosing 10 at once is caught too.
    v.halfLines = true;
    answerer->clear();
    ASSERT_TRUE(ApplySettings(f, v));
    EXPECT_EQ(answerer->boxes.size(), 1);
    EXPECT_FALSE(f.ReadBool("Cards", "HalfLines", true));
    // At 12 points nothing is said.
    answerer->clear();
    v.fontSize = "12";
    v.halfLines = true;
    ASSERT_TRUE(ApplySettings(f, v));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_TRUE(f.ReadBool("Cards", "HalfLines", false));
    EXPECT_TRUE(CardsHalfLines);
}

TEST_F(CardSettingsTest, PrimaryFontFollowsTheOption) {
    const QString rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs24 x}";
    CardsDFont = "Georgia";
    CardsHalfPoints = "22";
    StoreOption("UsePrimary", false);
    EXPECT_EQ(SetRtfFontSize(rtf), rtf);
    StoreOption("UsePrimary", true);
    EXPECT_EQ(SetRtfFontSize(rtf), "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Georgia;}}\\viewkind4\\uc1\\pard\\f0\\fs22 x}");
}
