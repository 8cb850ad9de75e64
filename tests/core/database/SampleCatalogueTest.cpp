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

// Every dance item of the sample's programmes names a dance of its catalogue,
// exactly as stored.
TEST_F(QuillaryTest, SampleProgrammesNameCatalogueDances) {
    BuildSampleCatalogue(path("Quillary.mdb"), QDate(2026, 12, 6));
    Database db;
    db.open(path("Quillary.mdb"));
    Statement events(db.handle(), "SELECT Programme FROM Events");
    Statement find(db.handle(), "SELECT count(*) FROM Dances WHERE Title=? COLLATE BINARY AND Format=? COLLATE BINARY "
                                "AND Style=? COLLATE BINARY");
    int items = 0;
    while (events.step()) {
        for (const QString &item : events.columnText(0).split(SepDot, Qt::SkipEmptyParts)) {
            const QStringList key = item.mid(2).split('|');
            if (!item.startsWith(QLatin1String("D|")) || key[0].isEmpty()) continue;
            find.bindAll({key[0], key[1], key[2]});
            find.step();
            EXPECT_EQ(find.column(0).toInt(), 1) << item.toStdString();
            find.reset();
            ++items;
        }
    }
    EXPECT_GT(items, 30);
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
    Statement n(a.handle(), "SELECT (SELECT count(*) FROM Dances), (SELECT count(*) FROM Events)");
    ASSERT_TRUE(n.step());
    EXPECT_EQ(n.column(0).toInt(), 500);
    EXPECT_EQ(n.column(1).toInt(), 100);
}
