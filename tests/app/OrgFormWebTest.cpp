#include "EventFormFixture.h"
#include "platform/shell/DocumentOpener.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/ProgrammePage.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>

namespace {

struct PageOpener : DocumentOpener {
    QStringList opened;
    bool open(const QUrl &target) override {
        opened.append(target.toLocalFile());
        return true;
    }
};

const QString Tune = QStringLiteral("https://www.vellamorrisk.com/abc.aspx?T=");

class OrgFormWebTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        SetDataFolder(folder());
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Quillary.mdb\r\nShowTolbrook=0\r\n"
                                             "[Print]\r\n0=Title\r\n1=Music\r\n"
                                             "[Recorded]\r\nRecording=200\r\nTrk=25\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        SetDocumentOpener(&opener);
        addDance("Sloe Gin", {{"Music", "Own tune"}, {"Notes", Tune + "The_Sloe"}});
        addDance("Merry Dancers, The", {{"Music", "Jigs"}, {"Notes", Tune + "Merry_Dancers"}});
    }
    void TearDown() override {
        SetDocumentOpener(nullptr);
        EventFormTest::TearDown();
    }
    QString page() { return QString::fromUtf8(ReadFileBytes(path("Prog.htm"))); }
    qint64 booking(int days, const char *band, const char *programme = "~D|Sloe Gin|Longways|English~") {
        return addEvent(QStringLiteral("Club %1").arg(days), days, Prog(programme), {{"Band", band}});
    }
    PageOpener opener;
};

struct TourCase {
    int laterDays;
    bool offered;
};

class WebTourTest : public OrgFormWebTest, public ::testing::WithParamInterface<TourCase> {};

TEST_P(WebTourTest, BookingsWithinThirtyDaysMakeATour) {
    const TourCase c = GetParam();
    const qint64 first = booking(3, "Fiddlesticks");
    booking(10, "Thistledown");
    booking(3 + c.laterDays, "Fiddlesticks", "~D|Merry Dancers, The|Longways|English~");
    open(first);
    if (c.offered) answerer->script(ResultYes);
    answerer->script(ResultYes); // the button
    form->WebClick(form->WebE);
    EXPECT_EQ(answerer->sawText(QStringLiteral("Process all imminent events with Fiddlesticks?")), c.offered);
    const QString written = page();
    EXPECT_EQ(written.count(QStringLiteral("<H1 ")), c.offered ? 2 : 1);
    EXPECT_FALSE(written.contains(QStringLiteral("Club 10")));
    EXPECT_EQ(written.contains(QStringLiteral("<Center Style=\"Page-break-before: Always\">")), c.offered);
    EXPECT_EQ(written.contains(QStringLiteral("<Title>Tour with Fiddlesticks</Title>")), c.offered);
    const QString query = c.offered ? QStringLiteral("?L1=The_Sloe/Sloe_Gin&amp;L2=Merry_Dancers/The_Merry_Dancers&amp;ForBand=Y\"")
                                    : QStringLiteral("?L1=The_Sloe/Sloe_Gin&amp;ForBand=Y\"");
    const qsizetype button = written.indexOf(query);
    EXPECT_TRUE(button > 0 && button < written.indexOf(QStringLiteral("<Table"))) << written.toStdString();
    EXPECT_EQ(EventsData.GetBookmark(), first);
    EXPECT_EQ(opener.opened, QStringList{path("Prog.htm")});
}

INSTANTIATE_TEST_SUITE_P(Days, WebTourTest, ::testing::Values(TourCase{30, true}, TourCase{31, false}));

TEST_F(OrgFormWebTest, OneBandAsksForTheBandPartNotATour) {
    const qint64 first = booking(3, "Fiddlesticks", "~O|Afternoon: Thistledown~D|Sloe Gin|Longways|English~"
                                                    "O|Evening: Fiddlesticks~D|Merry Dancers, The|Longways|English~");
    booking(5, "Fiddlesticks");
    open(first);
    answerer->scriptText(QStringLiteral("fiddle"));
    answerer->script(ResultNo); // no button
    form->WebClick(form->OneBandM);
    EXPECT_FALSE(answerer->sawText(QStringLiteral("Process all")));
    EXPECT_EQ(form->BandPart, QStringLiteral("fiddle"));
    const QString written = page();
    EXPECT_TRUE(written.contains(QStringLiteral("<B>Evening: Fiddlesticks</B>")));
    EXPECT_FALSE(written.contains(QStringLiteral("Sloe Gin")));
    EXPECT_FALSE(written.contains(QStringLiteral("abc.aspx?L1")));
}

class WebQueryTest : public OrgFormWebTest, public ::testing::WithParamInterface<int> {};

// Two tune keys of the longest length a link gives, and one to fill the
// query up to its length.
TEST_P(WebQueryTest, QueryOverTwoThousandStopsBeforeWriting) {
    const int length = GetParam();
    addDance(QStringLiteral("A"), {{"Notes", Tune + "A" + QString(998, QLatin1Char('x'))}});
    addDance(QStringLiteral("B"), {{"Notes", Tune + "B" + QString(length - 1008, QLatin1Char('x'))}});
    open(booking(3, "Band", "~D|A|Longways|English~D|B|Longways|English~"));
    answerer->script(ResultYes);
    if (length > 2000) {
        EXPECT_THROW(form->WebClick(form->WebE), SilentAbort);
        EXPECT_TRUE(answerer->sawText(QStringLiteral("Too many links - contact Vellam Orrisk")));
        EXPECT_FALSE(QFile::exists(path("Prog.htm")));
    } else {
        form->WebClick(form->WebE);
        EXPECT_TRUE(page().contains(QStringLiteral("ForBand=Y")));
    }
    EXPECT_EQ(PageTunes.TuneQuery.size(), length);
}

INSTANTIATE_TEST_SUITE_P(Lengths, WebQueryTest, ::testing::Values(2000, 2001));

TEST_F(OrgFormWebTest, NoToOverwriteAddsBehindAPageBreak) {
    const qint64 e = booking(3, "Fiddlesticks");
    open(e);
    answerer->script(ResultNo); // no button
    form->WebClick(form->WebE);
    answerer->script(ResultNo); // no button
    answerer->script(ResultNo); // add
    form->WebClick(form->WebE);
    const QString written = page();
    EXPECT_EQ(written.count(QStringLiteral("<Table ")), 2);
    EXPECT_EQ(written.count(QStringLiteral("</Body>")), 1);
    EXPECT_TRUE(written.contains(QStringLiteral("<Title>Events</Title>")));
    const qsizetype pageBreak = written.indexOf(QStringLiteral("<P Style=\"page-break-after: always\">"));
    EXPECT_TRUE(pageBreak > written.indexOf(QStringLiteral("</Table>")) &&
                pageBreak < written.lastIndexOf(QStringLiteral("<Table ")));
    EXPECT_EQ(opener.opened.size(), 2);
}

TEST_F(OrgFormWebTest, WithoutASenderNothingIsSavedOrOpened) {
    const qint64 e = booking(3, "Fiddlesticks");
    open(e);
    answerer->script(ResultNo);
    form->WebClick(nullptr);
    EXPECT_TRUE(PageText.contains(QStringLiteral("Sloe Gin")));
    EXPECT_TRUE(PageText.endsWith(QStringLiteral("</HTML>")));
    EXPECT_FALSE(QFile::exists(path("Prog.htm")));
    EXPECT_TRUE(opener.opened.isEmpty());
}

} // namespace
