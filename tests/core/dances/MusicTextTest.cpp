#include "core/dances/MusicText.h"

#include <gtest/gtest.h>

namespace {

const QChar Dot(0xB7);
const QChar Euro(0x20AC); // the 0x80 separator as the program reads it

// "*" stands for the separator, "/" for CR.
QString T(const char *text, QChar sep) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('*'), sep);
    s.replace(QLatin1Char('/'), QLatin1Char('\r'));
    return s;
}

QList<QStringList> Rows(std::initializer_list<std::initializer_list<const char *>> rows, QChar sep) {
    QList<QStringList> out;
    for (const auto &row : rows) {
        QStringList cells;
        for (const char *cell : row) cells.append(T(cell, sep));
        out.append(cells);
    }
    return out;
}

bool Exists(const QString &path) { return path.endsWith(QLatin1String("here.mp3")); }

} // namespace

// Text -> rows -> text, with both separators: what is read back writes the
// same text; a messy text writes its tidy form.
TEST(MusicTextTest, RoundTripTable) {
    struct Case {
        const char *name, *text, *live;
        int rows;
        const char *written;
        bool missing;
    };
    const Case cases[] = {
        {"CD title, track 3, D:", "Band*CD*3*****D:", "Band", 1, "Band*CD*3*****D:", false},
        {"location only", "*******Folk\\Reel.mp3", "", 1, "*******Folk\\Reel.mp3", false},
        {"nothing at all", "", "", 0, "", false},
        {"live only", "Band", "Band", 0, "Band", false},
        {"two recordings", "Band*A*1*****a.mp3/B*2*****b.mp3", "Band", 2, "Band*A*1*****a.mp3/B*2*****b.mp3", false},
        {"CR LF read as CR", "Band*A*1*****a.mp3\r\nB*2*****b.mp3", "Band", 2, "Band*A*1*****a.mp3/B*2*****b.mp3",
         false},
        {"trailing junk dropped", "Band*A*1*****a.mp3***//", "Band", 3, "Band*A*1*****a.mp3", false},
        {"no location", "Band*A*1", "Band", 1, "Band*A*1", true},
        {"over-wide line keeps every column", "*A*1*****a.mp3*extra", "", 1, "*A*1*****a.mp3*extra", false},
    };
    for (QChar sep : {Dot, Euro}) {
        for (const Case &c : cases) {
            const MusicParts parts = SplitMusicText(T(c.text, sep), sep);
            EXPECT_EQ(parts.live, T(c.live, sep)) << c.name;
            EXPECT_EQ(parts.recordings.size(), c.rows) << c.name;
            bool missing = false;
            EXPECT_EQ(JoinMusicText(parts.live, parts.recordings, sep, &missing), T(c.written, sep)) << c.name;
            EXPECT_EQ(missing, c.missing) << c.name;
        }
    }
}

// A separator or line break typed into a cell becomes a blank, so later
// columns keep their places.
TEST(MusicTextTest, TypedSeparatorsDoNotShiftColumns) {
    const QList<QStringList> rows = Rows({{"A*B", "1", "", "", "", "two/lines", "a.mp3"}}, Dot);
    EXPECT_EQ(JoinMusicText(T("Ba*nd", Dot), rows, Dot), T("Ba nd*A B*1****two lines*a.mp3", Dot));
}

TEST(MusicTextTest, SaveChecks) {
    struct Case {
        const char *name;
        std::initializer_list<std::initializer_list<const char *>> rows;
        MusicRowCheck::Outcome outcome;
        int row;
        const char *path;
    };
    const Case cases[] = {
        {"relative file found under the base", {{"A", "", "", "", "", "", "Folk\\here.mp3"}}, MusicRowCheck::Ok, 0, ""},
        {"relative file missing", {{"A", "1", "", "", "", "", "x"}, {"B", "", "", "", "", "", "Folk\\gone.mp3"}},
         MusicRowCheck::FileMissing, 2, "/base/Folk/gone.mp3"},
        {"absolute path looked for unchanged", {{"A", "", "", "", "", "", "C:\\Music\\gone.mp3"}},
         MusicRowCheck::FileMissing, 1, "C:/Music/gone.mp3"},
        {"single dot", {{"A", "", "", "", "", "", "."}}, MusicRowCheck::SingleDot, 1, ""},
        {"CD without a track", {{"A", "", "", "", "", "", "D:"}}, MusicRowCheck::NoTrack, 1, ""},
        {"CD with track 3a", {{"A", "3a", "", "", "", "", "D:"}}, MusicRowCheck::BadTrack, 1, ""},
        {"CD with track 3", {{"A", "3", "", "", "", "", "D:"}}, MusicRowCheck::Ok, 0, ""},
    };
    for (const Case &c : cases) {
        const MusicRowCheck check = CheckMusicRows(Rows(c.rows, Dot), 6, QStringLiteral("/base/"), Exists);
        EXPECT_EQ(check.outcome, c.outcome) << c.name;
        EXPECT_EQ(check.row, c.row) << c.name;
        if (c.outcome == MusicRowCheck::FileMissing) {
            EXPECT_EQ(check.path, QString::fromUtf8(c.path)) << c.name;
        }
    }
}

// The search: words typed with blanks find names spelt with "_"; two
// characters find nothing; a hit's path comes from its own line, so a name
// inside another never picks the wrong file.
TEST(MusicTextTest, SearchPicksTheLineHit) {
    const QString list = QStringLiteral(" Folk\\Old Reel.mp3\r\n Reel.mp3\r\n Jigs\\old_reel.mp3\r\n Bob's, Tune.mp3\r\n\xFF");
    const QString normal = NormaliseForSearch(list);
    const QList<SearchMatch> hits = SearchRecordings(normal, NormaliseForSearch(QStringLiteral("old reel")));
    ASSERT_EQ(hits.size(), 2);
    EXPECT_EQ(MatchPath(list, hits[0].line), QStringLiteral("Folk\\Old Reel.mp3"));
    EXPECT_EQ(MatchPath(list, hits[1].line), QStringLiteral("Jigs\\old_reel.mp3"));
    const QList<SearchMatch> reel = SearchRecordings(normal, QStringLiteral(" Reel.mp3"));
    ASSERT_EQ(reel.size(), 3);
    EXPECT_EQ(MatchPath(list, reel[1].line), QStringLiteral("Reel.mp3"));
    EXPECT_EQ(MatchPath(list, SearchRecordings(normal, QStringLiteral("bobs tune"))[0].line),
              QStringLiteral("Bob's, Tune.mp3"));
    EXPECT_TRUE(SearchRecordings(normal, QStringLiteral("re")).isEmpty());
}
