#include "core/database/Tables.h"
#include "core/database/TablesFixture.h"
#include "publishing/catalogue/Resize.h"

namespace {

class ResizeTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({{"Jig", "Longways", "English"}, {"O\"Neil's Reel", "Square", "American"}, {"Polka", "Circle", "Ceilidh"}});
        ASSERT_TRUE(OpenDatabase());
        rows = ResizeRows(DancesData);
    }
    void fill(const QString &field, const QString &box) {
        for (ResizeRow &r : rows)
            if (r.field == field) r.box = box;
    }
    int declared(const QString &field) {
        for (const FieldInfo &f : Conn.fields("Dances"))
            if (f.name == field) return f.size;
        return -1;
    }
    QString state() {
        QStringList out;
        Statement s(Conn.handle(), "SELECT rowid, * FROM Dances ORDER BY rowid");
        while (s.step()) out.append(s.columnText(0) + "|" + s.columnText(1) + "|" + s.columnText(3));
        return out.join(";");
    }
    QList<ResizeRow> rows;
};

TEST_F(ResizeTest, TwoLengthsRebuildTheTableWithItsRowsAndIndexes) {
    QStringList names;
    for (const ResizeRow &r : rows) names.append(r.field);
    EXPECT_FALSE(names.contains("Lvl"));
    EXPECT_FALSE(names.contains("Instructions"));
    EXPECT_TRUE(names.contains("Style"));
    const QString before = state();
    const QVariant version = scalar("PRAGMA user_version");
    fill("Style", "60");
    fill("Rhythm", "10");
    ASSERT_EQ(ResizeFault("Dances", rows), "");
    ApplyResize(DancesData, rows);
    EXPECT_EQ(declared("Style"), 60);
    EXPECT_EQ(declared("Rhythm"), 10);
    EXPECT_EQ(declared("Format"), 50);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(scalar("PRAGMA user_version"), version);
    EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Style='english'").toInt(), 1);
    EXPECT_TRUE(Conn.hasIndex("FST"));
    EXPECT_THROW(Conn.execRaw("INSERT INTO Dances (Title, Format, Style) VALUES ('JIG', 'longways', 'English')"), DbError);
    EXPECT_TRUE(DancesData.active());
    EXPECT_EQ(DancesData.FieldByName("Style").Size(), 60);
}

TEST_F(ResizeTest, RefusedLengthsRunNothing) {
    const QString before = state();
    for (const char *box : {"x", "0", "256", "12"}) {
        SCOPED_TRACE(box);
        rows = ResizeRows(DancesData);
        fill("Format", "20");
        fill("Title", box); // "O\"Neil's Reel" has 13 characters
        const QString fault = ResizeFault("Dances", rows);
        EXPECT_TRUE(fault.startsWith("Title: ")) << fault.toStdString();
    }
    EXPECT_EQ(declared("Format"), 50);
    EXPECT_EQ(state(), before);
}

} // namespace
