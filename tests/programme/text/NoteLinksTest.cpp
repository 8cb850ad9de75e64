#include "programme/text/NoteLinks.h"
#include "TestSupport.h"

#include <QFile>

namespace {

struct ExtractCase {
    const char *name;
    const char *text;
    bool remove;
    int start;
    const char *link;
    int position;
    const char *rest;
    bool warns;
};

void PrintTo(const ExtractCase &c, std::ostream *os) { *os << c.name; }

class ExtractLinkTest : public QuillaryTest, public ::testing::WithParamInterface<ExtractCase> {};

TEST_P(ExtractLinkTest, FindsAndCutsTheNextLink) {
    const ExtractCase &c = GetParam();
    const LinkFound found = ExtractLink(QString::fromUtf8(c.text), c.remove, c.start);
    EXPECT_EQ(found.link, QString::fromUtf8(c.link));
    EXPECT_EQ(found.position, c.position);
    EXPECT_EQ(found.text, QString::fromUtf8(c.rest));
    EXPECT_EQ(!found.warning.isEmpty(), c.warns);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExtractLinkTest,
    ::testing::Values(
        ExtractCase{"Marker", "See Link=\"notes.doc\" here", false, 1, "notes.doc", 5, "See  here", false},
        ExtractCase{"MarkerAnyCase", "LINK=\"A.DOC\"!", false, 1, "A.DOC", 1, "!", false},
        ExtractCase{"HttpsBeforeHttp", "a https://x.org b http://y.org", false, 1, "https://x.org", 3,
                    "a b http://y.org", false},
        ExtractCase{"HttpBeforeHttps", "a http://y.org b https://x.org", false, 1, "http://y.org", 3,
                    "a b https://x.org", false},
        ExtractCase{"AddressInsideMarker", "Link=\"http://x.org\" and", false, 1, "http://x.org", 1, " and", false},
        ExtractCase{"AddressInsideMarkerRemoving", "Link=\"http://x.org\" and", true, 1, "http://x.org", 1, " and",
                    false},
        ExtractCase{"MarkerBeforeLaterAddress", "Link=\"f.doc\" http://z.org", false, 1, "f.doc", 1,
                    " http://z.org", false},
        ExtractCase{"RemovingPrefersAddress", "Link=\"f.doc\" http://z.org", true, 1, "http://z.org", 14,
                    "Link=\"f.doc\" ", false},
        ExtractCase{"AddressBeforeMarker", "go http://z.org Link=\"f.doc\"", false, 1, "http://z.org", 4,
                    "go Link=\"f.doc\"", false},
        ExtractCase{"TrailingQuote", "go http://x.org\" now", false, 1, "http://x.org\"", 4, "go now", true},
        ExtractCase{"EndsAtAngle", "<a>http://q.org</a>", false, 1, "http://q.org", 4, "<a>/a>", false},
        ExtractCase{"EndsAtLineBreak", "http://a.org\r\nnext", false, 1, "http://a.org", 1, "\nnext", false},
        ExtractCase{"AtTheEnd", "see http://a.org", false, 1, "http://a.org", 5, "see ", false},
        ExtractCase{"FromStart", "http://a.org http://b.org", false, 2, "http://b.org", 14, "http://a.org ", false},
        ExtractCase{"NoLink", "plain text", false, 1, "", 0, "plain text", false},
        ExtractCase{"RemoveWithoutMarker", "plain text", true, 1, "", 0, "plain text", false},
        ExtractCase{"RemoveMarkerWithoutAddress", "x Link=\"a.doc\" y", true, 1, "", 3, "x  y", false},
        ExtractCase{"UnclosedMarker", "x Link=\"a.doc", false, 1, "a.doc", 3, "x ", false},
        ExtractCase{"BackslashQuoteRepaired", "say \\\"hi\\\" http://a.org", false, 1, "http://a.org", 22,
                    "say \\&quot;hi\\&quot; ", false}),
    [](const ::testing::TestParamInfo<ExtractCase> &info) { return std::string(info.param.name); });

class NoteLinksTest : public QuillaryTest {};

TEST_F(NoteLinksTest, LocalLinkRemovedWithItsFile) {
    WriteFileBytes(path("old notes.doc"), "x");
    answerer->script(ResultYes);
    EXPECT_EQ(CheckNoteLinks(QStringLiteral("Tune: Link=\"old notes.doc\"  ")), QStringLiteral("Tune:"));
    EXPECT_FALSE(QFile::exists(path("old notes.doc")));
    EXPECT_EQ(answerer->texts(), QStringList{QStringLiteral("old notes.doc\nRemove link and delete file?")});
}

TEST_F(NoteLinksTest, WindowsStyleRelativePathFound) {
    WriteFileBytes(path("sub/a.doc"), "x");
    answerer->script(ResultYes);
    CheckNoteLinks(QStringLiteral("Link=\"sub\\a.doc\""));
    EXPECT_FALSE(QFile::exists(path("sub/a.doc")));
}

TEST_F(NoteLinksTest, FileThatCannotGoIsReportedAndTheLinkStillGoes) {
    answerer->script(ResultYes);
    EXPECT_EQ(CheckNoteLinks(QStringLiteral("a Link=\"gone.doc\" b")), QStringLiteral("a  b"));
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Could not delete gone.doc")));
}

TEST_F(NoteLinksTest, KeptMarkerAddressIsAskedOnce) {
    answerer->script(ResultNo);
    const QString note = QStringLiteral("Link=\"http://x.org/a\" end");
    EXPECT_EQ(CheckNoteLinks(note), note);
    EXPECT_EQ(answerer->texts(), QStringList{QStringLiteral("http://x.org/a\nRemove link?")});
}

TEST_F(NoteLinksTest, KeptLinkThenRemovedLink) {
    answerer->script(ResultNo);
    answerer->script(ResultYes);
    EXPECT_EQ(CheckNoteLinks(QStringLiteral("http://a.org and http://b.org")), QStringLiteral("http://a.org and"));
    EXPECT_EQ(answerer->boxes.size(), 2);
}

} // namespace
