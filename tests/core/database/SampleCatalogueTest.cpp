#include "base/Cp1252.h"
#include "core/database/SampleCatalogue.h"
#include "platform/sqlite/Database.h"
#include "TestSupport.h"

#include <QCryptographicHash>

namespace {

QByteArray contentHash(Database &db) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const char *table : {"Dances", "Events"}) {
        Statement s(db.handle(), QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        while (s.step())
            for (int i = 0; i < s.columnCount(); ++i) h.addData(s.column(i).toString().toUtf8() + '\x1f');
    }
    return h.result();
}

} // namespace

TEST_F(QuillaryTest, SampleProgrammesNameCatalogueDances) {
    const QDate today(2026, 12, 6);
    BuildSampleCatalogue(path("Quillary.mdb"), today);
    Database db;
    db.open(path("Quillary.mdb"));
    Statement dances(db.handle(), "SELECT count(*), sum(Format = 'Technique'), sum(Style = 'Break') FROM Dances");
    ASSERT_TRUE(dances.step());
    EXPECT_GE(dances.column(0).toInt(), 24);
    EXPECT_GE(dances.column(1).toInt(), 1);
    EXPECT_GE(dances.column(2).toInt(), 1);

    Statement events(db.handle(), "SELECT EDate, Programme, Updated, Acknowledged FROM Events");
    Statement find(db.handle(), "SELECT count(*) FROM Dances WHERE Title=? COLLATE BINARY AND Format=? COLLATE BINARY "
                                "AND Style=? COLLATE BINARY");
    const double todayNumber = QDate(1899, 12, 30).daysTo(today);
    int items = 0, blank = 0, notAcknowledged = 0, events_ = 0;
    bool interval = false, extras = false;
    while (events.step()) {
        ++events_;
        const double date = events.column(0).toDouble();
        const QString programme = events.columnText(1);
        if (date < todayNumber) {
            EXPECT_EQ(events.columnText(2), QStringLiteral("Y")) << "past events are updated";
        }
        if (events.columnText(3).isEmpty()) ++notAcknowledged;
        if (!programme.isEmpty()) {
            EXPECT_TRUE(programme.startsWith(SepDot) && programme.endsWith(SepDot));
        }
        for (const QString &item : programme.split(SepDot, Qt::SkipEmptyParts)) {
            interval |= item == QStringLiteral("O|Interval");
            extras |= item == QStringLiteral("O|Extras");
            if (!item.startsWith(QLatin1String("D|"))) continue;
            const QStringList key = item.mid(2).split('|');
            ASSERT_EQ(key.size(), 3) << item.toStdString();
            if (key[0].isEmpty()) {
                if (date > todayNumber && date - todayNumber < 31) ++blank;
                continue;
            }
            find.bindAll({key[0], key[1], key[2]});
            find.step();
            EXPECT_EQ(find.column(0).toInt(), 1) << item.toStdString();
            find.reset();
            ++items;
        }
    }
    EXPECT_GE(events_, 6);
    EXPECT_LE(events_, 8);
    EXPECT_GT(items, 30);
    EXPECT_EQ(blank, 1) << "one coming event has a blank dance";
    EXPECT_GE(notAcknowledged, 1);
    EXPECT_TRUE(interval && extras);
}

TEST_F(QuillaryTest, LargeCatalogueRepeatsForItsSeed) {
    LargeCatalogueSize size;
    size.dances = 500;
    size.events = 100;
    const QDate last(2026, 12, 6);
    BuildLargeCatalogue(path("a.mdb"), 42, last, size);
    BuildLargeCatalogue(path("b.mdb"), 42, last, size);
    BuildLargeCatalogue(path("c.mdb"), 43, last, size);
    Database a, b, c;
    a.open(path("a.mdb"));
    b.open(path("b.mdb"));
    c.open(path("c.mdb"));
    EXPECT_EQ(contentHash(a), contentHash(b));
    EXPECT_NE(contentHash(a), contentHash(c));
    Statement n(a.handle(), "SELECT (SELECT count(*) FROM Dances), (SELECT count(*) FROM Events), "
                            "(SELECT min(length(Instructions)) FROM Dances), (SELECT max(length(Instructions)) FROM Dances), "
                            "(SELECT count(*) FROM Dances WHERE Music LIKE '%·%')");
    ASSERT_TRUE(n.step());
    EXPECT_EQ(n.column(0).toInt(), 500);
    EXPECT_EQ(n.column(1).toInt(), 100);
    EXPECT_GE(n.column(2).toInt(), 1000);
    EXPECT_LE(n.column(3).toInt(), 2400);
    EXPECT_GT(n.column(4).toInt(), 100);
}
