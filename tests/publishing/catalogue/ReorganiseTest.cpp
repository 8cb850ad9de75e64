#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/database/TablesFixture.h"
#include "publishing/catalogue/Reorganise.h"

namespace {

QString P(const char *text) { return QString::fromUtf8(text).replace('*', SepDot); }

class ReorganiseTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({{"Reel", "Square", "Old Style"},
                   {"O'Neill's", "Square", "Old Style"},
                   {"Old Style", "Square", "English"},
                   {"Polka", "Circle", "Old Style"},
                   {"Reel", "Square", "New Style"}});
        ASSERT_TRUE(OpenDatabase());
        RunSQL("Update Dances Set Called=2, Author='Ann' where Style='Old Style'");
        RunSQL("Update Dances Set Called=3, Author='Bob', Rhythm='Jig' where Style='New Style'");
        Conn.execRaw("INSERT INTO Events (Org, EDate, Event, Programme) VALUES ('Hall', 46000, 'Ball', '" +
                     QString(programme).replace("'", "''") + "')");
    }
    QString stored() { return scalar("SELECT Programme FROM Events").toString(); }
    QStringList dances() {
        QStringList out;
        Statement s(Conn.handle(), "SELECT Title, Format, Style, Called, Author, Rhythm FROM Dances ORDER BY 1, 2, 3");
        while (s.step()) out.append(QStringList{s.columnText(0), s.columnText(1), s.columnText(2), s.columnText(3), s.columnText(4), s.columnText(5)}.join('|'));
        return out;
    }
    const QString programme = P("*D|Reel|Square|Old Style§2*D|O'Neill's|Square|Old Style*D|Old Style|Square|English*"
                                "D|Polka|Circle|Old Style*");
    QStringList asked;
    std::function<bool(const QString &)> answer = [this](const QString &q) {
        asked.append(q);
        return true;
    };
};

TEST_F(ReorganiseTest, AuthorChangeLeavesProgrammesAlone) {
    EXPECT_EQ(RunReorganise(Conn, {{"Author", "Ann", "Cy O'Hara"}}, SepDot, answer), ReorgEnd::Done);
    EXPECT_EQ(stored(), programme);
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Author=?", {"Cy O'Hara"}).toInt(), 3);
}

TEST_F(ReorganiseTest, StyleRenameFollowsSelectedItemsAndMergesACollision) {
    EXPECT_EQ(RunReorganise(Conn, {{"Format", "Square", "Square"}, {"Style", "Old Style", "New Style"}}, SepDot, answer),
              ReorgEnd::Done);
    EXPECT_EQ(stored(), P("*D|Reel|Square|New Style§2*D|O'Neill's|Square|New Style*D|Old Style|Square|English*"
                          "D|Polka|Circle|Old Style*"));
    // Reel collided: counts summed, its empty Rhythm filled, one question for Author.
    EXPECT_EQ(dances(), (QStringList{"O'Neill's|Square|New Style|2|Ann|", "Old Style|Square|English|||",
                                     "Polka|Circle|Old Style|2|Ann|", "Reel|Square|New Style|5|Ann|Jig"}));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1], "Reel\rhas both old and new values for field: Author\rReplace Bob\rBy Ann?");
    EXPECT_TRUE(Conn.hasTable("W"));
}

TEST_F(ReorganiseTest, EndingsBeforeTheEndChangeNothing) {
    const QStringList before = dances();
    // A No to blanking out runs nothing; a No to continuing and a failure roll back.
    EXPECT_EQ(RunReorganise(Conn, {{"Author", "Ann", ""}}, SepDot, [](const QString &) { return false; }),
              ReorgEnd::Abandoned);
    EXPECT_FALSE(Conn.hasTable("W"));
    EXPECT_EQ(RunReorganise(Conn, {{"Author", "Ann", "Zed"}}, SepDot,
                            [](const QString &q) { return !q.endsWith("Continue?"); }),
              ReorgEnd::NotConfirmed);
    EXPECT_EQ(RunReorganise(Conn, {{"Author", "Nobody", "Zed"}}, SepDot, answer), ReorgEnd::NoMatch);
    EXPECT_EQ(RunReorganise(Conn, {}, SepDot, answer), ReorgEnd::NoFields);
    Conn.execRaw("CREATE TRIGGER Refuse BEFORE INSERT ON Dances BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(RunReorganise(Conn, {{"Style", "Old Style", "Newer"}}, SepDot, answer), DbError);
    EXPECT_EQ(dances(), before);
    EXPECT_EQ(stored(), programme);
}

TEST_F(ReorganiseTest, ValuesTheDancesPageRefusesStopTheRunBeforeAnything) {
    const QStringList before = dances();
    const struct {
        const char *name;
        ReorgRow row;
        QString message; // the start of the refusal
    } table[] = {
        {"divider", {"Format", "Square", "Squ|are"}, "Title, Format and Style may not contain \"|\""},
        {"separator", {"Style", "Old Style", P("Old*Style")}, QString("Title, Format and Style may not contain \"") + SepDot},
        {"empty key field", {"Format", "Square", ""}, "Title, Format and Style must all be specified"},
        {"letters in the level", {"Lvl", "", "abc"}, "Level must be between 0 and 9"},
        {"letters in a count", {"Called", "2", "abc"}, "Called must be a whole number"},
        {"over-long value", {"Author", "Ann", QString(300, 'x')},
         "The field Author is too small to accept the amount of data you attempted to add (255 characters at most)."},
        {"over-long key field", {"Format", "Square", QString(51, 'F')},
         "The field Format is too small to accept the amount of data you attempted to add (50 characters at most)."},
        {"over-long title", {"Title", "Reel", QString(256, 'T')},
         "The field Title is too small to accept the amount of data you attempted to add (255 characters at most)."},
        {"yes/no field", {"Printed", "", "N"}, "Printed must be \"Y\" or empty"},
    };
    for (const auto &c : table) {
        SCOPED_TRACE(c.name);
        asked.clear();
        QString refusal;
        ReorgRow row = c.row;
        if (row.oldValue.isEmpty()) row.oldValue = "1"; // takes part
        EXPECT_EQ(RunReorganise(Conn, {{"Author", "Ann", "Zed"}, row}, SepDot, answer, &refusal), ReorgEnd::Refused);
        EXPECT_TRUE(refusal.startsWith(c.message)) << refusal.toStdString();
        EXPECT_TRUE(refusal.endsWith(row.field + ": \"" + MessageValue(row.newValue) + "\"")) << refusal.toStdString();
        EXPECT_TRUE(asked.isEmpty()) << "no question before the refusal";
        EXPECT_FALSE(Conn.hasTable("W"));
        EXPECT_EQ(dances(), before);
        EXPECT_EQ(stored(), programme);
    }
}

} // namespace
