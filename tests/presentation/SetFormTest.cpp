#include "core/services/Help.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "presentation/SetForm.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class SetFormTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetCardSettings();
        WriteFileBytes(path("Quillary.ini"), "[Cards]\r\nTabList=500\r\nGapTop=100\r\nGapLeft=100\r\nDWidth=7000\r\n"
                                             "DHeight=4000\r\nVGap=0\r\nHGap=0\r\nDown=2\r\nAcross=1\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        form = std::make_unique<TSetForm>();
        CardSettingsAtStartup(*IniFile);
        form->LoadSet();
        form->show();
    }
    void TearDown() override {
        form.reset();
        ResetCardSettings();
        ResetSettingsState();
        QuillaryTest::TearDown();
    }
    QLineEdit *edit(const char *name) { return form->findChild<QLineEdit *>(name); }
    QRadioButton *radio(const char *name) { return form->findChild<QRadioButton *>(name); }
    void type(const char *name, const QString &text) {
        QLineEdit *e = edit(name);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    std::unique_ptr<TSetForm> form;
};

} // namespace

TEST_F(SetFormTest, HasTheGroupsCaptionsAndLayoutButtons) {
    EXPECT_EQ(form->windowTitle(), "Settings");
    EXPECT_TRUE(form->isModal());
    const struct {
        const char *name, *caption;
    } labels[] = {
        {"FontName", "Font name"}, {"FontSize", "Font size"}, {"TabList", "Tab list"}, {"ParaGapLab", "Paragraph gap"},
        {"LSpaceLab", "Line spacing"}, {"GapTop", "Gap top"}, {"DHeight", "Card Height"}, {"VGap", "Vertical Gap"},
        {"Down", "Down"}, {"GapLeft", "Gap left"}, {"DWidth", "Card Width"}, {"HGap", "Horizontal Gap"}, {"Across", "Across"},
    };
    for (const auto &l : labels) {
        ASSERT_TRUE(edit(l.name)) << l.name;
        auto *label = form->findChild<QLabel *>(QString(l.name) + "Label");
        ASSERT_TRUE(label) << l.name;
        EXPECT_EQ(label->text(), l.caption);
        EXPECT_EQ(label->buddy(), edit(l.name));
    }
    EXPECT_EQ(form->findChild<QGroupBox *>("Orientation")->title(), "Orientation");
    EXPECT_EQ(form->findChild<QGroupBox *>("StandardLayouts")->title(), "Standard layouts");
    EXPECT_EQ(radio("Portrait")->text(), "&Portrait");
    EXPECT_EQ(radio("Landscape")->text(), "&Landscape");
    EXPECT_EQ(form->findChild<QCheckBox *>("HalfLines")->text(), "Half-lines");
    EXPECT_EQ(radio("L1")->text(), "Avery 5388  (Three 3\" x 5\" cards)");
    EXPECT_EQ(radio("L4")->text(), "Single A4 page");
    auto *apply = form->findChild<QPushButton *>("ApplyBtn");
    EXPECT_EQ(apply->text(), "Apply");
    EXPECT_TRUE(apply->isDefault());
    EXPECT_EQ(form->findChild<QPushButton *>("CancelBtn")->text(), "Exit");
    EXPECT_EQ(form->findChild<QPushButton *>("HelpBtn")->text(), "Help");
    // A card width of its own: no layout checked.
    for (const char *l : {"L1", "L2", "L3", "L4"}) EXPECT_FALSE(radio(l)->isChecked()) << l;
    EXPECT_EQ(edit("TabList")->text(), "500");
}

TEST_F(SetFormTest, TypingLayoutThreeChecksItAndResetsTheTabs) {
    const char *names[] = {"GapTop", "GapLeft", "DWidth", "DHeight", "VGap", "HGap", "Down", "Across"};
    const char *values[] = {"420", "420", "8040", "5360", "0", "0", "1", "1"};
    radio("Landscape")->setChecked(true);
    for (int i = 0; i < 8; ++i) type(names[i], values[i]);
    EXPECT_TRUE(radio("L3")->isChecked());
    EXPECT_EQ(edit("TabList")->text(), "727/3600/4200");
    EXPECT_TRUE(radio("Portrait")->isChecked());
    // Typing on unchecks it again.
    type("Down", "2");
    for (const char *l : {"L1", "L2", "L3", "L4"}) EXPECT_FALSE(radio(l)->isChecked()) << l;
}

TEST_F(SetFormTest, LayoutButtonsAndHalfLines) {
    QTest::mouseClick(radio("L2"), Qt::LeftButton);
    EXPECT_EQ(edit("DWidth")->text(), "7200");
    EXPECT_TRUE(radio("Landscape")->isChecked());
    EXPECT_TRUE(radio("L2")->isChecked());
    QTest::mouseClick(form->findChild<QCheckBox *>("HalfLines"), Qt::LeftButton);
    EXPECT_EQ(edit("ParaGapLab")->text(), "0");
    QTest::mouseClick(form->findChild<QCheckBox *>("HalfLines"), Qt::LeftButton);
    EXPECT_EQ(edit("ParaGapLab")->text(), "100");
}

TEST_F(SetFormTest, BadApplyShowsTheMessage) {
    const QByteArray before = ReadFileBytes(path("Quillary.ini"));
    type("Down", "x");
    answerer->script(ResultOK);
    QTest::mouseClick(form->findChild<QPushButton *>("ApplyBtn"), Qt::LeftButton);
    EXPECT_EQ(answerer->texts(), QStringList{"All the values (except font name) must be whole numbers."});
    EXPECT_EQ(ReadFileBytes(path("Quillary.ini")), before);
    EXPECT_EQ(edit("Down")->text(), "x"); // the boxes stay for mending
}

TEST_F(SetFormTest, ApplyWritesAndExitReloads) {
    type("FontSize", "14");
    QTest::mouseClick(form->findChild<QPushButton *>("ApplyBtn"), Qt::LeftButton);
    EXPECT_EQ(IniFile->ReadInteger("Cards", "DSize", 0), 14);
    EXPECT_EQ(CardsHalfPoints, "28");
    type("FontSize", "99");
    type("TabList", "1/2");
    QTest::mouseClick(form->findChild<QPushButton *>("CancelBtn"), Qt::LeftButton);
    EXPECT_EQ(edit("FontSize")->text(), "14");
    EXPECT_EQ(edit("TabList")->text(), "500");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(SetFormTest, CheckHalfLinesUnticksTheBox) {
    form->findChild<QCheckBox *>("HalfLines")->setChecked(true);
    IniFile->WriteBool("Cards", "HalfLines", true);
    answerer->script(ResultOK);
    CheckHalfLines(10);
    EXPECT_FALSE(form->findChild<QCheckBox *>("HalfLines")->isChecked());
    EXPECT_FALSE(IniFile->ReadBool("Cards", "HalfLines", true));
}

TEST_F(SetFormTest, HelpOpensItsTopic) {
    QList<int> topics;
    SetHelpOpener([&](int t) { topics << t; });
    QTest::mouseClick(form->findChild<QPushButton *>("HelpBtn"), Qt::LeftButton);
    SetHelpOpener({});
    EXPECT_EQ(topics, QList<int>{60200});
}

TEST_F(SetFormTest, StartUpStepFillsTheWindow) {
    QWidget main;
    MakeSetForm(&main);
    ASSERT_TRUE(SetForm);
    EXPECT_EQ(SetForm->parent(), &main);
    IniFile->WriteString("Cards", "DFont", "Georgia");
    LoadCardSettings();
    EXPECT_EQ(CardsDFont, "Georgia");
    EXPECT_EQ(SetForm->findChild<QLineEdit *>("FontName")->text(), "Georgia");
    EXPECT_EQ(SetForm->findChild<QLineEdit *>("TabList")->text(), "500");
    delete SetForm;
    EXPECT_EQ(SetForm, nullptr);
}
