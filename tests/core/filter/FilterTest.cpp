#include "base/Cp1252.h"
#include "base/Dates.h"
#include "core/filter/Filter.h"
#include "core/filter/Tags.h"
#include "TestSupport.h"

#include <QMap>

namespace {

// A row of made-up fields: a number (or nothing) for numeric fields, a text
// for the others.
class FakeRow : public FilterRow {
public:
    struct Value {
        FilterFieldClass cls = FilterFieldClass::Text;
        QString text;
        std::optional<double> number;
    };
    FakeRow &text(const QString &name, const QString &t, FilterFieldClass cls = FilterFieldClass::Text) {
        add(name, Value{cls, t, std::nullopt});
        return *this;
    }
    FakeRow &number(const QString &name, std::optional<double> n) {
        add(name, Value{FilterFieldClass::Numeric, n ? QString::number(*n) : QString(), n});
        return *this;
    }
    int fieldIndex(const QString &name) const override {
        for (int i = 0; i < names.size(); ++i)
            if (SameText(names[i], name)) return i;
        return -1;
    }
    FilterFieldClass fieldClass(int i) const override { return values[i].cls; }
    QString text(int i) const override { return values[i].text; }
    std::optional<double> number(int i) const override { return values[i].number; }

private:
    void add(const QString &name, const Value &v) {
        const int i = fieldIndex(name);
        if (i >= 0) {
            values[i] = v;
        } else {
            names.append(name);
            values.append(v);
        }
    }
    QStringList names;
    QList<Value> values;
};

struct Cond {
    QString field, value;
    bool caseSensitive = false, fullMatch = false, nonBlank = false;
};

FilterDef defOf(const QList<Cond> &conds) {
    FilterDef d;
    for (int i = 0; i < conds.size(); ++i) {
        d.Field[size_t(i + 1)] = conds[i].field;
        d.Value[size_t(i + 1)] = conds[i].value;
        d.CaseSensitive[size_t(i + 1)] = conds[i].caseSensitive;
        d.FullMatch[size_t(i + 1)] = conds[i].fullMatch;
        d.NonBlank[size_t(i + 1)] = conds[i].nonBlank;
    }
    d.Count = int(conds.size());
    return d;
}

FakeRow danceRow(const QString &title, std::optional<double> called = std::nullopt) {
    FakeRow r;
    r.text("Title", title).text("Format", "Longways").text("Style", "English").number("Called", called);
    r.text("Author", "").text("DFilter", "").text("Instructions", "", FilterFieldClass::Memo);
    r.text("Footer", "", FilterFieldClass::Memo);
    return r;
}

} // namespace

class FilterTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetFilterState();
        ResetTagState();
    }
};

TEST_F(FilterTest, NumericConditions) {
    struct Case {
        QString value;
        std::optional<double> field;
        bool want;
    };
    const std::optional<double> blank;
    const QList<Case> cases = {
        {">10", 11, true},  {">10", 10, false}, {">10", blank, false}, {"<>3", 3, false}, {"<>3", 4, true},
        {"<>3", blank, false}, {"<>0", blank, false}, {"<=5", 10, false}, {"<=5", 3, true}, {"<=5", blank, true},
        {"4", 4, true},     {"4", 3, false},    {"4", blank, false},  {"0", blank, true},  {"<3.5", 3, true},
        {">=3.5", 3, false}, {"> 10", 11, true}, {">=10", 10, true},  {"10.0", 10, true},  {"<4", 4, false},
        {"", blank, true},  {"", 0, false},
    };
    for (const Case &c : cases) {
        const FakeRow row = danceRow("X", c.field);
        EXPECT_EQ(FilterRecord(defOf({{"Called", c.value}}), FilterTable::Dances, row, {}), c.want)
            << c.value.toStdString() << " against " << (c.field ? QString::number(*c.field).toStdString() : "blank");
    }
}

TEST_F(FilterTest, NonNumericValueOnNumericFieldThrows) {
    EXPECT_THROW(FilterRecord(defOf({{"Called", "lots"}}), FilterTable::Dances, danceRow("X", 3), {}),
                 FilterValueError);
    EXPECT_THROW(FilterRecord(defOf({{"Called", "=3"}}), FilterTable::Dances, danceRow("X", 3), {}),
                 FilterValueError);
    // The same value on a text field is an ordinary text.
    EXPECT_FALSE(FilterRecord(defOf({{"Title", "lots"}}), FilterTable::Dances, danceRow("X"), {}));
}

TEST_F(FilterTest, MissingFieldThrows) {
    EXPECT_THROW(FilterRecord(defOf({{"DateBox", "x"}}), FilterTable::Dances, danceRow("X"), {}),
                 std::runtime_error);
}

TEST_F(FilterTest, TextConditions) {
    struct Case {
        const char *name;
        Cond cond;
        QString title;
        bool want;
    };
    const QList<Case> cases = {
        {"contains, folded", {"Title", "reel"}, "The Reel of Tulloch", true},
        {"negated contains", {"Title", "<>waltz"}, "Waltz Country Dance", false},
        {"umlaut folds", {"Title", "mädchen"}, "MÄDCHEN", true},
        {"é does not fold to É", {"Title", "é"}, "CAFÉ", false},
        {"negated é admits É", {"Title", "<>é"}, "CAFÉ", true},
        {"case-sensitive contains", {"Title", "reel", true}, "The Reel", false},
        {"full match, folded", {"Title", "the reel", false, true}, "The Reel", true},
        {"full match, longer field", {"Title", "reel", false, true}, "The Reel", false},
        {"full and case-sensitive", {"Title", "the reel", true, true}, "The Reel", false},
        {"full match negated", {"Title", "<>The Reel", false, true}, "The Reel", false},
        {"empty value, blank field", {"Author", ""}, "", true},
        {"Pending, blank field", {"Author", "Pending"}, "", true},
        {"non-blank, blank field", {"Author", "", false, false, true}, "", false},
        {"Pending non-blank, blank field", {"Author", "Pending", false, false, true}, "", false},
    };
    for (const Case &c : cases) {
        FakeRow row = danceRow(c.title);
        if (c.cond.field == "Author") row.text("Author", c.title);
        EXPECT_EQ(FilterRecord(defOf({c.cond}), FilterTable::Dances, row, {}), c.want) << c.name;
    }
    FakeRow named = danceRow("X");
    named.text("Author", "Cecil Sharp");
    EXPECT_FALSE(FilterRecord(defOf({{"Author", ""}}), FilterTable::Dances, named, {}));
    EXPECT_FALSE(FilterRecord(defOf({{"Author", "Pending"}}), FilterTable::Dances, named, {}));
    EXPECT_TRUE(FilterRecord(defOf({{"Author", "", false, false, true}}), FilterTable::Dances, named, {}));
}

TEST_F(FilterTest, FourConditionsAllMustPass) {
    const FilterDef def = defOf({{"Title", "reel"}, {"Format", "Longways", false, true}, {"Called", ">2"},
                                 {"Author", "", false, false, true}});
    FakeRow row = danceRow("Reel of Tulloch", 5);
    row.text("Author", "Anon");
    EXPECT_TRUE(FilterRecord(def, FilterTable::Dances, row, {}));
    for (int i = 0; i < 4; ++i) {
        FakeRow bad = row;
        if (i == 0) bad.text("Title", "Jig");
        if (i == 1) bad.text("Format", "Longways for 6");
        if (i == 2) bad.number("Called", 2);
        if (i == 3) bad.text("Author", "");
        EXPECT_FALSE(FilterRecord(def, FilterTable::Dances, bad, {})) << "condition " << i + 1;
    }
    // A count below the conditions filled leaves the later ones out.
    FilterDef two = def;
    two.Count = 2;
    FakeRow uncalled = row;
    uncalled.number("Called", std::nullopt);
    EXPECT_TRUE(FilterRecord(two, FilterTable::Dances, uncalled, {}));
}

TEST_F(FilterTest, NoConditionsAdmitsAll) {
    FilterDef off;
    off.Count = 1; // the off state: a count with an empty first field
    off.Value[1] = "zzz";
    EXPECT_TRUE(FilterRecord(off, FilterTable::Dances, danceRow("X"), {}));
    EXPECT_TRUE(FilterRecord(FilterDef{}, FilterTable::Events, danceRow("X"), {}));
}

TEST_F(FilterTest, DFilterOnRequiresMark) {
    FilterContext ctx;
    ctx.DFilterOn = true;
    FakeRow marked = danceRow("Reel");
    marked.text("DFilter", "Y");
    const FakeRow unmarked = danceRow("Reel");
    EXPECT_TRUE(FilterRecord(FilterDef{}, FilterTable::Dances, marked, ctx));
    EXPECT_FALSE(FilterRecord(FilterDef{}, FilterTable::Dances, unmarked, ctx));
    // With conditions the mark is needed as well.
    EXPECT_FALSE(FilterRecord(defOf({{"Title", "jig"}}), FilterTable::Dances, marked, ctx));
    // Events have no such mark.
    FakeRow ev;
    ev.text("Org", "Hall");
    EXPECT_TRUE(FilterRecord(FilterDef{}, FilterTable::Events, ev, ctx));
}

TEST_F(FilterTest, OddFormatOverridesFlagsAndConditions) {
    for (int flags = 0; flags < 8; ++flags) {
        Cond c{"Format", "[odd FORMAT]", bool(flags & 1), bool(flags & 2), bool(flags & 4)};
        FakeRow marked = danceRow("Reel");
        marked.text("DFilter", "Y");
        const FakeRow unmarked = danceRow("Reel");
        EXPECT_TRUE(FilterRecord(defOf({c}), FilterTable::Dances, marked, {})) << flags;
        EXPECT_FALSE(FilterRecord(defOf({c}), FilterTable::Dances, unmarked, {})) << flags;
    }
    // An earlier failed condition does not matter either: the marks decide.
    FakeRow marked = danceRow("Reel");
    marked.text("DFilter", "Y");
    EXPECT_TRUE(FilterRecord(defOf({{"Title", "jig"}, {"Format", "[Odd format]"}}), FilterTable::Dances, marked, {}));
}

TEST_F(FilterTest, TagSetRestrictsDancesIgnoringCase) {
    const QSet<QString> keys = {FoldUpper(TagKey("Reel of Tulloch", "Longways", "English"))};
    FilterContext ctx;
    ctx.TagFilter = true;
    ctx.TagSetName = "Workshop";
    ctx.TagKeys = &keys;
    EXPECT_TRUE(FilterRecord(FilterDef{}, FilterTable::Dances, danceRow("REEL OF TULLOCH"), ctx));
    EXPECT_FALSE(FilterRecord(FilterDef{}, FilterTable::Dances, danceRow("Reel"), ctx));
    // A failed condition is not overruled by the tag.
    EXPECT_FALSE(FilterRecord(defOf({{"Title", "jig"}}), FilterTable::Dances, danceRow("Reel of Tulloch"), ctx));
    // No set chosen, or "Filter!" off: no restriction.
    ctx.TagSetName.clear();
    EXPECT_TRUE(FilterRecord(FilterDef{}, FilterTable::Dances, danceRow("Reel"), ctx));
    ctx.TagSetName = "Workshop";
    ctx.TagFilter = false;
    EXPECT_TRUE(FilterRecord(FilterDef{}, FilterTable::Dances, danceRow("Reel"), ctx));
}

TEST_F(FilterTest, InstructionsSearchPlainTextUnlessDebug) {
    FakeRow row = danceRow("X");
    row.text("Instructions", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Set and turn\\par Lead down\\par }",
             FilterFieldClass::Memo);
    row.text("Footer", "{\\rtf1\\ansi Tune: Robin\\par }", FilterFieldClass::Memo);
    const FilterDef par = defOf({{"Instructions", "par"}});
    const FilterDef arial = defOf({{"Instructions", "arial"}});
    const FilterDef lead = defOf({{"Instructions", "lead down"}});
    FilterContext plain;
    EXPECT_FALSE(FilterRecord(par, FilterTable::Dances, row, plain));
    EXPECT_FALSE(FilterRecord(arial, FilterTable::Dances, row, plain));
    EXPECT_TRUE(FilterRecord(lead, FilterTable::Dances, row, plain));
    EXPECT_TRUE(FilterRecord(defOf({{"Instructions", "robin"}}), FilterTable::Dances, row, plain));
    FilterContext debug;
    debug.Debug = true;
    EXPECT_TRUE(FilterRecord(par, FilterTable::Dances, row, debug));
    EXPECT_TRUE(FilterRecord(arial, FilterTable::Dances, row, debug));
    EXPECT_FALSE(FilterRecord(defOf({{"Instructions", "robin"}}), FilterTable::Dances, row, debug));
    // "par" in the footer's words is found.
    row.text("Footer", "{\\rtf1\\ansi Tune: Parson's Farewell\\par }", FilterFieldClass::Memo);
    EXPECT_TRUE(FilterRecord(par, FilterTable::Dances, row, plain));
}

TEST_F(FilterTest, InstructionsHighlightValue) {
    EXPECT_EQ(InstructionsHighlightValue(defOf({{"Title", "x"}, {"Format", "y"}, {"Style", "z"}, {"instructions", "hey"}})),
              "hey");
    EXPECT_EQ(InstructionsHighlightValue(defOf({{"Instructions", "<>hey"}})), "");
    EXPECT_EQ(InstructionsHighlightValue(defOf({{"Title", "hey"}})), "");
    FilterDef off = defOf({{"Instructions", "hey"}});
    off.Field[1].clear();
    EXPECT_EQ(InstructionsHighlightValue(off), "");
}

TEST_F(FilterTest, Descriptions) {
    struct Case {
        const char *name;
        FilterTable table;
        QList<Cond> conds;
        NotSelection notItem;
        QString tag;
        bool session;
        QString want;
    };
    const NotSelection none = NotSelection::None;
    const QList<Case> cases = {
        {"contains", FilterTable::Dances, {{"Title", "reel"}}, none, "", false,
         "Dances are filtered:  Title contains reel"},
        {"full match", FilterTable::Dances, {{"Title", "Reel", false, true}}, none, "", false,
         "Dances are filtered:  Title = Reel"},
        {"numeric comparison", FilterTable::Dances, {{"Called", ">10"}}, none, "", false,
         "Dances are filtered:  Called >10"},
        {"negated text", FilterTable::Dances, {{"Title", "<>waltz"}}, none, "", false,
         "Dances are filtered:  Title does not contain waltz"},
        {"non-blank", FilterTable::Dances, {{"Author", "abc", false, false, true}}, none, "", false,
         "Dances are filtered:  Author non-blank"},
        {"yes/no checked", FilterTable::Dances, {{"Callit", "Y"}}, none, "", false,
         "Dances are filtered:  Callit checked"},
        {"pending", FilterTable::Dances, {{"Title", "reel"}, {"Printed", "Pending"}}, none, "", false,
         "Dances are filtered:  Pending Print"},
        {"not recent with a condition", FilterTable::Dances, {{"Called", ">10"}}, NotSelection::Recent, "", false,
         "Dances are filtered:  Not recent, and Called >10"},
        {"not both", FilterTable::Dances, {}, NotSelection::Both, "", false,
         "Dances are filtered:  Not recent for Hall"},
        {"not this Org", FilterTable::Dances, {}, NotSelection::This, "", false,
         "Dances are filtered:  Not called for Hall"},
        {"not with a tag set", FilterTable::Dances, {}, NotSelection::Recent, "Dances are in Tag Set W", false,
         "Dances are filtered:  Not recent and Dances are in Tag Set W"},
        {"recorded music", FilterTable::Dances, {{"Music", QString(SepDot)}}, none, "", false,
         "Dances are filtered:  containing recorded music"},
        {"events", FilterTable::Events, {{"Org", "hall"}}, NotSelection::Recent, "", false,
         "Events are filtered:  Org contains hall"},
        {"session", FilterTable::Events, {}, none, "", true, "Events are filtered:  by Session title"},
        {"empty first field", FilterTable::Dances, {{"", "x"}}, none, "", false, "Dances are filtered:  "},
    };
    for (const Case &c : cases) {
        FilterDef def = defOf(c.conds);
        DescriptionInput in;
        in.table = c.table;
        in.notItem = c.notItem;
        in.orgName = "Hall";
        in.tagDescription = c.tag;
        in.sessionSelection = c.session;
        in.separator = SepDot;
        in.isNumeric = [](const QString &f) { return f == "Called" || f == "Lvl"; };
        EXPECT_EQ(FilterDescription(def, in), c.want) << c.name;
    }
}

TEST_F(FilterTest, NonBlankDescriptionEmptiesTheValue) {
    FilterDef def = defOf({{"Title", "reel"}, {"Author", "abc", false, false, true}});
    DescriptionInput in;
    in.separator = SepDot;
    FilterDescription(def, in);
    EXPECT_EQ(def.Value[1], "reel");
    EXPECT_EQ(def.Value[2], "");
    FakeRow row = danceRow("Reel");
    row.text("Author", "Someone");
    EXPECT_TRUE(FilterRecord(def, FilterTable::Dances, row, {}));
}

TEST_F(FilterTest, LongDescriptionHasNoPrefix) {
    DescriptionInput in;
    in.separator = SepDot;
    // "Title contains " is 15 characters: a value of 84 makes 99, 85 makes 100.
    FilterDef shortDef = defOf({{"Title", QString(84, 'a')}});
    EXPECT_TRUE(FilterDescription(shortDef, in).startsWith("Dances are filtered:  "));
    FilterDef longDef = defOf({{"Title", QString(85, 'a')}});
    EXPECT_EQ(FilterDescription(longDef, in), "Title contains " + QString(85, 'a'));
    // Events keep their prefix whatever the length.
    in.table = FilterTable::Events;
    FilterDef events = defOf({{"Org", QString(120, 'a')}});
    EXPECT_TRUE(FilterDescription(events, in).startsWith("Events are filtered:  "));
}

TEST_F(FilterTest, RecordCountCaptions) {
    EXPECT_EQ(RecordCountCaption(1, false, "hint"), "Quillary displaying 1 record       ");
    EXPECT_EQ(RecordCountCaption(25, true, "Dances are filtered:  x"),
              "Quillary displaying 25 records      Dances are filtered:  x");
}

TEST_F(FilterTest, NotWindows) {
    EXPECT_EQ(NotReferenceDate(NoDate, 46362), 46362);
    EXPECT_EQ(NotReferenceDate(46000, 46362), 46000);
    EXPECT_EQ(NotWindowStart(NotSelection::Recent, 46362, 18), 46362 - 540);
    EXPECT_EQ(NotWindowStart(NotSelection::Both, 46362, 18), 46362 - 1475);
    EXPECT_LT(NotWindowStart(NotSelection::This, 46362, 18), -1e300);
}

TEST_F(FilterTest, NotTitleLists) {
    const QString s = QString(SepDot);
    auto prog = [&s](const QStringList &titles) {
        QString p = s;
        for (const QString &t : titles)
            p += "D|" + t + "|Longways|English" + s;
        return p + "N|D|not a dance" + s;
    };
    const QList<EventHistoryRow> events = {
        {1000, "Hall", prog({"Old Dance"})},
        {2000, "Hall", prog({"Reel of Tulloch", "Jig"})},
        {2500, "Barn", prog({"Barn Dance"})},
        {3000, "Hall", prog({"Reel", "", "Jig"})},
        {3100, "Hall", prog({"Shown Dance"})},
        {3200, "Hall", prog({"Later Dance"})},
    };
    // Shown event is index 4: its own and later programmes are not counted.
    EXPECT_EQ(NotTitleList(events, 4, NotSelection::Recent, 1999, "Hall", SepDot),
              "|Reel|Jig|Barn Dance|Reel of Tulloch|");
    EXPECT_EQ(NotTitleList(events, 4, NotSelection::Recent, 2000, "Hall", SepDot), "|Reel|Jig|Barn Dance|");
    EXPECT_EQ(NotTitleList(events, 4, NotSelection::This, -1e308, "hall", SepDot),
              "|Reel|Jig|Reel of Tulloch|Old Dance|");
    EXPECT_EQ(NotTitleList(events, 0, NotSelection::Recent, 0, "Hall", SepDot), "|");
    // The list's last title is found, and "Reel" is told apart from "Reel of Tulloch".
    const QString list = NotTitleList(events, 4, NotSelection::Recent, 1999, "Hall", SepDot);
    EXPECT_TRUE(TitleListed(list, "Reel of Tulloch"));
    EXPECT_TRUE(TitleListed(list, "Reel"));
    EXPECT_FALSE(TitleListed(list, "Reel of"));
    EXPECT_FALSE(TitleListed(list, "reel"));
    EXPECT_EQ(ListedTitles(list), (QStringList{"Reel", "Jig", "Barn Dance", "Reel of Tulloch"}));
    const QString tulloch = NotTitleList({{100, "Hall", prog({"Reel of Tulloch", "Reel"})}}, 1,
                                         NotSelection::Recent, 0, "Hall", SepDot);
    EXPECT_EQ(tulloch, "|Reel of Tulloch|Reel|");
}

TEST_F(FilterTest, NotThisOrgSkipsUndatedEvents) {
    const QString s = QString(SepDot);
    const QList<EventHistoryRow> events = {
        {1000, "Hall", s + "D|Dated|F|S" + s},
        {NoDate, "Hall", s + "D|Undated|F|S" + s},
        {NoDate, "Hall", s + "D|Shown|F|S" + s},
    };
    EXPECT_EQ(NotTitleList(events, 2, NotSelection::This, -1e308, "Hall", SepDot), "|Dated|");
    EXPECT_EQ(NotTitleList(events, 2, NotSelection::Both, 46362 - 1475, "Hall", SepDot), "|");
    EXPECT_EQ(NotTitleList(events, 2, NotSelection::Recent, 46362 - 540, "Hall", SepDot), "|Undated|");
}

TEST_F(FilterTest, SessionKeyLists) {
    const QString s = QString(SepDot);
    const QList<SessionEventRow> events = {
        {"Hall", "Sat 5-Dec-26", "Ball", s + "O|Evening Dance" + s + "D|A|B|C" + s},
        {"Barn", "Sun 6-Dec-26", "Day", s + "O|Workshop: Rapper" + s + "O|EVENING" + s},
        {"Club", "Mon 7-Dec-26", "Club", s + "N|evening notes" + s + "D|Evening Star|F|S" + s},
    };
    QSet<QString> keys;
    EXPECT_EQ(BuildSessionKeyList(events, "evening", SepDot, &keys),
              "|Hall|Sat 5-Dec-26|Ball|Barn|Sun 6-Dec-26|Day|");
    EXPECT_TRUE(keys.contains(FoldUpper("|barn|Sun 6-Dec-26|day|")));
    EXPECT_EQ(keys.size(), 2);
    EXPECT_EQ(BuildSessionKeyList(events, "rapper", SepDot, nullptr), "|Barn|Sun 6-Dec-26|Day|");
    EXPECT_EQ(BuildSessionKeyList(events, "nothing", SepDot, &keys), "|");
    EXPECT_TRUE(keys.isEmpty());
}
