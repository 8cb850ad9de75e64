#include "presentation/music/RecordingsCatalogue.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "presentation/music/MusicFolders.h"
#include "core/dances/MusicText.h"
#include "presentation/music/Playback.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <cstring>
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

// The dances whose music holds the separator, and the value bound to ?1.
// A separator that no other character folds to (and no wildcard) is found
// by instr, which gives the rows of the folding LIKE without calling it
// once per dance.
struct RecordedQuery {
    QString sql;
    QString value;
};
RecordedQuery RecordedQueryFor(QChar sep) {
    bool alone = sep != QLatin1Char('%') && sep != QLatin1Char('_');
    for (char16_t c = 0; alone && c < 0x180; ++c)
        if (c != sep.unicode() && Cp1252::upper(QChar(c)) == Cp1252::upper(sep)) alone = false;
    const QString columns = QStringLiteral("SELECT rowid, Title, Format, Style, Music FROM Dances WHERE ");
    if (alone) return {columns + QStringLiteral("instr(Music, ?1) > 0"), QString(sep)};
    return {columns + QStringLiteral("Music LIKE ?1"), QStringLiteral("%") + sep + QStringLiteral("%")};
}

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
    const RecordedQuery query = RecordedQueryFor(sep);
    return ReadDanceMusic(db, query.sql, {query.value});
}

QList<DanceMusic> DancesForScan(Database &db) {
    return ReadDanceMusic(
        db,
        QStringLiteral(
            "SELECT rowid, Title, Format, Style, Music FROM Dances ORDER BY Title, Format, Style"));
}

namespace {

// Cp1252::upper, with the ASCII letters done here.
inline char16_t FoldChar(char16_t c) {
    if (c < 0x80) return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
    return Cp1252::upper(QChar(c)).unicode();
}

// Text compared after folding both sides, as CompareText compares.
int CompareFolded(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = FoldChar(a[i].unicode()), y = FoldChar(b[i].unicode());
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A dance line's place against a file path with its leading blank.
int CompareWithBlank(QStringView place, QStringView path) {
    if (place.isEmpty()) return -1;
    const char16_t first = FoldChar(place[0].unicode());
    if (first != u' ') return first < u' ' ? -1 : 1;
    return CompareFolded(place.sliced(1), path);
}

// A text in up to seven pieces, the first keyPieces of them its key.
struct TextPieces {
    QStringView piece[7];
    int count = 0, keyPieces = 1;
    QString joined() const {
        QString t;
        for (int k = 0; k < count; ++k) t += piece[k];
        return t;
    }
};

// Folded texts compared code by code, as CompareText compares the
// originals; four characters at a time while they are the same.
inline int CompareCodes(const char16_t *a, qsizetype na, const char16_t *b, qsizetype nb) {
    const qsizetype n = std::min(na, nb);
    qsizetype i = 0;
    for (quint64 x, y; i + 4 <= n; i += 4) {
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) break;
    }
    for (; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

// The order of n texts: by the folded key, then the folded rest, then the
// text as it stands. Each text is folded once, into one buffer, not at
// every comparison (folding keeps every character's place).
template <class PiecesOf> std::vector<qsizetype> FoldedOrder(qsizetype n, PiecesOf piecesOf) {
    struct Entry {
        qsizetype at, keyLength, length, index;
    };
    qsizetype total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const TextPieces t = piecesOf(i);
        for (int k = 0; k < t.count; ++k) total += t.piece[k].size();
    }
    std::vector<char16_t> folded(size_t(total) + 1);
    std::vector<Entry> entries;
    entries.reserve(size_t(n));
    char16_t *to = folded.data();
    for (qsizetype i = 0; i < n; ++i) {
        const TextPieces t = piecesOf(i);
        Entry e{to - folded.data(), 0, 0, i};
        for (int k = 0; k < t.count; ++k) {
            const char16_t *from = t.piece[k].utf16();
            for (qsizetype c = 0; c < t.piece[k].size(); ++c) *to++ = FoldChar(from[c]);
            if (k + 1 == t.keyPieces) e.keyLength = to - folded.data() - e.at;
        }
        e.length = to - folded.data() - e.at;
        entries.push_back(e);
    }
    const char16_t *f = folded.data();
    std::sort(entries.begin(), entries.end(), [f, &piecesOf](const Entry &a, const Entry &b) {
        int c = CompareCodes(f + a.at, a.keyLength, f + b.at, b.keyLength);
        if (c == 0)
            c = CompareCodes(f + a.at + a.keyLength, a.length - a.keyLength, f + b.at + b.keyLength,
                             b.length - b.keyLength);
        // Texts the same but for case (rare): as they stand.
        if (c == 0) c = piecesOf(a.index).joined().compare(piecesOf(b.index).joined());
        return c < 0;
    });
    std::vector<qsizetype> order;
    order.reserve(entries.size());
    for (const Entry &e : entries) order.push_back(e.index);
    return order;
}

// Column k of a recording line (columns parted by the separator).
QStringView ColumnOf(QStringView line, QChar sep, int k) {
    qsizetype start = 0;
    for (; k > 0; --k) {
        const qsizetype at = line.indexOf(sep, start);
        if (at < 0) return {};
        start = at + 1;
    }
    const qsizetype end = line.indexOf(sep, start);
    return line.sliced(start, (end < 0 ? line.size() : end) - start);
}

// The place of one line of a music text (the first line starts with the
// live text; the others get a separator in front so that their columns
// match), "" when the line gives none: a first line of live text alone, or
// a location that is no music file.
QString PlaceOf(QStringView text, bool first, QChar sep) {
    const qsizetype count = text.count(sep) + (first ? 0 : 1);
    if (first && count == 0) return {};
    // A line of other than seven separators is padded to seven and ".?".
    const QStringView location = count < 7 ? QStringView() : text.sliced(text.lastIndexOf(sep) + 1);
    const bool padded = count != 7;
    QString place;
    if (!padded && !location.contains(QLatin1Char('.'))) {
        // A CD: "zz " + location + "\" + its title and ", track " + Trk.
        const QStringView title = ColumnOf(text, sep, first ? 1 : 0);
        const QStringView track = ColumnOf(text, sep, first ? 2 : 1);
        place.reserve(ZZ.size() + location.size() + title.size() + track.size() + 9);
        place += ZZ;
        if (!location.isEmpty()) {
            place += Cp1252::upper(location[0]);
            place += location.sliced(1);
        }
        place += Backslash;
        place += title;
        if (!track.isEmpty()) {
            place += QLatin1String(", track ");
            place += track;
        }
        return place;
    }
    const bool noLocation = padded && location.isEmpty();
    if (!noLocation && (padded || !IsMusicFile(location))) return {};
    if (noLocation) return QStringLiteral(" .?");
    const bool relative = location.size() < 2 || location[1] != QLatin1Char(':');
    place.reserve(location.size() + 1);
    if (relative) place += QLatin1Char(' ');
    const qsizetype at = place.size();
    place += location;
    if (relative && !location.startsWith(QLatin1Char('/'))) {
        QChar *d = place.data();
        for (qsizetype k = at; k < place.size(); ++k)
            if (d[k] == QLatin1Char('/')) d[k] = Backslash;
    }
    return place;
}

} // namespace

QString DanceLine::text() const {
    QString t;
    t.reserve(place.size() + title.size() + format.size() + style.size() + 3);
    t += place;
    t += QLatin1Char('|');
    t += title;
    t += QLatin1Char('|');
    t += format;
    t += QLatin1Char('|');
    t += style;
    return t;
}

void SortCatalogueLines(QStringList &lines) {
    const std::vector<qsizetype> order = FoldedOrder(lines.size(), [&](qsizetype i) {
        const QStringView line(lines[i]);
        const qsizetype end = KeyEnd(lines[i]);
        TextPieces t;
        t.piece[0] = line.first(end);
        t.piece[1] = line.sliced(end);
        t.count = 2;
        return t;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : order) sorted.append(lines[i]);
    lines = std::move(sorted);
}

namespace {

// Hands take the place of each recording line of a music text, in order.
// Lines end at CR; the LF of a CR LF goes with its CR.
template <class Take> void PlacesOf(QStringView music, QChar sep, Take take) {
    qsizetype start = 0;
    for (bool first = true;; first = false) {
        const qsizetype cr = music.indexOf(CR, start);
        QStringView text = music.sliced(start, (cr < 0 ? music.size() : cr) - start);
        if (!first && text.startsWith(QLatin1Char('\n'))) text = text.sliced(1);
        QString place = PlaceOf(text, first, sep);
        if (!place.isEmpty()) take(std::move(place));
        if (cr < 0) break;
        start = cr + 1;
    }
}

} // namespace

void SortDanceLines(QList<DanceLine> &lines) {
    static const QString Bar = QStringLiteral("|");
    const std::vector<qsizetype> order = FoldedOrder(lines.size(), [&](qsizetype i) {
        const DanceLine &l = lines[i];
        TextPieces t;
        t.piece[0] = l.place;
        t.piece[1] = t.piece[3] = t.piece[5] = Bar;
        t.piece[2] = l.title;
        t.piece[4] = l.format;
        t.piece[6] = l.style;
        t.count = 7;
        return t;
    });
    QList<DanceLine> sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : order) sorted.append(std::move(lines[i]));
    lines = std::move(sorted);
}

namespace {

QString TextOf(const Statement &s, int column) {
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), column)),
                             sqlite3_column_bytes(s.get(), column));
}

} // namespace

QList<DanceLine> DanceLinesOf(const QList<DanceMusic> &dances, QChar sep) {
    QList<DanceLine> lines;
    lines.reserve(dances.size() * 2);
    for (const DanceMusic &d : dances)
        PlacesOf(d.music, sep, [&](QString &&place) { lines.append({std::move(place), d.title, d.format, d.style}); });
    SortDanceLines(lines);
    return lines;
}

QList<DanceLine> RecordedDanceLines(Database &db, QChar sep) {
    // Read straight from the statement, the lines made as the rows come;
    // Title, Format and Style only for a dance with lines.
    const RecordedQuery query = RecordedQueryFor(sep);
    Statement s(db.handle(), query.sql);
    s.bindAll({query.value});
    QList<DanceLine> lines;
    lines.reserve(4096);
    while (s.step()) {
        const QString music = TextOf(s, 4);
        const qsizetype first = lines.size();
        PlacesOf(music, sep, [&](QString &&place) { lines.append({std::move(place), {}, {}, {}}); });
        if (lines.size() == first) continue;
        const QString title = TextOf(s, 1), format = TextOf(s, 2), style = TextOf(s, 3);
        for (qsizetype k = first; k < lines.size(); ++k) {
            lines[k].title = title;
            lines[k].format = format;
            lines[k].style = style;
        }
    }
    return lines;
}

QStringList DanceListLines(const QList<DanceMusic> &dances, QChar sep) {
    QStringList out;
    for (const DanceLine &line : DanceLinesOf(dances, sep)) out.append(line.text());
    return out;
}

// ---- the collate -----------------------------------------------------------------------------

QList<RecRow> CollateRecordings(const QList<DanceLine> &danceLines, const QStringList &filePaths,
                                const CollateOptions &options) {
    QList<RecRow> rows;
    rows.reserve(danceLines.size() + filePaths.size() / 4 + 16);
    const QString search = options.search == QLatin1String("Search...") || options.search.size() < 3
                               ? QString()
                               : FoldUpper(options.search);
    static const QString And = QStringLiteral(" and");
    QString prevFolder = QStringLiteral("\x01"); // no row yet
    QString prevName;

    // place: the line's text up to its Title, or a file's " " + path.
    auto add = [&](const DanceLine *line, QStringView place, RecRowKind kind) {
        if (options.unusedOnly && kind != RecRowKind::Unused) return;
        if (!search.isEmpty() && !FoldUpper(line ? line->text() : place.toString()).contains(search)) return;
        QStringView path = place;
        if (path.startsWith(ZZ)) path = path.sliced(ZZ.size());
        else if (path.startsWith(QLatin1Char(' '))) path = path.sliced(1);
        const qsizetype slash = path.lastIndexOf(Backslash);
        const QStringView folder = slash < 0 ? QStringView() : path.first(slash);
        if (rows.isEmpty() || CompareFolded(folder, prevFolder) != 0) {
            RecRow &header = rows.emplace_back();
            header.kind = RecRowKind::Header;
            if (folder.size() == 2 && folder[1] == QLatin1Char(':'))
                header.cells[0] = QStringLiteral("On drive ") + folder.toString();
            else
                header.cells[0] = QStringLiteral("In folder ") +
                                  (folder.isEmpty() ? QStringLiteral("[Root]") : folder.toString());
            prevFolder = folder.toString();
            prevName.clear();
        }
        QString name;
        if (kind == RecRowKind::Missing) name = QLatin1Char('?');
        name += path.sliced(slash + 1);
        RecRow &row = rows.emplace_back();
        row.kind = kind;
        if (name == prevName && name != QLatin1String("?.?") && kind != RecRowKind::Unused) {
            row.kind = RecRowKind::And;
            row.cells[0] = And;
        } else {
            row.cells[0] = name;
        }
        prevName = std::move(name);
        if (line && kind != RecRowKind::Unused) {
            row.cells[1] = line->title;
            row.cells[2] = line->format;
            row.cells[3] = line->style;
        }
    };

    qsizetype i = 0, j = 0;
    const qsizetype ni = danceLines.size(), nj = filePaths.size();
    while (i < ni || j < nj) {
        int c;
        if (i >= ni) c = 1;
        else if (j >= nj) c = -1;
        else c = CompareWithBlank(danceLines[i].place, filePaths[j]);
        if (c == 0) {
            const QString &key = danceLines[i].place;
            for (; i < ni && CompareFolded(danceLines[i].place, key) == 0; ++i)
                add(&danceLines[i], danceLines[i].place, RecRowKind::Recording);
            ++j;
        } else if (c < 0) {
            const DanceLine &line = danceLines[i++];
            add(&line, line.place, line.place.startsWith(ZZ) ? RecRowKind::Recording : RecRowKind::Missing);
        } else {
            const QString &path = filePaths[j++];
            if (IsMusicFile(path)) {
                const QString file = QLatin1Char(' ') + path;
                add(nullptr, file, RecRowKind::Unused);
            }
        }
    }
    return rows;
}

QList<RecRow> CollateRecordings(const QStringList &danceLines, const QStringList &filePaths,
                                const CollateOptions &options) {
    QList<DanceLine> lines;
    lines.reserve(danceLines.size());
    for (const QString &text : danceLines) {
        const qsizetype end = KeyEnd(text);
        const QList<QStringView> parts = QStringView(text).sliced(end).split(QLatin1Char('|'));
        lines.append({text.first(end), parts.value(1).toString(), parts.value(2).toString(),
                      parts.value(3).toString()});
    }
    return CollateRecordings(lines, filePaths, options);
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
