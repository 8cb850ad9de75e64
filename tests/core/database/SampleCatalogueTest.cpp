#include "base/Cp1252.h"
#include "core/database/SampleCatalogue.h"
#include "platform/ini/IniFile.h"
#include "platform/sqlite/Database.h"
#include "presentation/CardSettings.h"
#include "presentation/cards/CardLayout.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

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

// A new program folder as the build prepares it: the sample's recordings play
// from its Music folder, and the first Ctrl+E finds a card size.
TEST_F(QuillaryTest, NewProgramFolderPlaysTheSampleAndLaysOutCards) {
    const QString program = path("program"), sample = path("bin/sample/");
    QDir().mkpath(sample);
    BuildSampleCatalogue(sample + "Quillary.mdb", QDate(2026, 12, 6));
    ASSERT_TRUE(WriteSampleMusic(sample + "Music"));
    const QStringList prepare = {"-DSRC=" QUILLARY_SOURCE_DIR "/resources", "-DDST=" + program, "-DBIN=" + path("bin"),
                                 "-P", QUILLARY_SOURCE_DIR "/cmake/PrepareProgramFolder.cmake"};
    ProgramOutput("cmake", prepare);

    TIniFile ini(program + "/Quillary.ini");
    const QString base = ini.ReadString("System", "RFolder", "");
    EXPECT_EQ(base, program + "/Music/");
    const QByteArray starter = ReadFileBytes(QUILLARY_SOURCE_DIR "/resources/Quillary.ini");
    EXPECT_EQ(ReadFileBytes(program + "/Quillary.ini").replace("RFolder=" + base.toUtf8() + "\r\n", ""), starter)
        << "the rest of the starter file byte for byte";
    QStringList card;
    for (const QString &key : CardEditNames()) card.append(ini.ReadString("Cards", key, ""));
    const CardGeometryRead read = ReadCardGeometry(card);
    EXPECT_FALSE(read.downAcrossEmpty || read.notWhole || read.sizeMissing) << card.join(',').toStdString();

    Database db;
    db.open(program + "/Quillary.mdb");
    Statement music(db.handle(), "SELECT Title, Music FROM Dances");
    int files = 0;
    while (music.step()) {
        const QStringList lines = music.columnText(1).split('\r');
        for (int i = 0; i < lines.size(); ++i) {
            QStringList columns = lines[i].split(SepDot);
            if (i == 0) columns.removeFirst(); // the live-music text
            const QString location = columns.value(6).replace('\\', '/');
            if (!location.contains('.')) continue;
            EXPECT_TRUE(QFile::exists(base + location)) << music.columnText(0).toStdString() << ": " << location.toStdString();
            ++files;
        }
    }
    EXPECT_GE(files, 2);

    // A settings file that is there already is the user's own: never touched.
    const QByteArray own = "[System]\r\nRFolder=/somewhere/else/\r\n";
    WriteFileBytes(program + "/Quillary.ini", own);
    ProgramOutput("cmake", prepare);
    EXPECT_EQ(ReadFileBytes(program + "/Quillary.ini"), own);
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
