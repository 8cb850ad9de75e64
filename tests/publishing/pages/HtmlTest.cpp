#include "publishing/pages/Html.h"
#include "TestSupport.h"

#include <QRandomGenerator>

namespace {

struct EscapeCase {
    const char *name;
    const char16_t *text;
    char16_t separator;
    const char *escaped;
};

void PrintTo(const EscapeCase &c, std::ostream *os) { *os << c.name; }

class EscapeHtmlTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeHtmlTest, EscapesTextAndKeepsMarkUp) {
    const EscapeCase &c = GetParam();
    const QString once = EscapeHtml(QString::fromUtf16(c.text), QChar(c.separator));
    EXPECT_EQ(once, QString::fromUtf8(c.escaped));
    EXPECT_EQ(EscapeHtml(once, QChar(c.separator)), once);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeHtmlTest,
    ::testing::Values(
        EscapeCase{"AmpersandBetweenBlanks", u"Rock & Roll", u'·', "Rock &amp; Roll"},
        EscapeCase{"NamedEntityKept", u"a&nbsp;b", u'·', "a&nbsp;b"},
        EscapeCase{"NumericKept", u"caf&#233;", u'·', "caf&#233;"},
        EscapeCase{"BareSemicolonKept", u"x&;y", u'·', "x&;y"},
        EscapeCase{"AtTheEnd", u"Salt &", u'·', "Salt &amp;"},
        EscapeCase{"RunWithoutSemicolon", u"AT&T", u'·', "AT&amp;T"},
        EscapeCase{"DotSeparator", u"·D|A|B|C·", u'·', "&bull;D|A|B|C&bull;"},
        EscapeCase{"EuroSeparator", u"a€b·c", u'€', "a&bull;b&#183;c"},
        EscapeCase{"Raquo", u"» next", u'·', "&raquo; next"},
        EscapeCase{"CodePointsNotBytes", u"don’t é", u'·', "don&#8217;t &#233;"},
        EscapeCase{"SurrogatePair", u"\U0001D11E clef", u'·', "&#119070; clef"},
        EscapeCase{"MarkUpKept", u"<a href=\"x\">é</a>", u'·', "<a href=\"x\">&#233;</a>"}));

TEST(EscapeHtmlRandom, GivesAsciiThatASecondRunKeeps) {
    QRandomGenerator random(22);
    const QString pool = QStringLiteral("ab&;#1 <>\"·»é’€x");
    for (int i = 0; i < 500; ++i) {
        QString s;
        const int length = random.bounded(30);
        for (int j = 0; j < length; ++j) s += pool[random.bounded(int(pool.size()))];
        const QString once = EscapeHtml(s, QChar(0xB7));
        for (QChar c : once) ASSERT_LT(c.unicode(), 128) << s.toStdString();
        ASSERT_EQ(EscapeHtml(once, QChar(0xB7)), once) << s.toStdString();
    }
}

TEST(PageHead, TableFontFromPrintSettings) {
    const QString given = PageHead(QStringLiteral("T"), QStringLiteral("10"), QStringLiteral("Verdana"));
    EXPECT_TRUE(given.startsWith(QStringLiteral("<!DOCTYPE HTML><HTML><Head><Title>T</Title>\r\n<Meta charset=\"utf-8\">\r\n")));
    EXPECT_TRUE(given.contains(QStringLiteral("    TD   {Font-Size: 10pt; Font-Family: Verdana}\r\n")));
    EXPECT_TRUE(given.endsWith(QStringLiteral("@media print {.NoPrint {Display: None;}}</Style>\r\n")));
    EXPECT_FALSE(given.contains(QStringLiteral("</Head>")));
    WritePageHead(QStringLiteral("T")); // no settings: the defaults
    EXPECT_TRUE(PageText.contains(QStringLiteral("{Font-Size: 12pt; Font-Family: Arial, Sans-Serif}")));
}

struct FontStep {
    const char *face;
    int size;
};

struct FontCase {
    const char *name;
    bool useCss;
    std::vector<FontStep> steps;
    const char *page;
    bool openAfter;
};

void PrintTo(const FontCase &c, std::ostream *os) { *os << c.name; }

class OpenFontTagTest : public ::testing::TestWithParam<FontCase> {};

TEST_P(OpenFontTagTest, WritesTheTagsOfASequence) {
    const FontCase &c = GetParam();
    QString page;
    FontState state;
    for (const FontStep &step : c.steps) {
        state.face = QString::fromUtf8(step.face);
        state.size = step.size;
        OpenFontTag(page, state, c.useCss, QStringLiteral("Arial"), 12);
    }
    EXPECT_EQ(page, QString::fromUtf8(c.page));
    EXPECT_EQ(state.open, c.openAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpenFontTagTest,
    ::testing::Values(
        FontCase{"CssPrimaryNeedsNothing", true, {{"Arial", 24}}, "", false},
        FontCase{"CssBackToPrimaryOnlyCloses", true, {{"Arial", 32}, {"Arial", 24}},
                 "<Font Face=\"Arial, Sans-serif\" Size=5></Font>", false},
        FontCase{"WithoutCssEveryChangeTagged", false, {{"Arial", 24}, {"Times", 20}},
                 "<Font Face=\"Arial, Sans-serif\" Size=3></Font><Font Face=\"Times, Sans-serif\" Size=2>", true},
        FontCase{"SmallSizeCutTowardZero", false, {{"Arial", 8}, {"Arial", 28}},
                 "<Font Face=\"Arial, Sans-serif\" Size=0></Font><Font Face=\"Arial, Sans-serif\" Size=4>", true}));

TEST(RtfColourHex, ComponentsOfTheFirstEntry) {
    const QString table = QStringLiteral("\\red128\\green0\\blue255;\\red1\\green2\\blue3;");
    EXPECT_EQ(RtfColourHex(table, QStringLiteral("red")) + RtfColourHex(table, QStringLiteral("green")) +
                  RtfColourHex(table, QStringLiteral("blue")),
              QStringLiteral("8000FF"));
    EXPECT_EQ(RtfColourHex(QStringLiteral("\\red300;"), QStringLiteral("red")), QStringLiteral("12C"));
    EXPECT_EQ(RtfColourHex(QStringLiteral("\\red5\\green;"), QStringLiteral("green")), QStringLiteral("00"));
}

} // namespace
