#include "FakeProgress.h"
#include "base/Cp1252.h"
#include "core/database/Tables.h"
#include "core/database/TablesFixture.h"
#include "core/dialogs/Progress.h"
#include "publishing/exchange/CsvExport.h"
#include "publishing/exchange/Csv.h"
#include "publishing/exchange/CsvImport.h"

#include <QProcess>
#include <QStringEncoder>
#include <functional>

namespace {

class ExchangeRunTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        SetProgressView(&view);
    }
    void TearDown() override {
        SetProgressView(nullptr);
        TablesTest::TearDown();
    }
    // Every row of a table as text, in key order.
    QStringList dump(const QString &table) {
        QStringList rows;
        Statement s(Conn.handle(), "SELECT * FROM " + table + " ORDER BY 1, 2, 3");
        while (s.step()) {
            QStringList values;
            for (int i = 0; i < s.columnCount(); ++i) values.append(s.column(i).toString());
            rows.append(values.join(QChar(0x1F)));
        }
        return rows;
    }
    ImportJob danceJob(const QByteArray &bytes, const QStringList &outputs) {
        ImportJob job;
        job.dataset = &DancesData;
        job.keyField = "Title";
        job.isDances = true;
        job.caption = "Import Dances";
        job.bytes = bytes;
        job.hasNames = true;
        for (int i = 0; i < outputs.size(); ++i) job.map.click(DancesData.FieldByName(outputs[i]).Index(), i);
        return job;
    }
    void expectHooksBack() {
        EXPECT_TRUE(bool(DancesData.OnPostError));
        EXPECT_EQ(DancesData.DisableCount(), disabledBefore);
        EXPECT_FALSE(ImportWindowExists);
    }
    RecordingView view;
    int disabledBefore = 0;
};

TEST_F(ExchangeRunTest, ImportKeepsGoodLinesAndReportsEachRefusal) {
    useDances({{"Jig", "Longways", "English"}});
    ASSERT_TRUE(OpenDatabase());
    disabledBefore = DancesData.DisableCount();
    const QByteArray csv = "Title,Format,Style,Lvl\r\n"
                           "Reel, Circle, English, 2\r\n"
                           "Jig,Longways,English\r\n"
                           "Polka,Circle,Ceilidh,x\r\n"
                           "Waltz," + QByteArray(51, 'F') + ",English\r\n"
                           ",Square,American\r\n"
                           "\"O'Neill's\",Square,\"Link=\"\"a.pdf\"\"\"\r\n"
                           "\r\n";
    int stored = 0;
    EXPECT_EQ(RunImport(danceJob(csv, {"Title", "Format", "Style", "Lvl"}), &stored), ImportEnd::Committed);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(ProgressErrorCount, 4) << view.lines.join("\n").toStdString();
    EXPECT_TRUE(view.lines.contains("Duplicate key:  Jig"));
    EXPECT_TRUE(view.lines.contains("Invalid value: x  Field: Lvl  Title: Polka"));
    EXPECT_TRUE(view.lines.contains("Invalid value: " + QString(51, 'F') + "  Field: Format  Title: Waltz"));
    EXPECT_TRUE(view.lines.contains("Title, Format and Style must all be specified:  "));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toInt(), 3);
    EXPECT_EQ(scalar("SELECT Lvl FROM Dances WHERE Title='Reel'").toInt(), 2);
    EXPECT_EQ(scalar("SELECT Style FROM Dances WHERE Title=?", {"O'Neill's"}).toString(), "Link=\"a.pdf\"");
    expectHooksBack();
}

// Every stored column, type and bytes, in the order the rows were added.
QStringList storedRows(const QString &table) {
    QStringList columns;
    for (const FieldInfo &f : Conn.fields(table))
        columns.append(QStringLiteral("typeof(\"%1\") || ':' || hex(\"%1\")").arg(f.name));
    QStringList rows;
    Statement s(Conn.handle(), "SELECT " + columns.join(" || '|' || ") + " FROM " + table + " ORDER BY rowid");
    while (s.step()) rows.append(s.columnText(0));
    return rows;
}

// The import stores each line as a record inserted, given the line's
// non-empty values one by one and posted through the table's dataset would
// be: same rows, same order, every column the same type and bytes.
TEST_F(ExchangeRunTest, ImportStoresWhatARecordPostedFieldByFieldStores) {
    useDances({});
    ASSERT_TRUE(OpenDatabase());
    const QByteArray dances =
        "Title,Format,Style,Rhythm,Lvl,Energy,Author,Collection,Popular,SwingP,SwingN,Tolbrook,Called,KeySig,Tempo,"
        "Timing,Instructions,Footer,Notes,Music,Printed,Callit,OwnTune,DFilter,CD\r\n"
        "Reel, Circle, English, Reel, 3,High,Ann,,,,, 2,007,G,120,32x4,\"{\\rtf1 A1 \"\"go\"\"\r\nB1 back}\",,"
        "\"Caf\xE9 \x80 \x9F\",\"Live\xB7Rec1\xB7" "1\",Y,,Y,,\r\n"
        "Jig,Longways,English,,,,,,,,,,,,,,Plain text\r\n"
        "Jig,Longways,English\r\n"
        "Polka,Circle,Ceilidh,Polka,x\r\n"
        "  Waltz  ,Circle,Ballroom,,0,,,,,,,,-4,,,,,,,,,,,,\r\n"
        "Hornpipe,Square,American,,,,,,,,,3,1e3\r\n"
        "Hornpipe,Square,American,,,,,,,,,3,12\r\n";
    const QByteArray events = "Org,EDate,Event,ETime,Venue,Town\r\n"
                              "Club,Sun 7-Feb-27,Dance,7.30,Hall,Town\r\n"
                              "Club,46450.75,Dance\r\n"
                              "Fest,None,Camp,,\"Field\r\nGate\"\r\n"
                              "Club,31-Feb-2027,Bad\r\n"
                              "Club,7-Feb-2027,Dance\r\n"
                              "\" Club \",  3-Apr-2027  ,Dance,,,\xA3\r\n";
    for (Dataset *ds : {&DancesData, &EventsData}) {
        const bool isDances = ds == &DancesData;
        SCOPED_TRACE(ds->tableName().toStdString());
        ImportJob job;
        job.dataset = ds;
        job.keyField = isDances ? "Title" : "Org";
        job.isDances = isDances;
        job.bytes = isDances ? dances : events;
        job.hasNames = true;
        job.map.identical(ds->FieldCount());

        // Each record inserted, given its values and posted, one by one, with
        // the hooks at rest as during an import.
        const auto postError = std::exchange(ds->OnPostError, nullptr);
        ImportWindowExists = true;
        ds->DisableControls();
        CsvReader reader = CsvReader::fromBytes(job.bytes);
        reader.skipRecord();
        QStringList line;
        while (reader.readRecord(&line, true)) {
            ds->Insert();
            bool refused = false;
            for (int i = 0; i < line.size() && i < ds->FieldCount(); ++i) {
                if (line[i].isEmpty()) continue;
                try {
                    ds->Fields(i).SetAsString(line[i]);
                } catch (const DbError &) {
                    refused = true;
                }
            }
            try {
                if (refused) ds->Cancel();
                else ds->Post();
            } catch (const DbError &) {
                ds->Cancel();
            }
        }
        ds->EnableControls();
        ImportWindowExists = false;
        ds->OnPostError = postError;
        const QStringList posted = storedRows(ds->tableName());
        Conn.execRaw("DELETE FROM " + ds->tableName());
        Conn.tableChanged(ds->tableName());

        EXPECT_EQ(RunImport(job), ImportEnd::Committed);
        EXPECT_EQ(storedRows(ds->tableName()), posted);
        EXPECT_EQ(posted.size(), 4);
    }
}

TEST_F(ExchangeRunTest, HostileFilesChangeNoTextWithoutAWord) {
    useSample();
    ASSERT_TRUE(OpenDatabase());
    const QByteArray huge(10 * 1024 * 1024, 'T');
    const auto utf16 = [](QStringEncoder::Encoding order, const char *mark, const char *day) {
        QStringEncoder encode(order);
        return QByteArray(mark) + QByteArray(encode(QStringLiteral("Caf\u00E9 \u0416,Hall,") + day + "-Jan-2027\r\n"));
    };
    const auto eventJob = [](const QByteArray &csv) {
        ImportJob job;
        job.dataset = &EventsData;
        job.keyField = "Org";
        job.bytes = csv;
        int input = 0;
        for (const char *field : {"Org", "Event", "EDate"}) job.map.click(EventsData.FieldByName(field).Index(), input++);
        return job;
    };
    const struct {
        const char *name;
        QByteArray csv;       // Org, Event, EDate
        ImportEnd end;
        QString line;         // a line of the box (or the message)
        QString stored;       // the Org stored, "" for none
    } table[] = {
        {"marked utf-8, bad byte", "\xEF\xBB\xBF" "Caf\xC3\xA9,Hall,1-Jan-2027\r\nX\xFF,Hall,2-Jan-2027\r\n", ImportEnd::Failed,
         "Line 2 holds a byte that is not UTF-8, though the file is marked as UTF-8.\nNothing was imported.", ""},
        {"unmarked utf-8, bad byte", "Caf\xC3\xA9 \xFF,Hall,1-Jan-2027\r\n", ImportEnd::Committed,
         "Read as Windows-1252: line 1 holds a byte that is not UTF-8.", "Caf\u00C3\u00A9 \u00FF"},
        {"utf-16 little-endian", utf16(QStringEncoder::Utf16LE, "\xFF\xFE", "1"), ImportEnd::Committed, "Caf\u00E9 \u0416", "Caf\u00E9 \u0416"},
        {"utf-16 big-endian", utf16(QStringEncoder::Utf16BE, "\xFE\xFF", "2"), ImportEnd::Committed, "Caf\u00E9 \u0416", "Caf\u00E9 \u0416"},
        {"nul", QByteArray("Nul\0Club,Hall,1-Jan-2027\r\n", 26), ImportEnd::Committed,
         "Invalid value: Nul\\0Club  Field: Org  Org: ", ""},
        {"huge", huge + ",Hall,1-Jan-2027\r\n", ImportEnd::Committed, "Invalid value: " + QString(100, 'T') + "...  Field: Org  Org: ", ""},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        const QStringList events = dump("Events");
        const int before = scalar("SELECT count(*) FROM Events WHERE Org=?", {row.stored}).toInt();
        answerer->clear();
        view.lines.clear();
        EXPECT_EQ(RunImport(eventJob(row.csv)), row.end);
        const QStringList seen = view.lines + answerer->texts();
        EXPECT_TRUE(seen.contains(row.line)) << seen.join('|').left(2000).toStdString();
        for (const QString &line : seen) EXPECT_LE(line.size(), 300) << "no value quoted whole";
        if (row.stored.isEmpty()) {
            EXPECT_EQ(dump("Events"), events);
        } else {
            EXPECT_EQ(scalar("SELECT count(*) FROM Events WHERE Org=?", {row.stored}).toInt(), before + 1);
        }
    }
    EXPECT_EQ(ImportPreview(huge + ",Hall").value(0).size(), MaxPreviewChars);

    // Every day number the program cannot show is refused, naming the record.
    const QStringList events = dump("Events");
    for (const char *date : {"99999999999", "inf", "-inf", "1e308", "-1e15", "nan"}) {
        EXPECT_EQ(RunImport(eventJob(QByteArray("Far Club,Hall,") + date + "\r\n")), ImportEnd::Committed);
        EXPECT_TRUE(view.lines.contains(QString("Invalid value: ") + date + "  Field: EDate  Org: Far Club")) << date;
    }
    EXPECT_EQ(dump("Events"), events);
}

TEST_F(ExchangeRunTest, CancelAndAnOverlongLineStoreNothing) {
    useSample();
    ASSERT_TRUE(OpenDatabase());
    disabledBefore = DancesData.DisableCount();
    const QStringList dances = dump("Dances"), events = dump("Events");
    QByteArray wide = "Wide,Square,American";
    for (int i = 0; i < 58; ++i) wide += ",x";
    const QByteArray csv = "T,F,S\r\nNew One,Square,American\r\nNew Two,Square,American\r\n" + wide + "\r\n";
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancel" : "61 fields");
        view.onLine = [&](const QString &line) {
            if (cancel && line == "New One") CancelRun = true;
        };
        EXPECT_EQ(RunImport(danceJob(csv, {"Title", "Format", "Style"})),
                  cancel ? ImportEnd::Cancelled : ImportEnd::Failed);
        EXPECT_EQ(dump("Dances"), dances);
        EXPECT_EQ(dump("Events"), events);
        expectHooksBack();
    }
}

TEST_F(ExchangeRunTest, ExportSelectedFieldsFromTheMiddleAndCancel) {
    useSample();
    ASSERT_TRUE(OpenDatabase());
    QStringList titles;
    for (DancesData.First(); !DancesData.Eof(); DancesData.Next())
        titles.append(DancesData.FieldByName("Title").AsString());
    ExportJob job;
    job.dataset = &DancesData;
    job.file = path("Part.CSV");
    job.fieldNames = true;
    job.allFields = false;
    job.fields = {DancesData.FieldByName("Title").Index(), DancesData.FieldByName("Lvl").Index()};
    job.recordCount = 3;
    DancesData.SetRecordIndex(2);
    EXPECT_EQ(RunExport(job), 3);
    QStringList lines = ReadTextFile(job.file).split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "\"Title\", \"Lvl\"");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(lines[i + 1].startsWith("\"" + titles[i + 2] + "\", ")) << i;
    EXPECT_TRUE(view.lines.contains("Records output to " + job.file + ": 3"));

    view.onGauge = [](int n) {
        if (n == 3) CancelRun = true;
    };
    job.recordCount = 0;
    job.fieldNames = false;
    EXPECT_EQ(RunExport(job), 2);
    EXPECT_EQ(ReadTextFile(job.file).count("\r\n"), 2);
}

TEST_F(ExchangeRunTest, SampleCatalogueRoundTripsThroughPython) {
    useSample();
    ASSERT_TRUE(OpenDatabase());
    const QStringList original = dump("Dances");
    ExportJob job;
    job.dataset = &DancesData;
    job.file = path("Dances.CSV");
    job.fieldNames = true;
    EXPECT_EQ(RunExport(job), original.size());

    // Python reads our file and writes it again in its own way.
    const QString script =
        "import csv,sys\n"
        "enc = 'utf-8-sig' if open(sys.argv[1],'rb').read(3) == b'\\xef\\xbb\\xbf' else 'cp1252'\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='', encoding=enc), skipinitialspace=True))\n"
        "csv.writer(open(sys.argv[2], 'w', newline='', encoding='utf-8-sig')).writerows(rows)\n"
        "print(len(rows))\n";
    QProcess python;
    python.start("python3", {"-c", script, job.file, path("Python.CSV")});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.readAllStandardOutput().trimmed().toInt(), original.size() + 1);

    for (const QString &file : {job.file, path("Python.CSV")}) {
        SCOPED_TRACE(file.toStdString());
        ResetTables();
        useDances({});
        ASSERT_TRUE(OpenDatabase());
        ImportJob in;
        in.dataset = &DancesData;
        in.keyField = "Title";
        in.isDances = true;
        in.bytes = ReadFileBytes(file);
        in.hasNames = true;
        in.map.identical(DancesData.FieldCount());
        EXPECT_EQ(RunImport(in), ImportEnd::Committed);
        EXPECT_EQ(ProgressErrorCount, 0);
        EXPECT_EQ(dump("Dances"), original);
    }
}

} // namespace
