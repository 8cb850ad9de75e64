#include "DancePageFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

class ToolsWindowTest : public DancePageTest {};

// The pick list lent to the Reorganise window comes back to the main window,
// and a Style rename there shows in the event's programme.
TEST_F(ToolsWindowTest, ReorganiseRenamesAStyleAndReturnsThePickList) {
    addDance("Hole", "Longways", "Duple");
    addDance("Other", "Circle", "Mixer");
    addEvent("Club", 46000, "One", Prog("*D|Hole|Longways|Duple§2*D|Other|Circle|Mixer*"));
    open();
    answerer->script(ResultYes); // "1 dance(s) selected.\rContinue?"
    WhenModal([](QWidget *box) {
        auto *oldStyle = box->findChild<QLineEdit *>("O_Style");
        ASSERT_NE(oldStyle, nullptr);
        QTest::keyClicks(oldStyle, "Duple");
        box->findChild<QLineEdit *>("N_Style")->setText("Triple");
        box->findChild<QPushButton *>("GoBtn")->click();
    });
    form->ReorgClick();
    EXPECT_EQ(form->PopList->parentWidget(), form.get());
    EXPECT_EQ(scalar("SELECT Programme FROM Events").toString(), Prog("*D|Hole|Longways|Triple§2*D|Other|Circle|Mixer*"));
}

} // namespace
