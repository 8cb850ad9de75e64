// The help map against the sources and the pages, and the help window's
// answers to context numbers and F1.

#include "TestSupport.h"

#include "base/Log.h"
#include "core/help/HelpHook.h"
#include "core/help/HelpWindow.h"
#include "core/services/Help.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>

namespace {

QString ReadText(const QString &name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every context number the sources hand to OpenHelp, to a message box, to a
// command or to a "helpContext" property, with where it was found.
QMap<int, QString> ContextsInSources() {
    static const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral(R"(OpenHelp\((\d+)\))")),
        QRegularExpression(QStringLiteral(R"(constexpr int \w*Help\w* = (\d+);)")),
        QRegularExpression(QStringLiteral(R"(\b(?:OKHelpCancel|YesNoHelp)\([^;]*?,\s*(\d+)\))"),
                           QRegularExpression::DotMatchesEverythingOption),
        QRegularExpression(QStringLiteral(R"(\bDBox3\([^;]*?,\s*(\d+),[^,;]*\))"),
                           QRegularExpression::DotMatchesEverythingOption),
        QRegularExpression(QStringLiteral(R"(addCommand\([^;]*?,\s*(\d+),)")),
        QRegularExpression(QStringLiteral(R"re("[Hh]elpContext",\s*(\d+))re")),
        QRegularExpression(QStringLiteral(R"(\{\w+Page, (\d+)\})")),
    };
    QMap<int, QString> found;
    for (const char *dir : {"base", "platform", "core", "programme", "presentation", "publishing", "app"}) {
        QDirIterator it(QStringLiteral(QUILLARY_SOURCE_DIR "/") + dir, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString text = ReadText(file);
            for (const QRegularExpression &re : patterns) {
                for (auto m = re.globalMatch(text); m.hasNext();) {
                    const int n = m.next().captured(1).toInt();
                    if (n > 0) found.insert(n, file);
                }
            }
        }
    }
    return found;
}

TEST(HelpMap, EveryContextHasAnExistingPageAndAnchor) {
    const HelpMap map = HelpMap::compiledIn();
    EXPECT_TRUE(map.problems().isEmpty()) << map.problems().join('\n').toStdString();
    ASSERT_GT(map.contexts().size(), 90);
    const QMap<int, QString> used = ContextsInSources();
    ASSERT_GT(used.size(), 20); // the scan does find the sources
    for (auto it = used.begin(); it != used.end(); ++it)
        EXPECT_FALSE(map.target(it.key()).isEmpty()) << it.key() << " from " << it.value().toStdString();
    for (int n : map.contexts()) {
        const QString target = map.target(n);
        const QString page = target.section('#', 0, 0), anchor = target.section('#', 1);
        const QString html = ReadText(QStringLiteral(":/help/") + page);
        EXPECT_FALSE(html.isEmpty()) << n << " " << page.toStdString();
        if (!anchor.isEmpty()) {
            EXPECT_TRUE(html.contains("name=\"" + anchor + "\"")) << n << " " << target.toStdString();
        }
    }
}

TEST(HelpMap, SkipsAndReportsMalformedLines) {
    const HelpMap map(QStringLiteral("# note\n10=a.html\nx=b.html\n20=\n10=c.html\n 30 = d.html#e \n"));
    EXPECT_EQ(map.contexts().size(), 2);
    EXPECT_EQ(map.target(30), QStringLiteral("d.html#e"));
    EXPECT_EQ(map.target(10), QStringLiteral("a.html"));
    EXPECT_EQ(map.problems().size(), 3);
}

class HelpHookTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        WriteLog("START");
        hook = std::make_unique<THookHelpSystem>();
    }
    void TearDown() override {
        hook.reset();
        QuillaryTest::TearDown();
    }
    QString shown() const { return hook->Window()->Browser->source().toString(); }
    std::unique_ptr<THookHelpSystem> hook;
};

TEST_F(HelpHookTest, RequestsAndUnknownNumbers) {
    OpenHelp(58350);
    ASSERT_TRUE(hook->Window());
    EXPECT_TRUE(hook->Window()->isVisible());
    EXPECT_EQ(shown(), "qrc:/help/report.html#errors");
    EXPECT_TRUE(hook->HelpRequest(8, 30000));
    EXPECT_EQ(shown(), "qrc:/help/events.html");
    EXPECT_FALSE(hook->HelpRequest(2, 30000));
    OpenHelp(4242);
    EXPECT_EQ(shown(), "qrc:/help/index.html");
    EXPECT_TRUE(QString::fromLatin1(ReadFileBytes(path("Log.Txt"))).contains("Help: no page for context 4242"));
}

TEST_F(HelpHookTest, F1TakesTheNearestContext) {
    QWidget page;
    page.setProperty("helpContext", 40000);
    auto *inside = new QLineEdit(&page);
    QWidget bare;
    auto *plain = new QLineEdit(&bare);
    const struct {
        QWidget *top, *focus;
        const char *shows;
    } table[] = {{&page, inside, "qrc:/help/dances.html"}, {&bare, plain, "qrc:/help/index.html"}};
    for (const auto &row : table) {
        row.top->show();
        QApplication::setActiveWindow(row.top);
        row.focus->setFocus();
        QTest::keyClick(row.focus, Qt::Key_F1);
        ASSERT_TRUE(hook->Window());
        EXPECT_EQ(shown(), row.shows);
        row.top->hide();
    }
}

TEST_F(HelpHookTest, DestructorClosesTheWindowAndRestoresTheDefault) {
    OpenHelp(10000);
    QPointer<THelpWindow> window = hook->Window();
    hook.reset();
    EXPECT_TRUE(!window || !window->isVisible());
    OpenHelp(30000); // the default only logs
    EXPECT_TRUE(QString::fromLatin1(ReadFileBytes(path("Log.Txt"))).contains("Help 30000"));
}

} // namespace
