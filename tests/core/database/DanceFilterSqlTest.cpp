#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "core/database/DanceFilterSql.h"
#include "core/database/DatabaseTools.h"
#include "core/database/SampleCatalogue.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "platform/sqlite/SqlFunctions.h"
#include "TablesFixture.h"

#include <QSet>
#include <optional>

namespace {

FilterDef condition(const QString &field, const QString &value, bool cs = false, bool full = false, bool nonBlank = false) {
    FilterDef f;
    f.Count = 1;
    f.Field[1] = field;
    f.Value[1] = value;
    f.CaseSensitive[1] = cs;
    f.FullMatch[1] = full;
    f.NonBlank[1] = nonBlank;
    return f;
}

FilterDef plus(FilterDef f, const QString &field, const QString &value, bool cs = false, bool full = false,
               bool nonBlank = false) {
    const int i = ++f.Count;
    f.Field[size_t(i)] = field;
    f.Value[size_t(i)] = value;
    f.CaseSensitive[size_t(i)] = cs;
    f.FullMatch[size_t(i)] = full;
    f.NonBlank[size_t(i)] = nonBlank;
    return f;
}

class FilterSqlTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({});
        ASSERT_TRUE(OpenDatabase());
        struct Row {
            const char *title, *style, *rhythm;
            QVariant called, lvl;
            const char *printed, *dfilter;
            QStringList instructions;
            QStringList footer;
        };
        const QList<Row> rows = {
            {"Morning Star", "English", "Reel", 11, 3, "Y", "Y", {"Partners swing.", "Circle left."}, {}},
            {"morning star", "American", "Jig", 10, 4, "", "", {"Ladies chain."}, {"Swing on the side."}},
            {"Reel of Tulloch", "Scottish", "Reel", 3, 5, "", "Y", {}, {}},
            {"Über die Brücke", "English", "Waltz", QVariant(), QVariant(), "", "", {"Walzer über alles."}, {}},
            {"o'clock Jig", "English", "Jig", 0, 2, "Y", "", {"Reel of three, then swing."}, {}},
            {"The Old Reel", "Contra", "Reel", 4, 1, "", "Y", {}, {"Swing your partner."}},
        };
        MyQuery.setText("Insert into Dances (Title, Format, Style, Rhythm, Called, Lvl, Printed, DFilter, Instructions, Footer) "
                        "values (?, 'Longways', ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Row &r : rows)
            MyQuery.exec({QString::fromUtf8(r.title), r.style, r.rhythm, r.called, r.lvl, r.printed, r.dfilter,
                          r.instructions.isEmpty() ? QString() : InstructionRtf(r.instructions),
                          r.footer.isEmpty() ? QString() : InstructionRtf(r.footer)});
        DancesData.OnFilterRecord = [](Dataset &) { return true; };
        DancesData.SetFiltered(true);
    }
    QStringList sqlFor(const FilterDef &f, bool option = false, const QString &first = "Select Title from Dances") {
        MyQuery.setText(first);
        BuildDanceFilterSql(DancesData, f, option);
        return MyQuery.SQL;
    }
    QSet<qint64> sqlRows(const FilterDef &f, bool option) {
        sqlFor(f, option, "Select rowid as R from Dances");
        MyQuery.open();
        QSet<qint64> out;
        for (; !MyQuery.eof(); MyQuery.next()) out.insert(MyQuery.fields(0).AsInteger());
        MyQuery.close();
        return out;
    }
    QSet<qint64> referenceRows(const FilterDef &f, bool option) {
        FilterContext context;
        context.DFilterOn = option;
        DancesData.OnFilterRecord = [&](Dataset &d) { return FilterRecord(f, FilterTable::Dances, d, context); };
        DancesData.Refilter();
        const auto shown = DancesData.VisibleBookmarks();
        DancesData.OnFilterRecord = [](Dataset &) { return true; };
        DancesData.Refilter();
        return QSet<qint64>(shown.begin(), shown.end());
    }
};

} // namespace

TEST_F(FilterSqlTest, TermsOfTheEdgeCases) {
    EXPECT_EQ(sqlFor(condition("Title", "o'c")),
              (QStringList{"Select Title from Dances", "Where UCase([Title]) alike '%O''C%'"}));
    // A blank level counts as 0, which is below 3.
    EXPECT_EQ(sqlFor(condition("Lvl", "<3")).last(), QStringLiteral("Where (Lvl<3 or Lvl is Null)"));
    EXPECT_EQ(sqlFor(condition("Lvl", "")).last(), QStringLiteral("Where Lvl is Null"));
    EXPECT_EQ(sqlFor(plus(condition("Title", "reel"), "Called", ">10")),
              (QStringList{"Select Title from Dances", "Where UCase([Title]) alike '%REEL%'", "and Called>10"}));
    // A "Not" selection alone: only the mark.
    FilterDef notRecent;
    notRecent.Count = 1;
    EXPECT_EQ(sqlFor(notRecent, true), (QStringList{"Select Title from Dances", "Where DFilter = 'Y'"}));
    // Not filtered: nothing at all.
    DancesData.SetFiltered(false);
    EXPECT_EQ(sqlFor(condition("Title", "reel")), (QStringList{"Select Title from Dances"}));
}

TEST_F(FilterSqlTest, MendedTerms) {
    struct Case {
        const char *name;
        FilterDef filter;
        const char *term;
    };
    const QList<Case> cases = {
        {"full match quotes doubled", condition("Title", "O'Neil \"Jr\"", false, true),
         "Where UCase([Title]) = 'O''NEIL \"JR\"'"},
        {"<> inside is text", condition("Title", "a<>b"), "Where UCase([Title]) alike '%A<>B%'"},
        {"leading <> negates", condition("Title", "<>reel"), "Where Not UCase([Title]) alike '%REEL%'"},
        {"full match negated", condition("Title", "<>reel", false, true), "Where UCase([Title]) <> 'REEL'"},
        {"empty is blank", condition("Title", ""), "Where ([Title] = '' or [Title] is Null)"},
        {"pending is blank", condition("Printed", "Pending"), "Where ([Printed] = '' or [Printed] is Null)"},
        {"non-blank", condition("Printed", "", false, false, true), "Where ([Printed] <> '' and [Printed] is not Null)"},
        {"case-sensitive contains", condition("Title", "Reel", true), "Where instr([Title], 'Reel') > 0"},
        {"case-sensitive full", condition("Title", "Reel", true, true), "Where [Title] = 'Reel' COLLATE BINARY"},
        {"instructions and footer", condition("Instructions", "swing"),
         "Where (UCase(PlainText([Instructions])) alike '%SWING%' or UCase(PlainText([Footer])) alike '%SWING%')"},
        {"instructions negated", condition("Instructions", "<>swing"),
         "Where Not (UCase(PlainText([Instructions])) alike '%SWING%' or UCase(PlainText([Footer])) alike '%SWING%')"},
        {"numeric not equal", condition("Called", "<> 3"), "Where Called<>3"},
        {"numeric bare", condition("Called", "10"), "Where Called=10"},
        {"odd format", condition("Format", "[odd FORMAT]"), "Where DFilter = 'Y'"},
    };
    for (const Case &c : cases) EXPECT_EQ(sqlFor(c.filter).last(), QString::fromUtf8(c.term)) << c.name;

    // Instructions as the second condition: the message, and the right term.
    EXPECT_EQ(sqlFor(plus(condition("Title", "reel"), "Instructions", "swing")).last(),
              QStringLiteral("and (UCase(PlainText([Instructions])) alike '%SWING%' or UCase(PlainText([Footer])) alike '%SWING%')"));
    EXPECT_TRUE(answerer->sawText("Filtering on Instructions must have this as the FIRST filter field."));
    // An empty second field adds the mark with "and", not a second "Where".
    FilterDef gap = plus(condition("Title", "reel"), "", "");
    EXPECT_EQ(sqlFor(gap), (QStringList{"Select Title from Dances", "Where UCase([Title]) alike '%REEL%'", "and DFilter = 'Y'"}));
    // A number that is none.
    EXPECT_THROW(sqlFor(condition("Called", ">ten")), std::runtime_error);
    EXPECT_THROW(sqlFor(condition("Called", "3; Delete from Dances")), std::runtime_error);
}

TEST_F(FilterSqlTest, DateFieldsCompareTheirText) {
    RunSQL("Insert into Events (Org, EDate, Event) values ('Hall', #12/06/2026#, 'Dance')");
    RunSQL("Insert into Events (Org, EDate, Event) values ('Barn', #11/06/2026#, 'Dance')");
    EventsData.OnFilterRecord = [](Dataset &) { return true; };
    EventsData.SetFiltered(true);
    MyQuery.setText("Select Org from Events");
    BuildDanceFilterSql(EventsData, condition("EDate", "dec-26"));
    EXPECT_EQ(MyQuery.SQL.last(), QStringLiteral("Where UCase(DateText([EDate])) alike '%DEC-26%'"));
    MyQuery.open();
    ASSERT_FALSE(MyQuery.eof());
    EXPECT_EQ(MyQuery.fields(0).AsString(), QStringLiteral("Hall"));
    MyQuery.next();
    EXPECT_TRUE(MyQuery.eof());
    MyQuery.close();
}

// The SQL selects the rows the record filter's rule accepts. Outside the
// comparison: the tag set and the Session selection (no SQL form), values
// spanning the instructions and the footer, and accented letters other than
// ä, ö and ü (the rule upper-cases only those).
TEST_F(FilterSqlTest, SameRowsAsTheRecordFilter) {
    struct Case {
        const char *name;
        FilterDef filter;
        bool option;
    };
    const QList<Case> cases = {
        {"contains", condition("Title", "reel"), false},
        {"does not contain", condition("Title", "<>reel"), false},
        {"full match", condition("Title", "morning star", false, true), false},
        {"full match case", condition("Title", "morning star", true, true), false},
        {"contains case", condition("Title", "Reel", true), false},
        {"umlaut", condition("Title", "über"), false},
        {"apostrophe", condition("Title", "o'c"), false},
        {"greater", condition("Called", ">10"), false},
        {"not equal", condition("Called", "<>3"), false},
        {"less, blank as 0", condition("Called", "<5"), false},
        {"bare zero, blank as 0", condition("Called", "0"), false},
        {"blank number", condition("Called", ""), false},
        {"non-blank number", condition("Called", "", false, false, true), false},
        {"blank text", condition("Printed", ""), false},
        {"pending", condition("Printed", "Pending"), false},
        {"non-blank", condition("Printed", "", false, false, true), false},
        {"instructions", condition("Instructions", "swing"), false},
        {"not in instructions", condition("Instructions", "<>swing"), false},
        {"four", plus(plus(plus(condition("Rhythm", "e"), "Called", ">=0"), "Title", "<>old"), "Printed", ""), false},
        {"not recent", FilterDef{}, true},
        {"with not recent", condition("Rhythm", "reel"), true},
        {"odd format", plus(condition("Title", "reel"), "Format", "[Odd format]"), false},
    };
    int selective = 0; // cases that keep some rows and drop others
    for (Case c : cases) {
        if (c.filter.Count == 0) {
            c.filter.Count = 1; // a "Not" selection keeps one empty condition
        }
        const QSet<qint64> sql = sqlRows(c.filter, c.option);
        const QSet<qint64> reference = referenceRows(c.filter, c.option);
        EXPECT_EQ(sql, reference) << c.name << " (" << sql.size() << " against " << reference.size() << ")";
        if (!reference.isEmpty() && reference.size() < 6) ++selective;
    }
    EXPECT_GE(selective, int(cases.size()) - 2);
}

// Values holding the characters SQL treats specially, under every kind of
// condition: the SQL selects what the record filter's rule accepts (a "%" or
// "_" is its own text, never a wildcard), and Delete Dances under such a
// filter removes the shown dance only.
TEST_F(FilterSqlTest, HostileValuesUnderEveryCondition) {
    const QString hostile[] = {
        QStringLiteral("O'Neill's \"Jig\""), QStringLiteral("100% _Reel_"), QStringLiteral("[Square] \\ Set"),
        QStringLiteral("Pound \u00A7 Dance"), QStringLiteral("Dance Into the Night"), QStringLiteral("Pol\u0161ka \u0416"),
        QString(255, QLatin1Char('x')),
    };
    MyQuery.setText("Insert into Dances (Title, Format, Style, Author) values (?, 'Longways', ?, ?)");
    for (const QString &h : hostile) MyQuery.exec({h, h, h + QStringLiteral(" | \u00B7 \u20AC")});
    // What a wildcard reading of "100% _Reel_" would take as well.
    MyQuery.exec({QStringLiteral("100 and a xREELx"), QStringLiteral("100 and a xREELx"), QStringLiteral("100 and a xREELx")});
    DancesData.Refilter();
    for (const QString &h : hostile) {
        for (const char *field : {"Title", "Style", "Author"}) {
            SCOPED_TRACE((h.left(30) + ' ' + field).toStdString());
            const QList<FilterDef> filters = {condition(field, h), condition(field, "<>" + h), condition(field, h, false, true),
                                              condition(field, h, true), condition(field, h.toLower(), false, true)};
            for (const FilterDef &f : filters) {
                const QSet<qint64> sql = sqlRows(f, false), reference = referenceRows(f, false);
                EXPECT_EQ(sql, reference) << f.Value[1].left(30).toStdString();
            }
            EXPECT_EQ(sqlRows(condition(field, h), false).size(), 1); // its own dance only
        }
    }
    const qint64 before = scalar("SELECT count(*) FROM Dances").toLongLong();
    const FilterDef percent = condition("Title", hostile[1]);
    DancesData.OnFilterRecord = [&](Dataset &d) { return FilterRecord(percent, FilterTable::Dances, d, {}); };
    DancesData.Refilter();
    answerer->script(ResultYes);
    DeleteDancesClick(percent);
    EXPECT_TRUE(answerer->texts().value(0).startsWith("Delete from Dances\nWhere instr(UCase([Title]), '100% _REEL_') > 0\n\n1 dances"))
        << answerer->texts().value(0).toStdString();
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toLongLong(), before - 1);
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title = '100 and a xREELx'").toInt(), 1);
}
