#include "base/AppState.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "TestSupport.h"

namespace {

// Day numbers worked out from the calendar, independent of the code under test.
double day(int y, int m, int d) {
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d)));
}

class DatesTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetDateState();
        ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetDateBoxHook({[this] { return box; },
                        [this] {
                            box.clear();
                            ++emptied;
                        }});
        StartTime = -1;
        EndTime = -1;
    }
    void TearDown() override {
        ResetDateState();
        QuillaryTest::TearDown();
    }

    // Answers the invalid-date box (and the month message before it, when shown).
    void expectInvalidBox(bool monthMessage = false) {
        if (monthMessage) answerer->script(ResultOK);
        answerer->script(ResultCancel);
    }

    QString box;
    int emptied = 0;
};

TEST_F(DatesTest, FormatEventDate) {
    struct Case {
        double date;
        const char *shown;
    };
    const Case cases[] = {
        {46362, "Sun 6-Dec-26"},
        {36526, "Sat 1-Jan-00"},
        {61, "Thu 1-Mar-00"},
        {1095730, "None"},
        {0, ""},
        {46362.75, "Sun 6-Dec-26"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatEventDate(c.date), QString::fromUtf8(c.shown)) << c.date;
    NumericMonth = true;
    EXPECT_EQ(FormatEventDate(46362), QStringLiteral("6-Dec-26"));
    EXPECT_EQ(DayNumberToDate(61), QDate(1900, 3, 1));
    EXPECT_EQ(DateToDayNumber(QDate(2000, 1, 1)), 36526);
    EXPECT_FALSE(DayNumberToDate(std::nan("")).isValid());
}

TEST_F(DatesTest, ParseDateReadsWhatFormatEventDateShows) {
    for (double d : {46362.0, 36526.0, day(1951, 1, 31), NoDate})
        EXPECT_EQ(ParseDate(FormatEventDate(d)), d) << d;
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(DatesTest, ParseDateTable) {
    struct Case {
        const char *format;
        const char *text;
        double date;
    };
    const Case cases[] = {
        // month names, any case, "-" or "."
        {"dd/MM/yyyy", "Sat 6-Dec-26", day(2026, 12, 6)},
        {"dd/MM/yyyy", "6.dec.26", day(2026, 12, 6)},
        {"dd/MM/yyyy", "29-Feb-2028", day(2028, 2, 29)},
        // years
        {"dd/MM/yyyy", "6-Dec-1995", day(1995, 12, 6)},
        {"dd/MM/yyyy", "6-Dec-75", day(1975, 12, 6)},
        {"dd/MM/yyyy", "6-Dec-50", day(2050, 12, 6)},
        {"dd/MM/yyyy", "6-Dec-51", day(1951, 12, 6)},
        {"dd/MM/yyyy", "6-Dec-2075", day(1975, 12, 6)},
        // no date
        {"dd/MM/yyyy", "None", NoDate},
        {"dd/MM/yyyy", "none at all", NoDate},
        {"dd/MM/yyyy", "", 0},
        // numbers in the short format's order, "/", "-" and "." all accepted
        {"dd/MM/yyyy", "6/12/2026", day(2026, 12, 6)},
        {"dd/MM/yyyy", "06.12.26", day(2026, 12, 6)},
        {"dd/MM/yyyy", " 6/12/26 ", day(2026, 12, 6)},
        {"dd/MM/yyyy", "6/12", day(2026, 12, 6)},
        {"dd/MM/yyyy", "1/1/51", day(1951, 1, 1)},
        {"dd/MM/yyyy", "1/1/2075", day(2075, 1, 1)},
        {"M/d/yy", "12/6/26", day(2026, 12, 6)},
        {"M/d/yy", "12/6", day(2026, 12, 6)},
        {"yyyy-MM-dd", "2026-12-06", day(2026, 12, 6)},
        {"yyyy-MM-dd", "12-6", day(2026, 12, 6)},
    };
    for (const Case &c : cases) {
        ShortDateFormat = QString::fromUtf8(c.format);
        EXPECT_EQ(ParseDate(QString::fromUtf8(c.text)), c.date) << c.format << " " << c.text;
    }
    EXPECT_TRUE(answerer->boxes.isEmpty()) << answerer->texts().join("|").toStdString();
}

TEST_F(DatesTest, MissingYearIsThisYearByTheClock) {
    setNow(QDateTime(QDate(2031, 2, 1), QTime(9, 0)));
    EXPECT_EQ(ParseDate(QStringLiteral("6/12")), day(2031, 12, 6));
}

TEST_F(DatesTest, TodayReadsTheDateBox) {
    box = QStringLiteral("6-Dec-1995");
    EXPECT_EQ(ParseDate(QStringLiteral("Today")), day(1995, 12, 6));
    box.clear();
    EXPECT_EQ(ParseDate(QStringLiteral("Today")), 0);
    // The box's own "Today" means today, not another round through the box.
    box = QStringLiteral("Today");
    EXPECT_EQ(ParseDate(QStringLiteral("Today")), day(2026, 12, 6));
    box = QStringLiteral("Today please");
    EXPECT_EQ(ParseDate(QStringLiteral("Today")), day(2026, 12, 6));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(emptied, 0);

    // Without the Events page the box reads as empty.
    SetDateBoxHook({});
    EXPECT_EQ(DateBox(), QString());
    EXPECT_EQ(ParseDate(QStringLiteral("Today")), 0);
}

TEST_F(DatesTest, TodayWithABadDateBoxReportsTheBoxText) {
    box = QStringLiteral("31-Feb-26");
    expectInvalidBox();
    EXPECT_EQ(ParseDate(QStringLiteral("Today")), 0);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->boxes[0].text.startsWith(QStringLiteral("Invalid date 31-Feb-26\n")));
    EXPECT_EQ(box, QString());
}

TEST_F(DatesTest, ConversionErrorsGiveZeroAndTheHelpBox) {
    struct Case {
        QString text;
        bool monthMessage;
    };
    const Case cases[] = {
        {QStringLiteral("6-Foo-26"), true},
        {QStringLiteral("31-Feb-26"), false},
        {QStringLiteral("-"), false},
        {QStringLiteral("6-"), false},
        {QStringLiteral("x-Dec-26"), false},
        {QStringLiteral("6-Dec"), false},
        {QStringLiteral("6/13/26"), false},
        {QStringLiteral("6/12/26/1"), false},
        {QStringLiteral("Dec 6 2026"), false},
        {QStringLiteral("6-Dec-12345"), false},
        {QStringLiteral("6-December-26"), false},
        {QString(10000, 'a'), false},
        {QString(10000, '7'), false},
    };
    for (const Case &c : cases) {
        answerer->clear();
        box = c.text;
        emptied = 0;
        expectInvalidBox(c.monthMessage);
        EXPECT_EQ(ParseDate(c.text), 0) << c.text.left(20).toStdString();
        ASSERT_EQ(answerer->boxes.size(), c.monthMessage ? 2 : 1) << c.text.left(20).toStdString();
        const BoxRequest &b = answerer->boxes.last();
        EXPECT_TRUE(b.text.startsWith(QStringLiteral("Invalid date ") + c.text + '\n'));
        // The date box held this very text, so it was emptied.
        EXPECT_EQ(box, QString());
        EXPECT_EQ(emptied, 1);
    }
}

TEST_F(DatesTest, MonthMessageAbandonsAndClearsTheCommand) {
    CommandItem = reinterpret_cast<QAction *>(this);
    expectInvalidBox(true);
    EXPECT_EQ(ParseDate(QStringLiteral("Sun 6-Foo-26")), 0);
    EXPECT_EQ(CommandItem, nullptr);
}

TEST_F(DatesTest, DateBoxHoldingAnotherTextIsKept) {
    box = QStringLiteral("6-Dec-26");
    expectInvalidBox();
    EXPECT_EQ(ParseDate(QStringLiteral("31-Feb-26")), 0);
    EXPECT_EQ(box, QStringLiteral("6-Dec-26"));
    EXPECT_EQ(emptied, 0);
}

TEST_F(DatesTest, InvalidDateTextAndLog) {
    WriteLog(QStringLiteral("START"));
    expectInvalidBox();
    ParseDate(QStringLiteral("6-"));
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(
        answerer->boxes[0].text,
        QStringLiteral("Invalid date 6-\nYour short date format is dd/MM/yyyy\n"
                       "Valid formats (using today's date for example) are:\n"
                       "6/12      06/12/2026      Sun 06-Dec-26      06/12/2026      06-Dec-26"));
    WriteLog(QStringLiteral("END"));
    const QString log = QString::fromLatin1(ReadFileBytes(path(QStringLiteral("Log.Txt"))));
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Date conversion error.  Short Month Names are: Jan Feb Mar Apr May Jun Jul Aug Sep Oct "
        "Nov Dec \r\n")))
        << log.toStdString();

    // A short format with "-" in it leaves out the last example.
    answerer->clear();
    ShortDateFormat = QStringLiteral("d-M-yy");
    expectInvalidBox();
    ParseDate(QStringLiteral("6-"));
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->boxes[0].text.endsWith(
        QStringLiteral("are:\n6-12      6-12-26      Sun 06-Dec-26      6-12-26")))
        << answerer->boxes[0].text.toStdString();
}

TEST_F(DatesTest, FindTimeTable) {
    struct Case {
        const char *text;
        int start, end; // -1: not set
    };
    const Case cases[] = {
        {"Evening dance 7.30-10.30pm", 450, 630},
        {"8pm-11", 480, 660},
        {"7-10", 420, 600},
        {"Room 101", -1, -1},
        {"Dance at 8pm", 480, -1},
        {"10.30-1.00", 630, 780},
        {"7.30pm - 10.30pm Hall", 450, 630},
        {"Doors 19:30 sharp", 1170, -1},
        {"From 7.5 on", 425, -1},
        // no time
        {"Start 25.00 sharp", -1, -1},
        {"Hall 123.45 open", -1, -1},
        {"Meet 7 to 9", -1, -1},
        {"Ends 0.00 then", -1, -1},
        {"At 9-", -1, -1},  // starts in the last two characters
        {"At 9- ", -1, -1}, // "-" but no second time: neither is stored
        {"", -1, -1},
        // the first time ends the search
        {"7pm or 9pm", 420, -1},
    };
    for (const Case &c : cases) {
        StartTime = -1;
        EndTime = -1;
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(FindTime(text, false), text);
        EXPECT_EQ(StartTime, c.start) << c.text;
        EXPECT_EQ(EndTime, c.end) << c.text;
    }
}

TEST_F(DatesTest, StartOnlyKeepsTheLastEndTime) {
    FindTime(QStringLiteral("7-10"), false);
    FindTime(QStringLiteral("Dance at 8pm"), false);
    EXPECT_EQ(StartTime, 480);
    EXPECT_EQ(EndTime, 600);
}

TEST_F(DatesTest, FormatHourMinFollowsTheLastSeparator) {
    EXPECT_EQ(FormatHourMin(450), QStringLiteral("7.30"));
    FindTime(QStringLiteral("Doors 7:30pm"), false);
    EXPECT_EQ(FormatHourMin(65), QStringLiteral("1:05"));
    FindTime(QStringLiteral("Doors 7.30pm"), false);
    EXPECT_EQ(FormatHourMin(65), QStringLiteral("1.05"));
    EXPECT_EQ(FormatHourMin(0), QString());
    NoTimes = true;
    EXPECT_EQ(FormatHourMin(450), QString());
}

TEST_F(DatesTest, RemovingTimes) {
    struct Case {
        const char *text;
        const char *left;
    };
    const Case cases[] = {
        {"Friday 7.30pm - 10.30pm Hall", "Friday Hall"},
        {"Room 101", "Room 101"},
        {"7-8-9-10-11", ""},
        {"Hall8pm", "Hall"},
        {"Start 25.00 sharp", "Start 25.00 sharp"},
        {"", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FindTime(QString::fromUtf8(c.text), true), QString::fromUtf8(c.left)) << c.text;
        EXPECT_EQ(StartTime, -1) << c.text;
        EXPECT_EQ(EndTime, -1) << c.text;
    }
}

} // namespace
