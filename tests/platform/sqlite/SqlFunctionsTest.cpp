#include "base/Cp1252.h"
#include "DbFixture.h"
#include "platform/sqlite/SqlFunctions.h"

TEST_F(DbTest, LikeFoldsByTheProgramsTable) {
    struct Case {
        const char *name;
        const char *sql;
        QVariant expected; // invalid = Null
    };
    const QList<Case> cases = {
        {"e acute", "SELECT 'café' LIKE 'CAFÉ'", 1},
        {"s caron", "SELECT 'šKODA' LIKE 'ŠKODA'", 1},
        {"oe", "SELECT 'œuvre' LIKE 'ŒUVRE'", 1},
        {"y diaeresis", "SELECT 'ÿ' LIKE 'Ÿ'", 1},
        {"sharp s not folded", "SELECT 'straße' LIKE 'STRASSE'", 0},
        {"sharp s equal", "SELECT 'straße' LIKE 'STRAßE'", 1},
        {"micro not folded", "SELECT 'µ' LIKE 'Μ'", 0},
        {"bracket is literal", "SELECT '[a]b' LIKE '[a]%'", 1},
        {"bracket not a class", "SELECT 'ab' LIKE '[a]%'", 0},
        {"underscore one char", "SELECT 'a·c' LIKE 'a_c'", 1},
        {"underscore not two", "SELECT 'abbc' LIKE 'a_c'", 0},
        {"percent empty run", "SELECT 'ac' LIKE 'a%c'", 1},
        {"escape percent", "SELECT '10%' LIKE '10!%' ESCAPE '!'", 1},
        {"escape blocks wildcard", "SELECT '100' LIKE '10!%' ESCAPE '!'", 0},
        {"null text", "SELECT NULL LIKE 'a'", QVariant()},
        {"null pattern", "SELECT 'a' LIKE NULL", QVariant()},
        {"not ucase like", "SELECT NOT UCase('Waltz') LIKE '%ALT%'", 0},
        {"ucase", "SELECT UCase('éšœÿaßµ')", QStringLiteral("ÉŠŒŸAßµ")},
        {"ucase null", "SELECT UCase(NULL)", QVariant()},
        {"len dot", "SELECT Len('·')", 1},
        {"len euro", "SELECT Len('€')", 1},
        {"len null", "SELECT Len(NULL)", QVariant()},
        {"nocase accents", "SELECT 'é' = 'É' COLLATE NOCASE", 1},
        {"nocase order", "SELECT 'b' < 'Á' COLLATE NOCASE", 1},
        {"date text", "SELECT DateText(46362)", QStringLiteral("Sun 6-Dec-26")},
        {"date text none", "SELECT DateText(1095730)", QStringLiteral("None")},
        {"date text time", "SELECT DateText(36526.75)", QStringLiteral("Sat 1-Jan-00")},
        {"date text null", "SELECT DateText(NULL)", QVariant()},
        {"plain text", "SELECT PlainText('{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b Hands\\b0  four\\par Caf\\''e9}')",
         QStringLiteral("Hands four\r\nCafé")},
    };
    for (const Case &c : cases) {
        const QVariant got = scalar(QString::fromUtf8(c.sql));
        if (!c.expected.isValid()) {
            EXPECT_TRUE(got.isNull()) << c.name;
        } else if (c.expected.typeId() == QMetaType::QString) {
            EXPECT_EQ(got.toString(), c.expected.toString()) << c.name;
        } else {
            EXPECT_EQ(got.toLongLong(), c.expected.toLongLong()) << c.name;
        }
    }
    EXPECT_THROW(scalar(QStringLiteral("SELECT 'a' LIKE 'a' ESCAPE 'xy'")), DbError);
}

TEST(SqlFunctions, DayNumberTextMatchesTheCalendar) {
    const QDate zero(1899, 12, 30);
    struct Case {
        QDate date;
        const char *text;
    };
    for (const Case &c : {Case{QDate(2026, 12, 6), "Sun 6-Dec-26"}, Case{QDate(2000, 1, 1), "Sat 1-Jan-00"},
                          Case{QDate(1900, 3, 1), "Thu 1-Mar-00"}, Case{QDate(2024, 2, 29), "Thu 29-Feb-24"}}) {
        const double day = double(zero.daysTo(c.date));
        EXPECT_EQ(DayNumberText(day), QString::fromLatin1(c.text));
        double back = 0;
        ASSERT_TRUE(ParseDayNumberText(QString::fromLatin1(c.text), &back)) << c.text;
        // Two-digit years read back into 1950-2049.
        if (c.date.year() >= 1950) {
            EXPECT_EQ(back, day) << c.text;
        }
    }
    EXPECT_EQ(DayNumberText(0), QString());
    double d = 0;
    EXPECT_TRUE(ParseDayNumberText(QStringLiteral("6-Dec-2026"), &d));
    EXPECT_EQ(d, 46362);
    EXPECT_TRUE(ParseDayNumberText(QStringLiteral("none"), &d));
    EXPECT_EQ(d, 1095730);
    EXPECT_FALSE(ParseDayNumberText(QStringLiteral("31-Feb-26"), &d));
    EXPECT_FALSE(ParseDayNumberText(QStringLiteral("6-Foo-26"), &d));
    EXPECT_FALSE(ParseDayNumberText(QStringLiteral("soon"), &d));
    // Only dates the program can show, years 100 to 9999.
    for (const char *bad : {"99999999999", "inf", "-inf", "nan", "1e308", "-1e15", "1-Jan-0099", "2958466"})
        EXPECT_FALSE(ParseDayNumberText(QString::fromLatin1(bad), &d)) << bad;
    for (const char *good : {"-657434", "2958465.5", "1-Jan-0100"}) EXPECT_TRUE(ParseDayNumberText(QString::fromLatin1(good), &d)) << good;
}

TEST(SqlFunctions, NoCaseCompareAgreesWithFoldedText) {
    const QStringList words = {"abc", "ABD", "Ábc", "áBC", "Zebra", "œuf", "ŒUF", "_x", "a", ""};
    for (const QString &a : words)
        for (const QString &b : words) {
            const QByteArray x = a.toUtf8(), y = b.toUtf8();
            const int got = NoCaseCompare(x.constData(), int(x.size()), y.constData(), int(y.size()));
            const int want = FoldUpper(a).compare(FoldUpper(b));
            EXPECT_EQ(got < 0, want < 0) << a.toStdString() << " " << b.toStdString();
            EXPECT_EQ(got == 0, want == 0) << a.toStdString() << " " << b.toStdString();
        }
    // A byte that is not UTF-8 does not change length or crash the fold.
    EXPECT_EQ(FoldUtf8(QByteArray("a\xE9z")), QByteArray("A\xE9Z"));
}
