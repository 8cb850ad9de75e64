#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "TestSupport.h"

#include <QAction>

namespace {

class MessagesTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        WriteLog(QStringLiteral("START"));
    }
    QByteArray log() const { return ReadFileBytes(path("Log.Txt")); }
};

struct PadCase {
    const char *name;
    QString text;
    QString shown;
};

TEST_F(MessagesTest, ShortMessagesAreCentredWithBlanks) {
    const QString b22(22, ' ');
    const QString x48(48, 'x'), x49(49, 'x'), x50(50, 'x');
    const PadCase cases[] = {
        {"Saved", "Saved", b22 + "Saved" + b22},
        {"empty", "", QString(50, ' ')},
        {"48 characters", x48, " " + x48 + " "},
        {"49 characters", x49, x49},
        {"50 characters", x50, x50},
        {"carriage return", "Saved\rAll", "Saved\nAll"},
        {"line feed only", "ab\ncd", b22 + "ab\ncd" + b22},
    };
    for (const auto &c : cases) {
        answerer->clear();
        ShowMsg(c.text);
        EXPECT_EQ(answerer->texts(), QStringList{c.shown}) << c.name;
    }
}

TEST_F(MessagesTest, BoxShowsLineBreaksAndSingleAmpersandsWhileLogKeepsRawText) {
    ShowMsg(QStringLiteral("Tom & Jerry\r\nsecond\rthird"));
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Tom & Jerry\nsecond\nthird"));
    EXPECT_TRUE(log().endsWith("14.05.09  Tom & Jerry\r\nsecond\rthird\r\n"));

    ShowMsgUnlogged(QStringLiteral("not in the log"));
    EXPECT_FALSE(log().contains("not in the log"));
}

// Throws from every box, as a failing window would.
class ThrowingPresenter : public MessagePresenter {
public:
    BoxResult present(const BoxRequest &) override { throw std::runtime_error("box failed"); }
};

TEST_F(MessagesTest, TimeoutIsUsedOnceAndAlwaysReset) {
    MsgTimeout = 2000;
    ShowMsg(QStringLiteral("Moved"));
    ShowMsg(QStringLiteral("Again"));
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[0].timeoutMs, 2000);
    EXPECT_EQ(answerer->boxes[1].timeoutMs, 0);
    EXPECT_EQ(MsgTimeout, 0);

    MsgTimeout = 1000;
    EXPECT_THROW(AbortMsg(QStringLiteral("Stop")), SilentAbort);
    EXPECT_EQ(MsgTimeout, 0);

    ThrowingPresenter failing;
    SetMessagePresenter(&failing);
    MsgTimeout = 500;
    EXPECT_THROW(ShowMsg(QStringLiteral("x")), std::runtime_error);
    EXPECT_EQ(MsgTimeout, 0);
    SetMessagePresenter(answerer.get());
}

TEST_F(MessagesTest, AbortMsgShowsClearsCommandItemAndAbandons) {
    QAction item(QStringLiteral("Check all"));
    CommandItem = &item;
    EXPECT_THROW(AbortMsg(QStringLiteral("Nothing to do")), SilentAbort);
    EXPECT_EQ(CommandItem, nullptr);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->boxes[0].text.contains(QStringLiteral("Nothing to do")));
    EXPECT_TRUE(log().contains("  Nothing to do"));
}

TEST_F(MessagesTest, DebuggerIsSeenInTracerPid) {
    EXPECT_FALSE(TracedInStatus("Name:\tquillary\nTracerPid:\t0\nUid:\t0\n"));
    EXPECT_TRUE(TracedInStatus("Name:\tquillary\nTracerPid:\t4711\nUid:\t0\n"));
    EXPECT_FALSE(TracedInStatus("Name:\tquillary\n"));
}

TEST_F(MessagesTest, QuestionsGiveTheirResults) {
    struct Case {
        int answer;
        bool yesNo;
        int yesNoCancel;
    };
    // 0 is a box closed without a button.
    const Case cases[] = {
        {ResultYes, true, 6}, {ResultNo, false, 7}, {ResultCancel, false, 2}, {0, false, 2}};
    for (const auto &c : cases) {
        answerer->script(c.answer);
        EXPECT_EQ(YesNo(QStringLiteral("Delete?")), c.yesNo) << c.answer;
        answerer->script(c.answer);
        EXPECT_EQ(YesNoCancel(QStringLiteral("Save?")), c.yesNoCancel) << c.answer;
        answerer->script(c.answer);
        EXPECT_EQ(YesNoHelp(QStringLiteral("Report?"), 58350), c.yesNo) << c.answer;
    }
}

TEST_F(MessagesTest, QuestionIsLoggedButNotItsAnswer) {
    answerer->script(ResultYes);
    YesNo(QStringLiteral("Rock & roll?"));
    EXPECT_TRUE(log().endsWith("14.05.09  START\r\n14.05.09  Rock & roll?\r\n"));
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Rock & roll?"));
}

// Records what the three-button state holds while the box is up.
class StatePresenter : public MessagePresenter {
public:
    BoxResult present(const BoxRequest &r) override {
        showing = BoxShowing;
        help = BoxHelpContext;
        request = r;
        return answer;
    }
    bool showing = false;
    int help = -1;
    BoxRequest request;
    BoxResult answer;
};

TEST_F(MessagesTest, DBox3LogsTextThenAnsweringCaption) {
    struct Case {
        int answer;
        int result;
        const char *logged;
    };
    const Case cases[] = {{7, 7, "&Drop"}, {0, 2, "Cancel"}};
    for (const auto &c : cases) {
        StatePresenter p;
        p.answer.result = c.answer;
        SetMessagePresenter(&p);
        const int got = DBox3(QStringLiteral("Keep\rit?"), QStringLiteral("&Keep"),
                              QStringLiteral("&Drop"), 40100, QStringLiteral("Cancel"));
        SetMessagePresenter(answerer.get());
        EXPECT_EQ(got, c.result);
        EXPECT_TRUE(p.showing);
        EXPECT_EQ(p.help, 40100);
        EXPECT_EQ(p.request.text, QStringLiteral("Keep\nit?"));
        EXPECT_FALSE(BoxShowing);
        EXPECT_EQ(BoxHelpContext, 0);
        EXPECT_TRUE(
            log().endsWith(QByteArray("14.05.09  Keep\rit?\r\n14.05.09  ") + c.logged + "\r\n"))
            << c.answer;
    }
}

TEST_F(MessagesTest, ScaledSizeRoundsQuarters) {
    struct Case {
        int n, quarters, want;
    };
    // n x 1.25 rounded half up at large fonts.
    const Case cases[] = {{250, 4, 250}, {250, 5, 313}, {2, 5, 3}, {1, 5, 1}};
    for (const auto &c : cases) {
        ScaleQuarters = c.quarters;
        EXPECT_EQ(ScaledSize(c.n), c.want) << c.n << " at " << c.quarters;
    }
}

TEST(AuthorFolder, OnlyTheDevelopmentFolderUnderHome) {
    struct Case {
        const char *folder;
        bool author;
    };
    const Case cases[] = {
        {"/home/ann/QuillaryDev/", true},  {"/home/ann/QuillaryDev", true},
        {"/home/ann/quillarydev/", false}, {"/home/bob/QuillaryDev/", false},
        {"/home/ann/QuillaryDev/build/", false}, {"", false}};
    for (const auto &c : cases)
        EXPECT_EQ(IsAuthorFolder(QString::fromUtf8(c.folder), QStringLiteral("/home/ann")),
                  c.author)
            << c.folder;
}

} // namespace
