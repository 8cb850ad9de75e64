// The help map against the sources and the pages; the help window by number and by F1.

#include "TestSupport.h"

#include "base/Log.h"
#include "core/help/HelpHook.h"
#include "core/help/HelpWindow.h"
#include "core/services/Help.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {

// Every context number the sources hand to OpenHelp, to a message box, to a
// command or to a "helpContext" property, with the file it was found in.
QMap<int, QString> ContextsInSources() {
    const QRegularExpression re(
        QStringLiteral(R"re(OpenHelp\((\d+)\)|constexpr int \w*Help\w* = (\d+);|\b(?:OKHelpCancel|YesNoHelp)\()re"
                       R"re([^;]*?,\s*(\d+)\)|\bDBox3\([^;]*?,\s*(\d+),[^,;]*\)|addCommand\([^;]*?,\s*(\d+),|)re"
                       R"re("[Hh]elpContext",\s*(\d+)|\{\w+Page, (\d+)\})re"),
        QRegularExpression::DotMatchesEverythingOption);
    QMap<int, QString> found;
    for (const char *dir : {"base", "platform", "core", "programme", "presentation", "publishing", "app"}) {
        QDirIterator it(QStringLiteral(QUILLARY_SOURCE_DIR "/") + dir, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            for (auto m = re.globalMatch(QString::fromUtf8(ReadFileBytes(file))); m.hasNext();)
                for (const QString &n : m.next().capturedTexts().mid(1))
                    if (n.toInt() > 0) found.insert(n.toInt(), file);
        }
    }
    return found;
}

TEST(HelpMap, EveryContextHasAnExistingPageAndAnchor) {
    const HelpMap map = HelpMap::compiledIn();
    EXPECT_TRUE(map.problems().isEmpty()) << map.problems().join('\n').toStdString();
    const QMap<int, QString> used = ContextsInSources();
    ASSERT_GT(used.size(), 30); // the scan does find the sources
    for (auto it = used.begin(); it != used.end(); ++it)
        EXPECT_FALSE(map.target(it.key()).isEmpty()) << it.key() << " from " << it.value().toStdString();
    for (int n : map.contexts()) {
        const QString target = map.target(n), anchor = target.section('#', 1);
        const QString html = QString::fromUtf8(ReadFileBytes(":/help/" + target.section('#', 0, 0)));
        EXPECT_TRUE(!html.isEmpty() && (anchor.isEmpty() || html.contains("name=\"" + anchor + "\"")))
            << n << " " << target.toStdString();
    }
}

TEST_F(QuillaryTest, HelpHookAnswersNumbersAndF1) {
    WriteLog("START");
    THookHelpSystem hook;
    const auto shown = [&] { return hook.Window()->Browser->source().toString(); };
    OpenHelp(58350);
    ASSERT_TRUE(hook.Window() && hook.Window()->isVisible());
    EXPECT_EQ(shown(), "qrc:/help/report.html#errors");
    EXPECT_TRUE(hook.HelpRequest(8, 30000));
    EXPECT_EQ(shown(), "qrc:/help/events.html");
    EXPECT_FALSE(hook.HelpRequest(2, 70000));
    OpenHelp(4242);
    EXPECT_EQ(shown(), "qrc:/help/index.html");
    EXPECT_TRUE(QString::fromLatin1(ReadFileBytes(path("Log.Txt"))).contains("Help: no page for context 4242"));

    QWidget page;
    page.setProperty("helpContext", 40000);
    auto *inside = new QLineEdit(&page), *outside = new QLineEdit;
    for (QLineEdit *box : {inside, outside}) {
        box->window()->show();
        QApplication::setActiveWindow(box->window());
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F1);
        EXPECT_EQ(shown(), box == inside ? "qrc:/help/dances.html" : "qrc:/help/index.html");
    }
    delete outside;
}

// Esc closes the help window, wherever its focus is; other keys leave it.
TEST_F(QuillaryTest, EscClosesTheHelpWindow) {
    THelpWindow help;
    for (QWidget *focus : {static_cast<QWidget *>(help.Browser), static_cast<QWidget *>(help.HomeBtn)}) {
        help.ShowTopic(QStringLiteral("index.html"));
        QApplication::setActiveWindow(&help);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Down);
        EXPECT_TRUE(help.isVisible());
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(help.isVisible()) << focus->objectName().toStdString();
    }
}

} // namespace
