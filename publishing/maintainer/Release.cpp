#include "publishing/maintainer/Release.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/MusicText.h"
#include "core/filter/Filter.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/JetSql.h"
#include "programme/text/ProgrammeText.h"
#include "publishing/maintainer/MaintainerRules.h"
#include "publishing/maintainer/SiteLists.h"
#include "publishing/maintainer/Sync.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cstdio>

QString ReleaseMusic(const QString &music, QChar separator) {
    QString live = SplitMusicText(music, separator).live;
    while (live.endsWith(QLatin1Char('\r')) || live.endsWith(QLatin1Char('\n'))) live.chop(1);
    return live;
}

QString ProgrammeWithoutNotes(const QString &stored, QChar separator) {
    const ProgrammeRead read = ReadProgramme(stored, separator);
    QList<ProgrammeItem> kept;
    for (const ProgrammeItem &item : read.items)
        if (!item.isNote()) kept << item;
    if (kept.isEmpty()) return QString();
    return StoredProgramme(WriteProgramme(kept, separator, QString()), separator);
}

bool ProgrammeNotAvailable(const QString &stored, QChar separator) {
    const ProgrammeRead read = ReadProgramme(stored, separator);
    return !read.items.isEmpty() && read.items.first().isNote() && read.items.first().text == QLatin1String("-");
}

QString ReleaseSettingsText(const QStringList &recordings) {
    auto systemValue = [](const QString &key) {
        QString value = SettingDefault(QStringLiteral("System"), key);
        if (value.isEmpty())
            for (const OptionItem &o : OptionItems())
                if (SameText(o.name, key)) value = o.defaultChecked ? QStringLiteral("1") : QStringLiteral("0");
        return value;
    };
    QStringList lines{QStringLiteral("[System]")};
    for (const char *key : {"ShowTitles", "UseCSS", "Folders"})
        lines << QString::fromLatin1(key) + QLatin1Char('=') + systemValue(QString::fromLatin1(key));
    lines << QStringLiteral("DOrder=FST");
    lines << QStringLiteral("RFolder=") + systemValue(QStringLiteral("RFolder"));
    lines << QStringLiteral("Version=") + ProgramVersion;
    for (const char *key : {"FullSize", "RecDets"})
        lines << QString::fromLatin1(key) + QLatin1Char('=') + systemValue(QString::fromLatin1(key));
    lines << QString() << QStringLiteral("[Recordings]") << recordings;
    lines << QString() << QStringLiteral("[User]") << QStringLiteral("Backup=DBackup.Bat")
          << QStringLiteral("Restore=DRestore.Bat");
    return lines.join(QStringLiteral("\r\n"));
}

ReleaseOutcome CleanReleaseDatabase(Database &release, const MaintainerConfig &c, const QDate &today, QChar separator) {
    ReleaseOutcome outcome;
    QSet<QString> keep;
    if (QFileInfo(c.KeepList).isFile())
        for (const QString &line : ReadTextFile(c.KeepList).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty()) keep.insert(FoldUpper(line.trimmed()));
    Batch batch(release);
    release.execRaw(QStringLiteral("DROP TABLE IF EXISTS W"));
    // The kept plain texts would still hold the instructions removed below.
    release.execRaw(QStringLiteral("DROP TABLE IF EXISTS ") + QLatin1String(InstructionTextsTable));
    release.execRaw(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS FST ON Dances (Format, Style, Title)"));
    {
        Statement read(release.handle(), QStringLiteral("Select ") + DanceFactsColumns + QStringLiteral(" from Dances"));
        Statement write(release.handle(),
                        QStringLiteral("Update Dances Set Instructions = ?, Footer = ?, Music = ? where rowid = ?"));
        QList<QVariantList> updates;
        while (read.step()) {
            DanceFacts d = DanceFactsOf(read);
            const QString storedInstructions = d.Instructions;
            const QString storedFooter = d.Footer;
            const QString storedMusic = d.Music;
            d.Instructions = NormaliseRtf(storedInstructions);
            d.Footer = NormaliseRtf(storedFooter);
            const auto plain = [&d] {
                return RtfBareText(d.Instructions) + QLatin1Char('\n') + RtfBareText(d.Footer) + QLatin1Char('\n') +
                       d.Notes;
            };
            ++outcome.dances;
            QString instructions = d.Instructions;
            if (!instructions.isEmpty() && !MayPublishInstructions(d, plain, keep, c)) {
                instructions.clear();
                ++outcome.instructionsRemoved;
            }
            const QString music = ReleaseMusic(storedMusic, separator);
            if (instructions != storedInstructions || d.Footer != storedFooter || music != storedMusic)
                updates.append({instructions, d.Footer, music, read.column(0).toLongLong()});
        }
        for (const QVariantList &u : updates) {
            write.reset();
            write.bindAll(u);
            write.step();
        }
    }
    {
        const double todayNumber = DateToDayNumber(today);
        Statement read(release.handle(), QStringLiteral("Select rowid, EDate, Programme from Events"));
        QList<qint64> gone;
        QList<QPair<qint64, QString>> programmes;
        while (read.step()) {
            const qint64 id = read.column(0).toLongLong();
            const QVariant date = read.column(1);
            const QString programme = read.columnText(2);
            if (!date.isNull() && date.toDouble() < todayNumber && ProgrammeNotAvailable(programme, separator)) {
                gone << id;
                continue;
            }
            programmes.append({id, ProgrammeWithoutNotes(programme, separator)});
        }
        Statement remove(release.handle(), QStringLiteral("Delete from Events where rowid = ?"));
        for (qint64 id : gone) {
            remove.reset();
            remove.bind(1, id);
            remove.step();
        }
        Statement write(release.handle(), QStringLiteral("Update Events Set Contact = '', Phone = '', Email = '', "
                                                         "Fee = '', Programme = ? where rowid = ?"));
        for (const auto &[id, programme] : programmes) {
            write.reset();
            write.bind(1, programme);
            write.bind(2, id);
            write.step();
        }
        outcome.eventsDeleted = int(gone.size());
    }
    batch.commit();
    return outcome;
}

namespace {

void copyInto(const QString &source, const QString &folder, const QString &failureText) {
    QString error;
    if (!QFileInfo(source).isFile()) AbortMsg(failureText + QStringLiteral("Error code 2:  No such file or directory"));
    if (!CopyFileWhole(source, folder + QFileInfo(source).fileName(), &error)) AbortMsg(failureText + error);
}

} // namespace

ReleaseOutcome MakeRelease(Database &working, const MaintainerConfig &c, const ReleaseInput &in) {
    // 1.
    WriteLog(QStringLiteral("Install"));
    QString install = FindFileNoCase(in.programFolder, QStringLiteral("Install"));
    if (install.isEmpty() || !QFileInfo(install).isDir()) AbortMsg(QStringLiteral("Install folder does not exist!"));
    install += QLatin1Char('/');
    // The temporaries of a killed release (the program's and the database's copies).
    RemoveCopyLeftovers(install);
    // 2. The program; its help pages are inside it.
    const QString programName = QFileInfo(in.programFile).fileName();
    copyInto(in.programFile, install, QStringLiteral("Cannot copy ") + programName + QLatin1Char('\r'));
    // 3. The release database: a copy of the working one, never the working one itself.
    const QString target = install + QStringLiteral("Quillary.mdb");
    const QString workingPath = QFileInfo(working.path()).canonicalFilePath();
    if (QFileInfo(target).exists() && QFileInfo(target).canonicalFilePath() == workingPath)
        AbortMsg(QStringLiteral("The release database ") + target + QStringLiteral(" is the working database."));
    // 4. The accompanying files.
    for (const QString &name : c.ReleaseFiles) {
        QString source = FindFileNoCase(c.ReleaseFilesFolder, name);
        if (source.isEmpty()) source = c.ReleaseFilesFolder + name;
        copyInto(source, install, QStringLiteral("Copy failed for\r") + name + QLatin1Char('\r'));
    }
    // 5.-6. Copy and clean.
    const QString temp = install + QStringLiteral("~Quillary.mdb.part");
    QFile::remove(temp);
    ReleaseOutcome outcome;
    try {
        working.execRaw(QStringLiteral("VACUUM INTO ") + DoubleQuotes(temp));
        Database release;
        release.open(temp);
        // A temporary copy that is thrown away on any failure: it needs no
        // journal on disk nor a wait for the disk on every commit.
        release.execRaw(QStringLiteral("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF"));
        outcome = CleanReleaseDatabase(release, c, in.today, in.separator);
        release.close();
    } catch (const DbError &e) {
        QFile::remove(temp);
        AbortMsg(QStringLiteral("The release database could not be made:\r") + e.text());
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temp);
        AbortMsg(QStringLiteral("Cannot write ") + target);
    }
    // 7. The settings file.
    SaveTextFile(install + StandardIniName, ReleaseSettingsText(in.recordings));
    WriteLog(QStringLiteral("Install: ") + QString::number(outcome.dances) + QStringLiteral(" dances, ") +
             QString::number(outcome.instructionsRemoved) + QStringLiteral(" instructions removed, ") +
             QString::number(outcome.eventsDeleted) + QStringLiteral(" events deleted"));
    return outcome;
}

void RemoveMaintainerLeftovers(const QString &programFolder, const QString &databasePath,
                               const MaintainerConfig *places) {
    const QString install = FindFileNoCase(programFolder, QStringLiteral("Install"));
    if (!install.isEmpty() && QFileInfo(install).isDir()) RemoveCopyLeftovers(install + QLatin1Char('/'));
    if (!databasePath.isEmpty()) {
        const QFileInfo database(databasePath);
        RemoveCopyLeftovers(database.absolutePath() + QLatin1Char('/'), database.fileName());
    }
    if (!places) return;
    // The stick may not be there; the machines' folders are.
    for (const SyncPlace &p : places->Places)
        if (!p.stick && QFileInfo(p.folder).isDir()) RemoveCopyLeftovers(p.folder, places->DatabaseName);
}
