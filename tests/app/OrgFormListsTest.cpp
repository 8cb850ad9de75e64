#include "DancePageFixture.h"
#include "base/Dates.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class ListsWindowTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        QDir::setCurrent(folder());
    }
    RecordingOpener opener;
};

// The history lists the other events that called the dance, last first,
// and a click shows that event.
TEST_F(ListsWindowTest, WhenListsTheEventsAndShowsOne) {
    addDance("Hole", "Longways", "Duple");
    addEvent("Club", 46000, "One", Prog("*D|Hole|Longways|Duple*"));
    addEvent("Barn", 46007, "Two", Prog("*O|Next time*D|Hole|Longways|Duple*"));
    addEvent("Hall", 46014, "Three", Prog("*D|Hole|Longways|Duple§1*"));
    addEvent("Club", 46021, "Four", Prog("*D|Hole|Longways|Duple*"));
    open();
    EventsData.Last();
    form->show();
    form->WhenClick(form->WhenM);
    ASSERT_TRUE(form->PopList->isVisible());
    QStringList entries;
    for (int i = 0; i < form->PopList->count(); ++i) entries << form->PopList->item(i)->text();
    EXPECT_EQ(entries, QStringList({FormatEventDate(46014) + ": Hall", FormatEventDate(46000) + ": Club"}));
    EXPECT_EQ(form->PopList->width(), 200);
    EXPECT_EQ(EventDay(), 46021) << "the diary was read without moving Events";
    form->PopListClick(form->PopList->item(1));
    EXPECT_EQ(EventDay(), 46000);
    EXPECT_FALSE(form->PopList->isVisible());
}

TEST_F(ListsWindowTest, RankNeedsABoundBoxAndPendingTheInternalEditor) {
    addDance("Hole", "Longways", "Duple", {{"Rhythm", "Jig"}});
    open();
    form->show();
    form->Notes->setFocus();
    form->RankClick();
    EXPECT_EQ(helps, QList<int>({55530}));
    form->Rhythm->setFocus();
    form->RankClick();
    EXPECT_TRUE(QFile::exists(path("Temp.Txt")));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(opener.opened[0].endsWith("Temp.Txt"));

    StoreOption("IntEditor", false);
    form->PendingClick(form->Pending);
    EXPECT_TRUE(answerer->sawText("To use this, change your settings to use the Internal Editor."));
    StoreOption("IntEditor", true);
    form->PendingClick(form->Pending);
    EXPECT_TRUE(answerer->sawText("No dances waiting to be printed"));
    EXPECT_FALSE(DancesData.Filtered());
}

} // namespace
