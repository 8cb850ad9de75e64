#include "base/AppState.h"
#include "base/Cp1252.h"
#include "core/dances/DanceShow.h"
#include "core/startup/Settings.h"
#include "TestSupport.h"

namespace {

// Music texts with "*" for the separator and "/" for CR.
QString M(const char *text) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('*'), SepDot);
    s.replace(QLatin1Char('/'), QLatin1Char('\r'));
    return s;
}

const QStringList Keys{"Recording", "Trk", "Format", "BPM", "Rhythm", "Comments", "Location"};

} // namespace

TEST(DanceShowTest, MusicTable) {
    struct Case {
        const char *name;
        const char *music;
        bool isRec;
        int chosen;
        int location;
        const char *box;
        const char *playFile;
        bool visible;
        bool cd, mid;
    };
    // Recording lines: Recording*Trk*Format*BPM*Rhythm*Comments*Location
    const QList<Case> cases = {
        {"no separator", "Jig tune", true, 1, 6, "Jig tune", "", false, false, false},
        {"live only when not recorded", "Live*Rec1*1*****a.mp3/Rec2*2*****b.mp3", false, 2, 6, "Live", "a.mp3", true,
         false, false},
        {"first line when nothing chosen", "Live*Rec1*1*****a.mp3/Rec2*2*****b.mp3", true, 0, 6, "Rec1*1*****a.mp3",
         "a.mp3", true, false, false},
        {"second line chosen", "Live*Rec1*1*****a.mp3/Rec2*2*****b.MID", true, 2, 6, "Rec2*2*****b.MID", "b.MID", true,
         false, true},
        {"chosen line beyond the count", "Live*Rec1*1*****a.mp3/Rec2*2*****b.mp3", true, 5, 6, "", "", false, false,
         false},
        {"no location column", "Live*Rec1*1*****a.mp3", true, 1, -1, "Rec1*1*****a.mp3", "", false, false, false},
        {"line 1 shorter than the location column", "Live*Rec1*1/Rec2*2*****b.mp3", true, 1, 6, "Rec1*1", "", false,
         false, false},
        {"not recorded, line 1 short, line 2 has a file", "Live*Rec1/Rec2*2*****b.mp3", false, 1, 6, "Live", "", false,
         false, false},
        {"a CD drive", "Live*Rec1*4*****D:", true, 1, 6, "Rec1*4*****D:", "D:", true, true, false},
        {"a location ends at the line break", "Live*Rec1*4*****x/tune.m4a", true, 1, 6, "Rec1*4*****x", "x", true, false, false},
        {"an m4a file is no CD", "Live*Rec1*4*****tune.m4a", true, 1, 6, "Rec1*4*****tune.m4a", "tune.m4a", true, false,
         false},
        {"CR LF between recordings", "Live*Rec1*1*****a.mp3\r\nRec2*2*****b.mp3", true, 2, 6, "Rec2*2*****b.mp3",
         "b.mp3", true, false, false},
    };
    for (const Case &c : cases) {
        MusicInput in;
        in.music = M(c.music);
        in.sep = SepDot;
        in.chosenLine = c.chosen;
        in.isRec = c.isRec;
        in.locationColumn = c.location;
        in.recordedKeys = Keys;
        const MusicShown out = ShowMusic(in);
        EXPECT_EQ(out.boxText, M(c.box)) << c.name;
        EXPECT_EQ(out.playFile, QString(c.playFile)) << c.name;
        EXPECT_EQ(out.panelVisible, c.visible) << c.name;
        EXPECT_EQ(out.cdTrack, c.cd) << c.name;
        EXPECT_EQ(out.midFile, c.mid) << c.name;
        EXPECT_FALSE(out.moreThanOneLine) << c.name;
        EXPECT_EQ(out.panelHeight, 75) << c.name;
        EXPECT_EQ(out.musicText, in.music) << c.name;
    }
}

TEST(DanceShowTest, MusicCurrentLineAndPlaying) {
    MusicInput in{M("Live*R1*1/R2*2"), SepDot, 2, true, 6, Keys};
    EXPECT_EQ(ShowMusic(in).currentMusicLine, M("R2*2"));
    in.isRec = false;
    EXPECT_EQ(ShowMusic(in).currentMusicLine, M("R1*1/R2*2"));
    in.playing = true;
    const MusicShown playing = ShowMusic(in);
    EXPECT_TRUE(playing.panelVisible);
    EXPECT_EQ(playing.panelHeight, 116);
    EXPECT_EQ(playing.pauseHint, QStringLiteral("Pause"));
}

TEST(DanceShowTest, MoreThanOneLiveLineKeepsTheFirstAndTheRecordings) {
    MusicInput in{M("Tune A/Tune B"), SepDot, 1, false, 6, Keys};
    MusicShown out = ShowMusic(in);
    EXPECT_TRUE(out.moreThanOneLine);
    EXPECT_EQ(out.boxText, QStringLiteral("Tune A"));
    EXPECT_EQ(out.musicText, QStringLiteral("Tune A"));
    EXPECT_EQ(out.message, QStringLiteral("Music field is more than one line:\rTune A\rTune B\r\rUsing first line only."));
    in.music = M("Tune A/Tune B*R1******a.mp3");
    out = ShowMusic(in);
    EXPECT_TRUE(out.moreThanOneLine);
    EXPECT_EQ(out.musicText, M("Tune A*R1******a.mp3"));
    EXPECT_EQ(out.playFile, QStringLiteral("a.mp3"));
}

TEST(DanceShowTest, RtfPieces) {
    EXPECT_EQ(DanceRtfHead("Verdana"),
              QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}"
                             "{\\f1\\fnil\\fcharset0 Arial Black;}{\\f2\\froman\\fcharset0 Times New Roman;}}"
                             "{\\colortbl ;\\red128\\green255\\blue255;\\red\\green0\\blue0;}\\viewkind4\\uc1\\pard"));
    EXPECT_EQ(DanceRtfParagraph("120", "28"), QStringLiteral("\\sa120\\simult0\\fs28 \r\n"));
    EXPECT_EQ(WrapPlainText("A1\tSide\r\nB1\tturn", "<P>"),
              QStringLiteral("<P>A1\\tab Side\r\n\\par B1\\tab turn\r\n}\r\n"));
    EXPECT_EQ(WrapPlainText("{\\rtf1 x}", "<P>"), QStringLiteral("{\\rtf1 x}"));
    EXPECT_EQ(CloseRtf("{\\rtf1 x"), QStringLiteral("{\\rtf1 x\r\n\\par }\r\n"));
    EXPECT_EQ(JoinFooter("{\\rtf1 I", "{\\rtf1 head\r\nfoot\r\n\\par }\r\n"),
              QStringLiteral("{\\rtf1 I\\plain\\par \\par\r\nfoot\r\n\\par }\r\n"));
}

TEST(DanceShowTest, FirstFontSizeRule) {
    struct Case {
        const char *rtf;
        int size;
        const char *result;
    };
    const QList<Case> cases = {
        {"{\\pard\\fs24 A\\fs24 B}", 14, "{\\pard\\fs28 A\\fs24 B}"},
        {"{\\pard\\fs24 A}", 12, "{\\pard\\fs24 A}"},
        {"{\\pard\\fs20 A\\fs24 B}", 14, "{\\pard\\fs20 A\\fs24 B}"},
        {"{\\pard\\fs240 A}", 14, "{\\pard\\fs240 A}"},
        {"{\\pard A}", 14, "{\\pard A}"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FixFirstFontSize(c.rtf, c.size, QString::number(c.size * 2)), QString(c.result)) << c.rtf;
}

TEST(DanceShowTest, HighlightRanges) {
    using R = QList<QPair<int, int>>;
    EXPECT_EQ(HighlightRanges("Star right, STAR left, stars", "star"), (R{{0, 4}, {12, 4}, {23, 4}}));
    EXPECT_EQ(HighlightRanges("Élan élan", "ÉLAN"), (R{{0, 4}, {5, 4}}));
    EXPECT_EQ(HighlightRanges("aaaa", "aa"), (R{{0, 2}, {2, 2}}));
    EXPECT_TRUE(HighlightRanges("anything", "").isEmpty());
    EXPECT_TRUE(HighlightRanges("", "x").isEmpty());
}

TEST(DanceShowTest, NotesHeights) {
    EXPECT_EQ(NotesWantedHeight(13, "one line"), 14);
    EXPECT_EQ(NotesWantedHeight(0, "x"), 14);
    EXPECT_EQ(NotesWantedHeight(200000, "x"), 14);
    EXPECT_EQ(NotesWantedHeight(26, "two\r\nlines\r\n"), 41);
    EXPECT_EQ(NotesWantedHeight(999, ""), 14);
    EXPECT_EQ(NotesBoxFor(57, 4).height, 57);
    EXPECT_FALSE(NotesBoxFor(57, 4).scrollBar);
    EXPECT_EQ(NotesBoxFor(58, 4).height, 57);
    EXPECT_TRUE(NotesBoxFor(58, 4).scrollBar);
}

TEST(DanceShowTest, NumberText) {
    struct Case {
        const char *text;
        bool ok;
        int n;
    };
    const QList<Case> cases = {{"12", true, 12},   {" -3 ", true, -3}, {"+7", true, 7},  {"", false, 0},
                               {"1.5", false, 0}, {"x", false, 0},    {"-", false, 0}, {"99999999999", false, 0},
                               {"2147483647", true, 2147483647}};
    for (const Case &c : cases) {
        int n = 42;
        EXPECT_EQ(ParseNumberText(c.text, &n), c.ok) << c.text;
        EXPECT_EQ(n, c.ok ? c.n : 42) << c.text;
    }
}

class TemplatePathTest : public QuillaryTest {};
