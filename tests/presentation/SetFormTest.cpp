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
