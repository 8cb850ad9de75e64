#include "base/Dates.h"
#include "core/database/SampleCatalogue.h"
#include "DancePageFixture.h"
#include "platform/rtf/RichEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

// Every filter command that moves the Dances record shows the whole dance it
// lands on, not only the bound boxes: an edit would otherwise be stored on
// the wrong dance. Each filter going off leaves the caption without it.
TEST_F(DancePageTest, FilterCommandsThatMoveTheDanceShowItWhole) {
    writeIni("DOrder=FST\r\nCTimes=10\r\nCPeriod=18\r\n", "[$Workshop]\r\n|Grand Chain|Circle|Technique|=1\r\n");
    for (const auto &[t, f, s, called] : {std::tuple{"Grand Chain", "Circle", "Technique", QVariant()},
                                          {"Cobbler's Hornpipe", "Longways", "Scottish", 3},
                                          {"Old Favourite", "Longways", "English", 15}})
        addDance(t, f, s, {{"Called", called}, {"OwnTune", called == 3 ? "Y" : ""}, {"Notes", t + QString(" notes")},
                           {"Instructions", InstructionRtf({t + QString(" steps")})}, {"Music", t + QString(" tune")}});
    addEvent("Club", DateToDayNumber(QDate(2026, 12, 1)) + 0.8, "Social", Prog("*D|Cobbler's Hornpipe|Longways|Scottish*"));
    addEvent("Club", DateToDayNumber(QDate(2026, 12, 6)) + 0.8, "Dance", QString());
    open();
    EventsData.Last();
    const std::function<void()> commands[] = {
        [] { SetTagSet("Workshop"), TagFilterClick(true); },
        [] { NeverClick(); },
        [this] { answerer->script(ResultYes), NeglectedClick(); },
        [] { NotClick(NotSelection::Recent); },
        [] { NotClick(NotSelection::This); },
        [] { OddFormatClick(); }};
    for (const auto &command : commands) {
        SetFilter(FilterTable::Dances, 1); // and the caption tells no more of it
        EXPECT_FALSE(form->windowTitle().contains("filtered")) << form->windowTitle().toStdString();
        form->LocateDance("Cobbler's Hornpipe", "Longways", "Scottish");
        form->ShowDance();
        command();
        const auto field = [](const char *name) { return DancesData.FieldByName(name).AsString(); };
        ASSERT_NE(field("Title"), "Cobbler's Hornpipe");
        EXPECT_EQ(form->Title->text(), field("Title"));
        EXPECT_EQ(form->Notes->toPlainText(), field("Notes"));
        EXPECT_TRUE(form->Instructions->toPlainText().contains(field("Title") + " steps"));
        EXPECT_EQ(form->Music->text(), field("Music")) << field("Title").toStdString();
        EXPECT_EQ(form->OwnTune->isChecked(), field("OwnTune") == "Y");
    }
}
