#include "base/Dates.h"
#include "TestSupport.h"

namespace {

class DatesTimeRangeTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetDateState();
    }
    void TearDown() override {
        ResetDateState();
        QuillaryTest::TearDown();
    }
};

TEST_F(DatesTimeRangeTest, FindsStartEndAndSeparator) {
    struct Case {
        const char *text;
        int start, end;
        char sep; // 0: none written
    };
    const Case cases[] = {
        {"Doors 19:30 sharp", 1170, 0, ':'},
        {"7.30-10:30", 450, 630, ':'},
        {"At 9- ", 0, 0, 0},           // "-" without a second time: nothing
        {"Room 3. at 8pm", 480, 0, 0}, // a "." that made no time is not the separator
    };
    for (const Case &c : cases) {
        const FoundTime found = FindTimeRange(QString::fromUtf8(c.text));
        EXPECT_EQ(found.start, c.start) << c.text;
        EXPECT_EQ(found.end, c.end) << c.text;
        EXPECT_EQ(found.separator, c.sep ? QChar(c.sep) : QChar()) << c.text;
    }
}

TEST_F(DatesTimeRangeTest, LeavesTheSharedTimesAlone) {
    StartTime = 600;
    EndTime = 660;
    TimeSep = ':';
    const FoundTime found = FindTimeRange(QStringLiteral("Dance at 7.30pm"));
    EXPECT_EQ(found.start, 450);
    EXPECT_EQ(found.end, 0); // no end from an earlier range
    EXPECT_EQ(StartTime, 600);
    EXPECT_EQ(EndTime, 660);
    EXPECT_EQ(TimeSep, QChar(':'));
}

TEST_F(DatesTimeRangeTest, FormatWithAGivenSeparator) {
    NoTimes = true;
    EXPECT_EQ(FormatHourMin(450, ':'), QStringLiteral("7:30"));
    EXPECT_EQ(FormatHourMin(1505, '.'), QStringLiteral("25.05"));
    EXPECT_EQ(FormatHourMin(0, '.'), QString());
    EXPECT_EQ(FormatHourMin(450), QString());
}

} // namespace
