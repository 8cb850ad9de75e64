#include "base/Cp1252.h"
#include "core/database/SampleCatalogue.h"
#include "platform/ini/IniFile.h"
#include "platform/sqlite/Database.h"
#include "presentation/CardSettings.h"
#include "presentation/cards/CardLayout.h"
#include "presentation/music/MusForm.h"
#include "presentation/music/MusicFolders.h"
#include "core/dances/DanceShow.h"
#include "base/AppState.h"
#include "core/startup/Settings.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableWidget>
#include <functional>

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

// Copies a folder tree.
static bool CopyTree(const QString &from, const QString &to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &f : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + '/' + f.fileName();
        if (f.isDir() ? !CopyTree(f.filePath(), target) : !QFile::copy(f.filePath(), target)) return false;
    }
    return true;
}

// A new program folder as the build prepares it, copied elsewhere as a user
// copies it and the original removed: each row is one thing the copy does on
// its own (an empty fault is a pass).
TEST_F(QuillaryTest, NewProgramFolderWorksWhereverItIsCopied) {
    const QString program = path("program"), sample = path("bin/sample/"), copy = path("copied/Quillary");
    QDir().mkpath(sample);
    BuildSampleCatalogue(sample + "Quillary.mdb", QDate(2026, 12, 6));
    ASSERT_TRUE(WriteSampleMusic(sample + "Music"));
    const QStringList prepare = {"-DSRC=" QUILLARY_SOURCE_DIR "/resources", "-DDST=" + program, "-DBIN=" + path("bin"),
                                 "-P", QUILLARY_SOURCE_DIR "/cmake/PrepareProgramFolder.cmake"};
    ProgramOutput("cmake", prepare);
    ASSERT_TRUE(CopyTree(program, copy));
    ASSERT_TRUE(QDir(program).removeRecursively());
    const QString savedProgram = ProgramFolder;
    ProgramFolder = copy + '/';
    DataFolder = copy + '/';

    TIniFile ini(copy + "/Quillary.ini");
    const QString stored = ini.ReadString("System", "RFolder", "");
    const QString base = ResolveBaseFolder(stored);
    Database db;
    db.open(copy + "/Quillary.mdb");
    auto music = [&db](const char *title) {
        Statement s(db.handle(), "SELECT Music FROM Dances WHERE Title=?");
        s.bindAll({QString::fromLatin1(title)});
        return s.step() ? s.columnText(0) : QString();
    };

    struct Row {
        const char *name;
        std::function<QString()> fault;
    };
    const QList<Row> rows = {
        {"the base folder is stored relative",
         [&] { return stored.startsWith('/') || stored.contains(':') || stored.isEmpty() ? stored : QString(); }},
        {"the base folder is the copy's Music folder",
         [&] { return base == copy + "/Music/" ? QString() : base; }},
        {"the settings file is the starter file byte for byte",
         [&] {
             return ReadFileBytes(copy + "/Quillary.ini") == ReadFileBytes(QUILLARY_SOURCE_DIR "/resources/Quillary.ini")
                        ? QString()
                        : QStringLiteral("differs");
         }},
        {"every sample recording file lies under the base folder",
         [&] {
             QStringList missing;
             int files = 0;
             Statement all(db.handle(), "SELECT Title, Music FROM Dances");
             while (all.step()) {
                 const QStringList lines = all.columnText(1).split('\r');
                 for (int i = 0; i < lines.size(); ++i) {
                     QStringList columns = lines[i].split(SepDot);
                     if (i == 0) columns.removeFirst(); // the live-music text
                     const QString location = columns.value(6).replace('\\', '/');
                     if (!location.contains('.')) continue;
                     ++files;
                     if (!QFile::exists(base + location)) missing << all.columnText(0) + ": " + location;
                 }
             }
             if (files < 2) missing << QStringLiteral("only %1 files").arg(files);
             return missing.join(", ");
         }},
        {"the first Ctrl+E finds a card size",
         [&] {
             QStringList card;
             for (const QString &key : CardEditNames()) card.append(ini.ReadString("Cards", key, ""));
             const CardGeometryRead read = ReadCardGeometry(card);
             return read.downAcrossEmpty || read.notWhole || read.sizeMissing ? card.join(',') : QString();
         }},
        {"the Music dialog shows every recording row (three, and twelve) and the empty row",
         [&] {
             IniFile = std::make_unique<TIniFile>(copy + "/Quillary.ini");
             const QString three = music("Apple Cart Jig");
             const QString line = three.split('\r').last();
             QStringList hidden;
             for (const QString &text : {three, three + QString('\r' + line).repeated(9)}) {
                 MusicText = text;
                 const int recordings = int(text.count('\r')) + 1;
                 TMusForm *dialog = &MusForm(nullptr);
                 dialog->FormShow();
                 dialog->show();
                 const QRect view = dialog->RGrid->viewport()->rect();
                 for (int r = 0; r <= recordings; ++r)
                     if (!view.contains(dialog->RGrid->visualRect(dialog->RGrid->model()->index(r, 1))))
                         hidden << QStringLiteral("%1 of %2").arg(r + 1).arg(recordings);
                 delete dialog; // the next user makes its own
             }
             MusicText.clear();
             IniFile.reset();
             return hidden.join(", ");
         }},
    };
    for (const Row &row : rows) EXPECT_EQ(row.fault(), QString()) << row.name;

    // A settings file that is there already is the user's own: never touched.
    const QByteArray own = "[System]\r\nRFolder=/somewhere/else/\r\n";
    WriteFileBytes(program + "/Quillary.ini", own);
    ProgramOutput("cmake", prepare);
    EXPECT_EQ(ReadFileBytes(program + "/Quillary.ini"), own);
    ProgramFolder = savedProgram;
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
