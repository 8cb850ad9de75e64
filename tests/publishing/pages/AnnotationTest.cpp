#include "publishing/pages/Annotation.h"
#include "TestSupport.h"

#include <QProcess>

namespace {

TEST(Annotation, TypedTextAsTheBoxHtml) {
    const struct {
        const char16_t *typed;
        const char *html;
        bool open;
    } cases[] = {
        {u"Say \"hi\" and \"bye\"", "Say &ldquo;hi&rdquo; and &ldquo;bye&rdquo;", false},
        {u"One \"quote", "One &ldquo;quote", true},
        {u"Tea - then\u2014cake", "Tea &ndash; then &ndash; cake", false},
        {u"Line one\nLine two\r\nthree", "Line one<br />Line two<br />three", false},
        {u"Two  blanks R&D caf\u00e9", "Two&nbsp; blanks R&amp;D caf&#233;", false},
        {u"Mail <ann@hf.org> or <a href=\"mailto:ann@hf.org\">Ann</a> <b>now</b>",
         "Mail &lt;ann@hf.org> or <a href=\"mailto:ann@hf.org\">Ann</a> <b>now</b>", false},
    };
    for (const auto &c : cases) {
        bool open = false;
        EXPECT_EQ(AnnotationHtml(QString::fromUtf16(c.typed), &open), QString::fromUtf8(c.html));
        EXPECT_EQ(open, c.open) << c.html;
    }
}

TEST_F(QuillaryTest, AnnotatingTwiceEditsTheOneBox) {
    const QString page = path("Prog.htm");
    const QByteArray head = "<!DOCTYPE HTML><HTML><Head><Title>x</Title></Head>\r\n<Body BgColor=White>\r\n";
    WriteFileBytes(page, head + "<H1>Caf\xc3\xa9</H1></Body></HTML>");
    const QString first = QStringLiteral("Say \"hi\" - caf\u00e9 & co\r\nSee <ann@hf.org>");
    QStringList shown;
    const auto edit = [&](const QString &text) {
        return [&shown, text](const QString &old) -> std::optional<QString> {
            shown.append(old);
            return text;
        };
    };
    EXPECT_TRUE(AnnotatePageFile(page, edit(first)));
    EXPECT_TRUE(AnnotatePageFile(page, edit(QStringLiteral("Second \"note"))));
    EXPECT_FALSE(AnnotatePageFile(page, [&shown](const QString &old) { return shown.append(old), std::optional<QString>(); }));
    EXPECT_EQ(shown, QStringList({QString(), first, QStringLiteral("Second \"note")}));
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Quotes not closed.")));
    const QByteArray written = ReadFileBytes(page);
    EXPECT_EQ(written.count("ECD9F0"), 1);
    EXPECT_TRUE(written.contains("<Body BgColor=White><table align=\"center\"")) << written.toStdString();
    EXPECT_TRUE(written.contains("<tr><td>Second &ldquo;note</td></tr></table>\n<p />\r\n<H1>Caf\xc3\xa9</H1>")) << written.toStdString();
    // A page without a body tag gets the box at its very start.
    WriteFileBytes(page, "<P>x");
    AnnotatePageFile(page, edit(QStringLiteral("y")));
    EXPECT_TRUE(ReadFileBytes(page).startsWith("<table") && ReadFileBytes(page).endsWith("<p /><P>x"));
    QFile::remove(page);
    EXPECT_THROW(AnnotatePageFile(page, edit(QStringLiteral("z"))), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("No web page to annotate.")));
}

} // namespace

// The annotated page parses as a browser parses it (ctest label "browser").
class BrowserAnnotation : public QuillaryTest {};

TEST_F(BrowserAnnotation, AnnotatedPageParses) {
    const QString page = path("Prog.htm");
    WriteFileBytes(page, "<!DOCTYPE HTML><HTML><Head><Title>x</Title></Head>\r\n<Body BgColor=White>\r\n<P>x</Body></HTML>");
    AnnotatePageFile(page, [](const QString &) {
        return std::optional<QString>(QStringLiteral("Dear \"Band\" - caf\u00e9\r\n<ann@hf.org> <a href=\"mailto:a@b.org\">a</a>  x"));
    });
    QProcess check;
    // The box ends with the "<p />" that older pages hold, which a browser reads as "<p>".
    check.start(QStringLiteral(QUILLARY_SOURCE_DIR "/tests/check_html.py"), {"--allow", "non-void-element-with-trailing-solidus", page});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString() << check.readAllStandardError().toStdString();
}
