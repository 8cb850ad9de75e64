#include "presentation/music/RecordingsCatalogue.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "presentation/music/MusicFolders.h"
#include "presentation/music/MusicText.h"
#include "presentation/music/Playback.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <sqlite3.h>

QString RecordingFileList;

namespace {

const QChar CR(u'\r');
const QChar Backslash(u'\\');
const QString ZZ = QStringLiteral("zz ");

bool NameFitsList(const QString &name) {
    if (name.contains(CR) || name.contains(QLatin1Char('\n')) || name.contains(Backslash)) return false;
    return QFile::decodeName(QFile::encodeName(name)) == name;
}

void SortFolded(QFileInfoList &infos) {
    std::sort(infos.begin(), infos.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const int c = CompareText(a.fileName(), b.fileName());
        return c != 0 ? c < 0 : a.fileName() < b.fileName();
    });
}

struct Walk {
    const QString &base;
    const ScanHooks &hooks;
    QSet<QString> seen;
    QStringList paths;
    bool stopped = false;

    void log(const QString &text) const {
        if (hooks.log) hooks.log(text);
    }

    void folder(const QString &path, bool top) {
        log(QStringLiteral("ScanDisk: ") + path);
        const QFileInfo info(path);
        if (!info.isDir()) {
            const QString drive = DriveOf(path);
            const bool driveExists = drive.contains(QLatin1Char(':')) ? false : QFileInfo(drive).isDir();
            if (hooks.message && top) hooks.message(DriveMessage(path, driveExists));
            else log(DriveMessage(path, driveExists));
            return;
        }
        const QString canonical = info.canonicalFilePath();
        if (seen.contains(canonical)) {
            log(QStringLiteral("Scanned already: ") + path);
            return;
        }
        seen.insert(canonical);
        QDir dir(path);
        if (!dir.isReadable()) { // access denied: only logged
            log(QStringLiteral("Cannot read ") + path);
            return;
        }
        QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
        QFileInfoList folders =
            dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        SortFolded(files);
        SortFolded(folders);
        const QString relative = path.mid(base.size());
        QString prefix = relative;
        prefix.replace(QLatin1Char('/'), Backslash);
        for (const QFileInfo &f : files) {
            const QString name = f.fileName();
            if (SameText(name, QStringLiteral("desktop.ini"))) continue;
            if (!NameFitsList(name)) {
                log(QStringLiteral("Skipped file name: ") + path + name);
                continue;
            }
            paths.append(prefix + name);
        }
        if (hooks.step && !hooks.step()) {
            stopped = true;
            return;
        }
        for (const QFileInfo &d : folders) {
            const QString name = d.fileName();
            if (!NameFitsList(name)) {
                log(QStringLiteral("Skipped folder name: ") + path + name);
                continue;
            }
            folder(path + name + QLatin1Char('/'), false);
            if (stopped) return;
        }
        log(QStringLiteral("End Scan: ") + path);
    }
};

// Where a catalogue line's place ends: before its Title, Format and Style,
// which never hold a "|" (a file name may).
qsizetype KeyEnd(const QString &line) {
    int bars = 0;
    for (qsizetype at = line.size() - 1; at >= 0; --at)
        if (line[at] == QLatin1Char('|') && ++bars == 3) return at;
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    return bar < 0 ? line.size() : bar;
}


} // namespace

// ---- the walk ------------------------------------------------------------------------

QString DriveOf(const QString &folder) {
    if (folder.size() >= 2 && folder[1] == QLatin1Char(':')) return folder.left(2).toUpper();
    const QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    auto mountOf = [&](int depth) {
        QString p;
        for (int i = 0; i < depth && i < parts.size(); ++i) p += QLatin1Char('/') + parts[i];
        return p;
    };
    if (!folder.startsWith(QLatin1Char('/')) || parts.isEmpty()) return QStringLiteral("/");
    // /media/<label> or /media/<user>/<label>; /run/media/<user>/<label>; /mnt/<name>.
    if (parts[0] == QLatin1String("mnt") && parts.size() >= 2) return mountOf(2);
    if (parts[0] == QLatin1String("run") && parts.size() >= 4 && parts[1] == QLatin1String("media"))
        return mountOf(4);
    if (parts[0] == QLatin1String("media") && parts.size() >= 2) {
        if (parts.size() >= 3) {
            const QString deep = mountOf(3);
            const QStorageInfo storage(deep);
            if (storage.isValid() && storage.rootPath() == deep) return deep;
            // A user's folder under /media holds the labels of that user's media.
            if (!QStorageInfo(mountOf(2)).isValid() || QStorageInfo(mountOf(2)).rootPath() != mountOf(2)) {
                const QString user = qEnvironmentVariable("USER");
                if (!user.isEmpty() && parts[1] == user) return deep;
            }
        }
        return mountOf(2);
    }
    return QStringLiteral("/");
}

QString DriveMessage(const QString &folder, bool driveExists) {
    const QString drive = DriveOf(folder);
    if (!driveExists)
        return QStringLiteral("Drive ") + drive + QStringLiteral(" does not exist.  Cannot find ") + folder;
    return QStringLiteral("Drive ") + drive + QStringLiteral(" exists but cannot find ") + folder;
}

QStringList ScanFolder(const QString &baseFolder, const ScanHooks &hooks, bool *stopped) {
    Walk walk{baseFolder, hooks, {}, {}, false};
    walk.folder(baseFolder, true);
    if (stopped) *stopped = walk.stopped;
    return walk.paths;
}

ScanHooks ProgramScanHooks(std::function<bool()> going) {
    ScanHooks hooks;
    hooks.log = [](const QString &text) { WriteLog(text); };
    hooks.message = [](const QString &text) { ShowMsg(text); };
    hooks.step = [going] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !going || going();
    };
    return hooks;
}

QStringList BuildRecordingFileList(const ScanHooks &hooks) {
    if (BaseFolder.isEmpty()) {
        RecordingFileList = RecordingFileText({});
        return {};
    }
    RecordingFileList = RecordingFileText(ScanFolder(BaseFolder, hooks));
    return RecordingFilePaths(RecordingFileList);
}

QString RecordingFileText(QStringList paths) {
    std::sort(paths.begin(), paths.end(), [](const QString &a, const QString &b) {
        const int c = CompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    QString text;
    text.reserve(paths.size() * 40);
    for (const QString &p : paths) text += QLatin1Char(' ') + p + QStringLiteral("\r\n");
    return text + QChar(0xFF);
}

QStringList RecordingFilePaths(const QString &fileList) {
    QStringList paths;
    const QStringList lines = fileList.split(QStringLiteral("\r\n"));
    for (const QString &line : lines)
        if (line.startsWith(QLatin1Char(' '))) paths.append(line.mid(1));
    return paths;
}

// ---- the dance list ------------------------------------------------------------------------

namespace {

// Read straight from the statement: the rows are many (every dance with a
// recording) and each column is wanted as text.
QList<DanceMusic> ReadDanceMusic(Database &db, const QString &sql, const QVariantList &values = {}) {
    QList<DanceMusic> dances;
    Statement s(db.handle(), sql);
    s.bindAll(values);
    while (s.step())
        dances.append({sqlite3_column_int64(s.get(), 0), s.columnText(1), s.columnText(2),
                       s.columnText(3), s.columnText(4)});
    return dances;
}

} // namespace

QList<DanceMusic> RecordedDances(Database &db, QChar sep) {
    return ReadDanceMusic(
        db,
        QStringLiteral("SELECT rowid, Title, Format, Style, Music FROM Dances WHERE Music LIKE ?1"),
        {QStringLiteral("%") + sep + QStringLiteral("%")});
}

QList<DanceMusic> DancesForScan(Database &db) {
    return ReadDanceMusic(
        db,
        QStringLiteral(
            "SELECT rowid, Title, Format, Style, Music FROM Dances ORDER BY Title, Format, Style"));
}

void SortCatalogueLines(QStringList &lines) {
    // Each line folded once, not at every comparison (folding keeps every
    // character's place, so the key and the rest are parts of it); folded
    // texts compare code by code as CompareText compares the originals.
    struct Entry {
        QString folded;
        qsizetype end;
        const QString *line;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(lines.size()));
    for (const QString &line : lines)
        entries.push_back({FoldUpper(line), KeyEnd(line), &line});
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const QStringView fa(a.folded), fb(b.folded);
        int c = fa.left(a.end).compare(fb.left(b.end));
        if (c == 0) c = fa.mid(a.end).compare(fb.mid(b.end));
        return c != 0 ? c < 0 : *a.line < *b.line;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const Entry &e : entries) sorted.append(*e.line);
    lines = std::move(sorted);
}

QStringList DanceListLines(const QList<DanceMusic> &dances, QChar sep) {
    QStringList out;
    for (const DanceMusic &d : dances) {
        QString music = d.music;
        music.replace(QStringLiteral("\r\n"), QString(CR));
        const QStringList lines = music.split(CR);
        for (int n = 0; n < lines.size(); ++n) {
            QString line = n == 0 ? lines[n] : sep + lines[n];
            if (n == 0 && !line.contains(sep)) continue; // live text alone
            const qsizetype count = line.count(sep);
            if (count != 7) line += QString(std::max<qsizetype>(0, 7 - count), sep) + QStringLiteral(".?");
            QString location = line.mid(line.lastIndexOf(sep) + 1);
            QString entry;
            if (!location.contains(QLatin1Char('.'))) {
                if (!location.isEmpty()) location[0] = Cp1252::upper(location[0]);
                const QList<QStringView> columns = QStringView(line).split(sep);
                entry = ZZ + location + Backslash + columns.value(1).toString();
                if (!columns.value(2).isEmpty()) entry += QStringLiteral(", track ") + columns.value(2).toString();
            } else {
                if (!IsMusicFile(location) && location != QLatin1String(".?")) continue;
                const bool relative = location.size() < 2 || location[1] != QLatin1Char(':');
                if (relative && !location.startsWith(QLatin1Char('/'))) location.replace(QLatin1Char('/'), Backslash);
                entry = (relative ? QStringLiteral(" ") : QString()) + location;
            }
            out.append(entry + QLatin1Char('|') + d.title + QLatin1Char('|') + d.format + QLatin1Char('|') + d.style);
        }
    }
    SortCatalogueLines(out);
    return out;
}

// ---- the collate -----------------------------------------------------------------------------

QList<RecRow> CollateRecordings(const QStringList &danceLines, const QStringList &filePaths,
                                const CollateOptions &options) {
    QList<RecRow> rows;
    const QString search = options.search == QLatin1String("Search...") || options.search.size() < 3
                               ? QString()
                               : FoldUpper(options.search);
    QString prevFolder = QStringLiteral("\x01"); // no row yet
    QString prevName;

    // line: the place, then for a dance "|" + Title + "|" + Format + "|" + Style.
    auto add = [&](const QString &line, qsizetype keyEnd, RecRowKind kind) {
        if (options.unusedOnly && kind != RecRowKind::Unused) return;
        if (!search.isEmpty() && !FoldUpper(line).contains(search)) return;
        QString path = line.left(keyEnd);
        if (path.startsWith(ZZ)) path = path.mid(ZZ.size());
        else if (path.startsWith(QLatin1Char(' '))) path = path.mid(1);
        const qsizetype slash = path.lastIndexOf(Backslash);
        const QString folder = slash < 0 ? QString() : path.left(slash);
        QString name = path.mid(slash + 1);
        if (!SameText(folder, prevFolder) || rows.isEmpty()) {
            RecRow header;
            header.kind = RecRowKind::Header;
            header.cells[0] = folder.size() == 2 && folder[1] == QLatin1Char(':')
                                  ? QStringLiteral("On drive ") + folder
                                  : QStringLiteral("In folder ") + (folder.isEmpty() ? QStringLiteral("[Root]") : folder);
            rows.append(header);
            prevFolder = folder;
            prevName.clear();
        }
        if (kind == RecRowKind::Missing) name.prepend(QLatin1Char('?'));
        RecRow row;
        row.kind = kind;
        if (name == prevName && name != QLatin1String("?.?") && kind != RecRowKind::Unused) {
            row.kind = RecRowKind::And;
            row.cells[0] = QStringLiteral(" and");
        } else {
            row.cells[0] = name;
        }
        prevName = name;
        if (kind != RecRowKind::Unused) {
            const QStringList parts = line.mid(keyEnd).split(QLatin1Char('|'));
            for (int c = 1; c < 4 && c < parts.size(); ++c) row.cells[c] = parts[c];
        }
        rows.append(row);
    };

    std::vector<qsizetype> keyEnds;
    keyEnds.reserve(size_t(danceLines.size()));
    for (const QString &line : danceLines) keyEnds.push_back(KeyEnd(line));
    auto keyOf = [&](qsizetype i) { return danceLines[i].left(keyEnds[size_t(i)]); };

    qsizetype i = 0, j = 0;
    const qsizetype ni = danceLines.size(), nj = filePaths.size();
    while (i < ni || j < nj) {
        int c;
        if (i >= ni) c = 1;
        else if (j >= nj) c = -1;
        else c = CompareText(keyOf(i), QLatin1Char(' ') + filePaths[j]);
        if (c == 0) {
            const QString key = keyOf(i);
            for (; i < ni && SameText(keyOf(i), key); ++i)
                add(danceLines[i], keyEnds[size_t(i)], RecRowKind::Recording);
            ++j;
        } else if (c < 0) {
            const QString &line = danceLines[i];
            add(line, keyEnds[size_t(i++)], line.startsWith(ZZ) ? RecRowKind::Recording : RecRowKind::Missing);
        } else {
            const QString file = QLatin1Char(' ') + filePaths[j++];
            if (IsMusicFile(file)) add(file, file.size(), RecRowKind::Unused);
        }
    }
    return rows;
}

// ---- Add ----------------------------------------------------------------------------------

QString AddTarget(const QStringList &firstCells, int row, QString *message) {
    auto refuse = [&] {
        if (message) *message = QStringLiteral("You are not positioned on a recording.");
        return QString();
    };
    if (row < 0 || row >= firstCells.size()) return refuse();
    int r = row;
    while (r > 0 && firstCells[r] == QLatin1String(" and")) --r;
    const QString cell = firstCells[r];
    if (cell.isEmpty() || cell.startsWith(QLatin1Char('?')) || cell.startsWith(QLatin1String("In folder")) ||
        cell.startsWith(QLatin1String("On drive")) || cell == QLatin1String(" and"))
        return refuse();
    // A CD row sits under an "On drive" header: it is no file.
    for (int h = r; h >= 0; --h) {
        if (firstCells[h].startsWith(QLatin1String("On drive"))) return refuse();
        if (firstCells[h].startsWith(QLatin1String("In folder"))) break;
    }
    return FolderOfGridRow(firstCells, r) + cell;
}

QString MusicWithRecording(const QString &music, QChar sep, const QString &path, bool replace) {
    QString m = music;
    const qsizetype at = m.indexOf(sep);
    if (at < 0) m += sep;
    else if (replace) m = m.left(at + 1);
    else m += CR;
    return m + QString(6, sep) + path;
}

// ---- Scan ------------------------------------------------------------------------------------

QString ScanTitleKey(const QString &title) {
    QString key = DisplayTitle(title);
    key.replace(QLatin1Char('_'), QLatin1Char(' '));
    key.remove(QLatin1Char('\''));
    key.remove(QLatin1Char(','));
    if (key.startsWith(QLatin1String("The "))) key = key.mid(4);
    else if (key.startsWith(QLatin1String("A "))) key = key.mid(2);
    return key;
}

QString ScanLiveKey(const QString &live) {
    QString key = live;
    const qsizetype in = key.indexOf(QLatin1String(" in "));
    if (in >= 0) key = key.left(in);
    const qsizetype x = key.indexOf(QLatin1Char('x'));
    if (x >= 0 && x < 4) {
        key = key.mid(x + 1);
        if (key.startsWith(QLatin1Char(' '))) key = key.mid(1);
    }
    return NormaliseForSearch(key);
}

ScanIndex::ScanIndex(const QString &fileList) : m_paths(RecordingFilePaths(fileList)) {
    for (int line = 0; line < m_paths.size(); ++line) {
        const QString normal = FoldUpper(NormaliseForSearch(QLatin1Char(' ') + m_paths[line]));
        for (qsizetype at = normal.indexOf(Backslash); at >= 0; at = normal.indexOf(Backslash, at + 1))
            m_names.emplace_back(normal.mid(at + 1), line);
    }
    std::sort(m_names.begin(), m_names.end());
}

QList<int> ScanIndex::Hits(const QString &key) const {
    QList<int> lines;
    if (key.isEmpty()) return lines; // "." alone would match every hidden "._" file
    const QString wanted = FoldUpper(key) + QLatin1Char('.');
    auto it = std::lower_bound(m_names.begin(), m_names.end(), std::make_pair(wanted, -1));
    for (; it != m_names.end() && it->first.startsWith(wanted); ++it) lines.append(it->second);
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

bool ScanMatch(const QList<DanceMusic> &dances, const ScanIndex &index, QChar sep,
               const std::function<ScanAnswer::Kind(const QString &question)> &ask,
               const std::function<void(const DanceMusic &dance, const QString &music)> &attach) {
    for (const DanceMusic &d : dances) {
        if (d.music.contains(sep)) continue;
        // 0: tried, nothing taken; 1: taken; -1: cancelled.
        auto tryKey = [&](const QString &key) {
            for (int line : index.Hits(key)) {
                const QString path = index.paths()[line];
                if (ask) {
                    const ScanAnswer::Kind a =
                        ask(DisplayTitle(d.title) + QStringLiteral(" - ") + d.format + QStringLiteral(" - ") + d.style +
                            QStringLiteral("\rAdd recording:\r") + path.trimmed());
                    if (a == ScanAnswer::Cancel) return -1;
                    if (a == ScanAnswer::No) continue;
                }
                attach(d, d.music + QString(7, sep) + path);
                return 1;
            }
            return 0;
        };
        int r = tryKey(ScanTitleKey(d.title));
        if (r < 0) return false;
        if (r > 0 || FoldUpper(d.music).contains(QLatin1String("OWN TUNE"))) continue;
        if (tryKey(ScanLiveKey(d.music)) < 0) return false;
    }
    return true;
}
