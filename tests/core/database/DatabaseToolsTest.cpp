#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Messages.h"
#include "core/database/DatabaseTools.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "TablesFixture.h"

#include <QDir>

namespace {

class ToolsTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({{"Title", "Longways", "English"},
                   {"Jig", "Title", "English"},
                   {"O\"Neil's", "Square", "American"},
                   {"Reel", "Circle", "English"},
                   {"Polka", "Circle", "Ceilidh"}});
        ASSERT_TRUE(OpenDatabase());
        const QDate day(2026, 12, 6);
        int i = 0;
        for (const char *org : {"Hall", "Barn", "Club"}) {
            RunSQL(QStringLiteral("Insert into Events (Org, EDate, Event) values ('%1', %2, 'Dance')")
                       .arg(org)
                       .arg(DateToDayNumber(day.addDays(-10 + 10 * i++)) + 0.8125));
        }
        RunSQL("Insert into Events (Org, Event) values ('Undated', 'Someday')");
        EventsData.requery();
    }
    QStringList titles() {
        QStringList out;
        Statement s(Conn.handle(), "SELECT Title FROM Dances ORDER BY rowid");
        while (s.step()) out.append(s.columnText(0));
        return out;
    }
    static InputAsker answers(const QString &oldValue, const QString &newValue) {
        return [=](const QString &caption, const QString &, QString *value) {
            *value = caption == "Old value" ? oldValue : newValue;
            return true;
        };
    }
};

} // namespace

TEST_F(ToolsTest, ChangeAllChangesOnlyMatchingValues) {
    const FocusControl title{"Dances", "Title", "Title", false};
    answerer->script(ResultYes);
    ChangeAllClick(&title, answers("Title", "It's \"new\""));
    EXPECT_EQ(answerer->texts().last(), QStringLiteral("Field Title:\nChange all occurrences of \nTitle\nto\nIt's \"new\""));
    EXPECT_EQ(titles(), (QStringList{"It's \"new\"", "Jig", "O\"Neil's", "Reel", "Polka"}))
        << "the Format 'Title' and the column itself are not matched";
    answerer->script(ResultYes);
    ChangeAllClick(&title, answers("o\"neil's", "Riley's"));
    EXPECT_EQ(titles()[2], QStringLiteral("Riley's")) << "matched ignoring case";
    EXPECT_EQ(MyQuery.lastText(), QStringLiteral("Update [Dances] Set [Title]='Riley''s' where [Title]='o\"neil''s'"));

    // Format asks first; No ends it.
    answerer->script(ResultNo);
    const FocusControl format{"Dances", "Format", "Circle", false};
    ChangeAllClick(&format, answers("Circle", "Ring"));
    EXPECT_TRUE(answerer->texts().last().startsWith("Changing Format or Style will probably affect the Events table too."));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Format = 'Ring'").toInt(), 0);
}

TEST_F(ToolsTest, ChangeAllAndSetAllRefuseWhatIsNoColumn) {
    answerer->script(ResultOK);
    ChangeAllClick(nullptr, answers("a", "b"));
    EXPECT_EQ(answerer->boxes.last().text, QStringLiteral("No current field."));
    EXPECT_EQ(answerer->boxes.last().helpContext, 51620);

    const FocusControl isRec{"Events", "IsRec", "", true};
    ChangeAllClick(&isRec, answers("", "Y"));
    EXPECT_EQ(answerer->texts().last(),
              QStringLiteral("\"IsRec\" is not a field of the Events table, so it cannot be changed for all records."));
    answerer->script(ResultYes); // Checked
    SetAllClick(&isRec);
    EXPECT_TRUE(answerer->texts().last().startsWith("\"IsRec\" is not a field"));

    const FocusControl textBox{"Dances", "Title", "Jig", false};
    SetAllClick(&textBox);
    EXPECT_EQ(answerer->texts().last().trimmed(),
              QStringLiteral("\"Set all\" applies only to check boxes (with tick or blank as values)"));
    EXPECT_EQ(answerer->pending(), 0);
}

TEST_F(ToolsTest, SetAllSetsEveryRecordWhateverTheFilter) {
    EventsData.OnFilterRecord = [](Dataset &d) { return d.FieldByName("Org").AsString() == "Hall"; };
    EventsData.SetFiltered(true);
    const FocusControl prv{"Events", "Prv", "", true};
    answerer->script(ResultYes); // Checked
    answerer->script(ResultYes); // sure
    SetAllClick(&prv);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Filter: Select value for Prv"));
    EXPECT_EQ(answerer->boxes[0].helpContext, 30400);
    EXPECT_EQ(answerer->boxes[1].text, QStringLiteral("Are you sure you want to set this value for all Events?"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Events WHERE Prv = 'Y'").toInt(), 4);
    EXPECT_TRUE(EventsData.active() && DancesData.active());
    answerer->script(ResultNo); // Blank
    answerer->script(ResultYes);
    SetAllClick(&prv);
    EXPECT_EQ(scalar("SELECT count(*) FROM Events WHERE Prv = ''").toInt(), 4);
}

TEST_F(ToolsTest, DeleteEventsNeedsADate) {
    DeleteEventsClick("None");
    EXPECT_EQ(answerer->texts().last().trimmed(), QStringLiteral("The shown event has no date."));
    EXPECT_EQ(scalar("SELECT count(*) FROM Events").toInt(), 4);
    answerer->script(ResultYes);
    DeleteEventsClick("Sun 6-Dec-26");
    EXPECT_EQ(answerer->texts().last(), QStringLiteral("Delete ALL events before Sun 6-Dec-26\n\nARE YOU SURE?"));
    EXPECT_EQ(scalar("SELECT group_concat(Org) FROM Events").toString(), QStringLiteral("Barn,Club,Undated"))
        << "the event of the day itself stays";
    EXPECT_TRUE(EventsData.active());
    EXPECT_EQ(EventsData.RecordCount(), 3);
    EXPECT_TRUE(logText().contains("Del Events"));
}

TEST_F(ToolsTest, DeleteDancesDeletesExactlyTheShownRows) {
    // A filter known only to its hook: no where-clause can say it.
    DancesData.OnFilterRecord = [](Dataset &d) { return d.FieldByName("Title").AsString().size() == 5; };
    DancesData.SetFiltered(true);
    ASSERT_EQ(DancesData.VisibleCount(), 2); // "Title" and "Polka"
    answerer->script(ResultYes);
    DeleteDancesClick(FilterDef{});
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Delete from Dances\n\n2 dances\n\nARE YOU SURE?"));
    EXPECT_TRUE(answerer->sawText("Database compressed."));
    EXPECT_EQ(titles(), (QStringList{"Jig", "O\"Neil's", "Reel"}));
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_EQ(DancesData.VisibleCount(), 3);

    answerer->clear();
    answerer->script(ResultYes);
    DeleteDancesClick(FilterDef{});
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Delete ALL dances:\n\nARE YOU SURE?"));
    EXPECT_TRUE(titles().isEmpty());
}

TEST_F(ToolsTest, CheckDelimiterSwitchesEverySeparatorWithoutHooks) {
    const QString old = QStringLiteral("\u00A1\u00A4");
    const QString euro(SepEuro);
    MyQuery.setText("Update Events Set Programme = ? where Org = 'Hall'");
    MyQuery.exec({old + "D|Jig|Title|English" + euro + "N|note" + old});
    MyQuery.setText("Update Dances Set Music = ? where Title = 'Reel'");
    MyQuery.exec({"Reel tune" + euro + "CD" + euro + "3"});
    int hooks = 0;
    for (Dataset *ds : {&EventsData, &DancesData}) {
        ds->BeforePost = ds->AfterPost = [&](Dataset &) { ++hooks; };
        ds->OnFilterRecord = [&](Dataset &) {
            ++hooks;
            return true;
        };
    }
    answerer->script(ResultYes); // Standard
    CheckDelimiterClick();
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Quillary.Ini specifies standard delimiter: \"\u00B7\"\n"
                                                      "\u00B7 appears in 0 Event(s) and 0 Dance(s).\n"
                                                      "\u20AC appears in 1 Event(s) and 1 Dance(s).\n"
                                                      "\u00A1\u00A4 appears in 1 Event(s) and 0 Dance(s).\n\n"
                                                      "Switch delimiter to:"));
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE Org = 'Hall'").toString(),
              QStringLiteral("\u00B7D|Jig|Title|English\u00B7N|note\u00B7"));
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title = 'Reel'").toString(), QStringLiteral("Reel tune\u00B7CD\u00B73"));
    EXPECT_EQ(hooks, 0);
    EXPECT_EQ(IniFile->ReadString("System", "Delim", ""), QStringLiteral("\u00B7"));
    EXPECT_EQ(ProgrammeSeparator, SepDot);

    answerer->script(ResultNo); // Alternative
    CheckDelimiterClick();
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title = 'Reel'").toString(), "Reel tune" + euro + "CD" + euro + "3");
    EXPECT_TRUE(answerer->boxes.last().text.startsWith("Quillary.Ini specifies standard delimiter"));
    answerer->script(ResultCancel);
    CheckDelimiterClick();
    EXPECT_TRUE(answerer->boxes.last().text.startsWith("Quillary.Ini specifies alternative delimiter: \"\u20AC\""));
    EXPECT_EQ(ProgrammeSeparator, SepEuro);
}

TEST_F(ToolsTest, SwitchDatabaseNotesTheNameInTheDataFolder) {
    // A private data folder: the program folder's settings file is not read.
    const QString privateFolder = path("Private/");
    QDir().mkpath(privateFolder);
    WriteFileBytes(privateFolder + "quillary.INI", "[System]\r\nDBName=Quillary.mdb\r\n");
    DataFolder = privateFolder;
    int asked = 0;
    SwitchDatabaseClick([&](const QString &caption, const QString &folder, const QString &filter) {
        ++asked;
        EXPECT_EQ(caption, QStringLiteral("Switch database"));
        EXPECT_EQ(folder, privateFolder);
        EXPECT_EQ(filter, QStringLiteral("Access databases|*.mdb"));
        return privateFolder + "Club.mdb";
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(TIniFile(privateFolder + "quillary.INI").ReadString("System", "DBName", ""), QStringLiteral("Club.mdb"));
    EXPECT_EQ(TIniFile(path("Quillary.ini")).ReadString("System", "DBName", "none"), QStringLiteral("none"));
    EXPECT_EQ(answerer->boxes.last().text.trimmed(),
              QStringLiteral("New database name noted.  You now need to restart the Quillary."));
    EXPECT_EQ(answerer->boxes.last().timeoutMs, 2000);
    EXPECT_EQ(window.calls.last(), QStringLiteral("Close"));
    EXPECT_EQ(SwitchDatabaseName(path("Elsewhere/Other.mdb")), path("Elsewhere/Other.mdb"));
    SwitchDatabaseClick([](const QString &, const QString &, const QString &) { return QString(); });
    EXPECT_EQ(TIniFile(privateFolder + "quillary.INI").ReadString("System", "DBName", ""), path("Elsewhere/Other.mdb"));
}
