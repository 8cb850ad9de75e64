// Saves killed at random moments (SIGKILL, fixed seed) leave files that open
// whole: every save reported as committed is there, the one running is there
// whole or not at all.

#include "base/Cp1252.h"
#include "core/database/SampleCatalogue.h"
#include "platform/ini/IniFile.h"
#include "platform/sqlite/Database.h"
#include "programme/text/ProgrammeText.h"
#include "TestSupport.h"

#include <QMap>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <csignal>
#include <random>

namespace {

class CrashTest : public QuillaryTest {
protected:
    // Starts the writer, lets it report a random number of saves (up to most)
    // and work a random moment more, kills it and returns the lines it reported.
    // Counting saves rather than time keeps the runs alike on a busy machine.
    QStringList killRun(const QStringList &args, int most) {
        QProcess writer;
        writer.start(QStringLiteral(QUILLARY_CRASH_WRITER), args);
        EXPECT_TRUE(writer.waitForStarted());
        const int saves = std::uniform_int_distribution<int>(0, most)(random);
        QByteArray out;
        while (out.count('\n') < saves + 1 && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(2000);
            out += writer.readAllStandardOutput();
        }
        QThread::usleep(std::uniform_int_distribution<int>(0, 4000)(random));
        // A writer that ended by itself has no process left to kill (and pid 0
        // would mean this whole process group).
        if (const qint64 pid = writer.processId(); pid > 0) ::kill(pid_t(pid), SIGKILL);
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
        lines.removeAll(QStringLiteral("ready"));
        for (const QString &l : lines) EXPECT_FALSE(l.startsWith(QStringLiteral("error"))) << l.toStdString();
        return lines;
    }
    std::mt19937 random{20261207};
};

QVariant Scalar(Database &db, const QString &sql) {
    Statement s(db.handle(), sql);
    return s.step() ? s.column(0) : QVariant();
}

} // namespace

TEST_F(CrashTest, ProgrammeSavesSurviveKills) {
    const QString file = path("Crash.mdb");
    {
        Database db;
        db.create(file);
        Batch batch(db);
        Statement dance(db.handle(), "INSERT INTO Dances (Title, Format, Style, Called) VALUES (?, 'Longways', 'English', 0)");
        for (int i = 0; i < 30; ++i) {
            dance.bindAll({QStringLiteral("Dance %1").arg(i)});
            dance.step();
            dance.reset();
        }
        Statement event(db.handle(), "INSERT INTO Events (Org, EDate, Event, Programme) VALUES ('Club', ?, 'Social', ?)");
        for (int e = 0; e < 600; ++e) {
            QList<ProgrammeItem> items;
            for (int k = 0; k < 5; ++k)
                items.append(ProgrammeItem::dance(QStringLiteral("Dance %1").arg((e + k) % 30), "Longways", "English"));
            event.bindAll({45000.0 + e, WriteProgramme(items, SepDot, QString())});
            event.step();
            event.reset();
        }
        batch.commit();
    }
    int kills = 0, committed = 0;
    QSet<qint64> reported;
    for (; kills < 100; ++kills) {
        for (const QString &line : killRun({"programme", file}, 12)) reported.insert(line.toLongLong());
        Database db;
        db.open(file);
        ASSERT_EQ(Scalar(db, "PRAGMA integrity_check").toString(), QStringLiteral("ok")) << "kill " << kills;
        const qint64 updated = Scalar(db, "SELECT count(*) FROM Events WHERE Updated = 'Y'").toLongLong();
        // Five counted dances for each event marked updated, and not one more.
        ASSERT_EQ(Scalar(db, "SELECT sum(Called) FROM Dances").toLongLong(), 5 * updated) << "kill " << kills;
        for (const qint64 rowid : reported) {
            Statement s(db.handle(), "SELECT Updated FROM Events WHERE rowid = ?");
            s.bindAll({rowid});
            ASSERT_TRUE(s.step() && s.columnText(0) == QLatin1String("Y")) << "committed save " << rowid << " lost";
        }
        committed = int(updated);
        if (updated == 600) break;
    }
    RecordProperty("kills", kills);
    RecordProperty("saves", committed);
    EXPECT_GE(kills, 50);
    EXPECT_GT(committed, 100);
}

TEST_F(CrashTest, SettingsWritesSurviveKills) {
    const QString file = path("Quillary.ini");
    WriteFileBytes(file, "[System]\r\nDelim=\xB7\r\n");
    QMap<QString, int> values;
    QSet<QByteArray> before;
    int next = 0;
    for (int kill = 0; kill < 50; ++kill) {
        before.insert(ReadFileBytes(file));
        const int inFlightStart = next;
        int last = next - 1;
        for (const QString &line : killRun({"settings", file, QString::number(next)}, 12)) {
            const QStringList kv = line.split('=');
            values[kv.value(0)] = kv.value(1).toInt();
            last = kv.value(1).toInt();
        }
        const int inFlight = std::max(last + 1, inFlightStart);
        TIniFile ini(file);
        EXPECT_EQ(ini.ReadString("System", "Delim", QString()), QStringLiteral("·")) << "kill " << kill;
        for (int k = 0; k < 5; ++k) {
            const QString key = QStringLiteral("K%1").arg(k);
            const int found = ini.ReadInteger("Crash", key, -1);
            const bool inFlightKey = inFlight % 5 == k;
            EXPECT_TRUE(found == values.value(key, -1) || (inFlightKey && found == inFlight))
                << "kill " << kill << " " << key.toStdString() << " = " << found;
            if (inFlightKey && found == inFlight) values[key] = inFlight;
        }
        next = inFlight + 1;
        if (QFileInfo::exists(file + ".bak")) {
            EXPECT_TRUE(before.contains(ReadFileBytes(file + ".bak"))) << "kill " << kill;
        }
    }
}

TEST_F(CrashTest, CompactionSurvivesKills) {
    const QString file = path("Quillary.mdb");
    BuildSampleCatalogue(file, QDate(2026, 12, 6));
    WriteFileBytes(path("Quillary.ini"), "[System]\r\n");
    qint64 dances = 0, events = 0;
    {
        Database db;
        db.open(file);
        dances = Scalar(db, "SELECT count(*) FROM Dances").toLongLong();
        events = Scalar(db, "SELECT count(*) FROM Events").toLongLong();
    }
    for (int kill = 0; kill < 20; ++kill) {
        killRun({"compact", tempDir->path()}, 2);
        Database db;
        ASSERT_NO_THROW(db.open(file)) << "kill " << kill;
        EXPECT_EQ(Scalar(db, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        EXPECT_EQ(Scalar(db, "SELECT count(*) FROM Dances").toLongLong(), dances);
        EXPECT_EQ(Scalar(db, "SELECT count(*) FROM Events").toLongLong(), events);
    }
}
