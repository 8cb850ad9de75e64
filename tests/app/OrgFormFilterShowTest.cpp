#include "base/Dates.h"
#include "core/database/SampleCatalogue.h"
#include "DancePageFixture.h"
#include "platform/rtf/RichEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// Every filter command that can move the Dances record shows the whole dance
// it lands on, not only the bound boxes: an edit would otherwise be stored
// on the wrong dance.
class FilterShowTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        writeIni("DOrder=FST\r\nCTimes=10\r\nCPeriod=18\r\n",
                 "[$Workshop]\r\n|Grand Chain|Circle|Technique|=1\r\n");
        dance("Grand Chain", "Circle", "Technique", {});
        dance("Cobbler's Hornpipe", "Longways", "Scottish", {{"Called", 3}, {"OwnTune", "Y"}});
        dance("Old Favourite", "Longways", "English", {{"Called", 15}});
        const double today = DateToDayNumber(QDate(2026, 12, 6));
        addEvent("Club", today - 10 + 0.8125, "Social", Prog("*D|Cobbler's Hornpipe|Longways|Scottish*"));
        addEvent("Club", today + 0.8125, "Dance", QString());
    }
    void dance(const QString &t, const QString &f, const QString &s, QList<QPair<QString, QVariant>> extra) {
        extra += {{"Instructions", InstructionRtf({t + " steps"})}, {"Notes", t + " notes"}, {"Music", t + " tune"}};
        addDance(t, f, s, extra);
    }
    QString field(const QString &name) { return DancesData.FieldByName(name).AsString(); }
};

} // namespace

TEST_F(FilterShowTest, CommandsThatMoveTheDanceShowItWhole) {
    open();
    EventsData.Last();
    struct Case {
        const char *name;
        std::function<void()> command;
    };
    const QList<Case> cases = {
        {"Never called", [] { NeverClick(); }},
        {"Neglected",
         [this] {
             answerer->script(ResultYes);
             NeglectedClick();
         }},
        {"Not recent", [] { NotClick(NotSelection::Recent); }},
        {"Not this Org", [] { NotClick(NotSelection::This); }},
        {"Odd format", [] { OddFormatClick(); }},
        {"tag Filter!",
         [] {
             SetTagSet("Workshop");
             TagFilterClick(true);
         }},
    };
    for (const Case &c : cases) {
        SetFilter(FilterTable::Dances, 1);
        form->LocateDance("Cobbler's Hornpipe", "Longways", "Scottish");
        form->ShowDance();
        const qint64 start = DancesData.GetBookmark();
        c.command();
        ASSERT_TRUE(DancesData.Filtered()) << c.name;
        EXPECT_NE(DancesData.GetBookmark(), start) << c.name;
        const QString title = field("Title");
        EXPECT_EQ(form->Title->text(), title) << c.name;
        EXPECT_EQ(form->Format->text(), field("Format")) << c.name;
        EXPECT_EQ(form->Notes->toPlainText(), field("Notes")) << c.name;
        EXPECT_TRUE(form->Instructions->toPlainText().contains(title + " steps")) << c.name;
        EXPECT_EQ(form->Music->text(), field("Music")) << c.name;
        EXPECT_EQ(form->OwnTune->isChecked(), field("OwnTune") == "Y") << c.name;
    }
}
