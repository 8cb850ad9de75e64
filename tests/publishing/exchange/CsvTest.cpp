#include "publishing/exchange/Csv.h"
#include "publishing/exchange/CsvImport.h"
#include "TestSupport.h"

namespace {

struct ReaderRow {
    const char *name;
    QByteArray bytes;
    bool skipBlanks;
    QList<QStringList> records;
    bool endsInQuotes = false;
};

const QList<ReaderRow> &readerRows() {
    static const QList<ReaderRow> rows = {
        {"quoted comma", "\"Hilltop, Folk\",3\r\n", true, {{"Hilltop, Folk", "3"}}},
        {"field over two lines", "\"a\r\nb\",c\r\nd\r\n", true, {{"a\r\nb", "c"}, {"d"}}},
        {"empty middle field", "a,,c", true, {{"a", "", "c"}}},
        {"blanks after comma skipped", "a,  \"b\",  c", true, {{"a", "b", "c"}}},
        {"blanks after comma kept in preview", "a,  \"b\"", false, {{"a", "  b"}}},
        {"trailing comma", "a,b,\r\n", true, {{"a", "b"}}},
        {"doubled quote", "\"Link=\"\"a.pdf\"\"\",\"\"", true, {{"Link=\"a.pdf\"", ""}}},
        {"end of file in quotes", "x,\"open\r\nstill", true, {{"x", "open\r\nstill"}}, true},
        {"blank line", "a\r\n   \r\nb\r\n", true, {{"a"}, {"   "}, {"b"}}},
        {"BOM", "\xEF\xBB\xBFJig,\xC3\xA9", true, {{"Jig", QString::fromUtf8("\xC3\xA9")}}},
        {"Windows-1252", "Jig,\xE9\x80", true, {{"Jig", QString::fromUtf8("\xC3\xA9\xE2\x82\xAC")}}},
        {"LF only", "a,b\nc\n", true, {{"a", "b"}, {"c"}}},
    };
    return rows;
}

TEST(CsvReaderTest, ReadsEachKindOfLine) {
    for (const ReaderRow &row : readerRows()) {
        SCOPED_TRACE(row.name);
        CsvReader reader = CsvReader::fromBytes(row.bytes);
        QList<QStringList> got;
        QStringList fields;
        bool inQuotes = false;
        while (reader.readRecord(&fields, row.skipBlanks)) {
            got.append(fields);
            inQuotes = inQuotes || reader.endedInQuotes();
        }
        EXPECT_EQ(got, row.records);
        EXPECT_EQ(inQuotes, row.endsInQuotes);
    }
}

TEST(CsvReaderTest, SixtyOneFieldsAreAllRead) {
    QStringList many;
    for (int i = 1; i <= 61; ++i) many.append(QString::number(i));
    CsvReader reader(many.join(','));
    QStringList fields;
    ASSERT_TRUE(reader.readRecord(&fields, true));
    EXPECT_EQ(fields.size(), 61);
    EXPECT_TRUE(reader.blankRecord() == false);
}

struct WriterRow {
    const char *name;
    QStringList values;
    QList<bool> delimited;
    QString delimiterBox, separatorBox;
    QString line;
};

TEST(CsvWriterTest, WritesEachKindOfLine) {
    const QList<WriterRow> rows = {
        {"defaults", {"Hilltop Folk", "3", "Spring Ball"}, {true, false, true}, "", "",
         "\"Hilltop Folk\", 3, \"Spring Ball\"\r\n"},
        {"numerics delimited", {"Jig", "3"}, {true, true}, "\"", ",", "\"Jig\", \"3\"\r\n"},
        {"other boxes", {"Jig", "3"}, {true, false}, "'", ";", "'Jig'; 3\r\n"},
        {"delimiter and line break inside", {"Link=\"a.pdf\"\r\nnext"}, {true}, "", "",
         "\"Link=\"\"a.pdf\"\"\r\nnext\"\r\n"},
    };
    for (const WriterRow &row : rows) {
        SCOPED_TRACE(row.name);
        const QString line = CsvLine(row.values, row.delimited, CsvBoxChar(row.delimiterBox, '"'),
                                     CsvBoxChar(row.separatorBox, ','));
        EXPECT_EQ(line, row.line);
        if (row.delimiterBox.isEmpty() && row.separatorBox.isEmpty()) {
            // What the writer writes, the reader reads back.
            CsvReader reader(line);
            QStringList fields;
            ASSERT_TRUE(reader.readRecord(&fields, true));
            EXPECT_EQ(fields, row.values);
        }
    }
}

TEST(ImportFieldMapTest, ClicksAssignMoveAndClear) {
    ImportFieldMap map;
    EXPECT_TRUE(map.click(2, 0));
    EXPECT_TRUE(map.click(5, 0)); // moves input 0 from row 2 to row 5
    EXPECT_EQ(map.source(2), -1);
    EXPECT_EQ(map.feeds(0), 5);
    EXPECT_FALSE(map.click(5, 1)); // a fed row is cleared, not taken over
    EXPECT_EQ(map.feeds(0), -1);
    EXPECT_EQ(map.feeds(1), -1);
}

} // namespace
