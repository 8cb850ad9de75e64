#include "core/dances/MusicText.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "core/dances/DanceShow.h"

namespace {

const QChar CR(u'\r');

// The lines of a text, CR or CR LF between them.
QStringList splitLines(const QString &text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    return t.split(CR);
}

} // namespace

MusicParts SplitMusicText(const QString &text, QChar sep) {
    MusicParts parts;
    const qsizetype at = text.indexOf(sep);
    if (at < 0) {
        parts.live = text;
        return parts;
    }
    parts.live = text.left(at);
    for (const QString &line : splitLines(text.mid(at + 1))) parts.recordings.append(line.split(sep));
    return parts;
}

QString RecordingLine(const QString &text, QChar sep, int n) {
    const qsizetype at = text.indexOf(sep);
    if (at < 0) return QString();
    const QStringList lines = splitLines(text.mid(at + 1));
    const int index = std::max(n, 1) - 1;
    return index < lines.size() ? lines[index] : QString();
}

QString LineColumn(const QString &line, QChar sep, int column) {
    const QStringList columns = line.split(sep);
    return column >= 0 && column < columns.size() ? columns[column] : QString();
}

QString TrackOfLine(const QString &line, QChar sep) { return LineColumn(line, sep, 1); }

QString CleanCell(const QString &cell, QChar sep) {
    QString out = cell;
    for (QChar &c : out)
        if (c == sep || c == CR || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return out;
}

QString JoinMusicText(const QString &live, const QList<QStringList> &rows, QChar sep, bool *missingLocation) {
    if (missingLocation) *missingLocation = false;
    QString text = CleanCell(live, sep) + sep;
    for (const QStringList &row : rows) {
        QString line;
        for (const QString &cell : row) line += CleanCell(cell, sep) + sep;
        while (line.endsWith(sep)) line.chop(1);
        if (line.isEmpty()) continue;
        if (missingLocation && (row.size() < 7 || row[6].isEmpty())) *missingLocation = true;
        text += line + CR;
    }
    while (text.endsWith(CR) || text.endsWith(sep)) text.chop(1);
    return text;
}

LocationKind KindOfLocation(const QString &location) {
    if (location == QLatin1String(".")) return LocationKind::SingleDot;
    if (location.contains(QLatin1Char('.'))) return LocationKind::File;
    return location.isEmpty() ? LocationKind::None : LocationKind::CdTrack;
}

bool IsAbsoluteLocation(const QString &location) {
    return location.contains(QLatin1Char(':')) || location.startsWith(QLatin1Char('/')) ||
           location.startsWith(QLatin1Char('\\'));
}

QString LocationPath(const QString &location, const QString &baseFolder) {
    QString path = IsAbsoluteLocation(location) ? location : baseFolder + location;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

const QList<RecordingColumn> &DefaultRecordingColumns() {
    static const QList<RecordingColumn> columns = {
        {QStringLiteral("Recording"), 200}, {QStringLiteral("Trk"), 25},     {QStringLiteral("Format"), 80},
        {QStringLiteral("BPM"), 30},        {QStringLiteral("Rhythm"), 50},  {QStringLiteral("Comments"), 200},
        {QStringLiteral("Location"), 200},
    };
    return columns;
}

QList<RecordingColumn> RecordingColumnsOf(const QStringList &entries) {
    QList<RecordingColumn> columns;
    for (const QString &entry : entries) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        RecordingColumn column;
        column.title = eq < 0 ? entry : entry.left(eq);
        if (eq >= 0) ParseNumberText(entry.mid(eq + 1), &column.width);
        columns.append(column);
    }
    return columns;
}

MusicRowCheck CheckMusicRows(const QList<QStringList> &rows, int locationColumn, const QString &baseFolder,
                             bool (*exists)(const QString &path)) {
    MusicRowCheck check;
    if (locationColumn < 0) return check;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &row = rows[r];
        const QString location = locationColumn < row.size() ? row[locationColumn] : QString();
        check.row = r + 1;
        switch (KindOfLocation(location)) {
        case LocationKind::SingleDot:
            check.outcome = MusicRowCheck::SingleDot;
            return check;
        case LocationKind::File:
            check.path = LocationPath(location, baseFolder);
            if (!exists(check.path)) {
                check.outcome = MusicRowCheck::FileMissing;
                return check;
            }
            break;
        case LocationKind::CdTrack: {
            const QString track = row.size() > 1 ? row[1] : QString();
            if (track.isEmpty()) check.outcome = MusicRowCheck::NoTrack;
            else if (!ParseNumberText(track, nullptr)) check.outcome = MusicRowCheck::BadTrack;
            if (check.outcome != MusicRowCheck::Ok) return check;
            break;
        }
        case LocationKind::None:
            break;
        }
    }
    check.row = 0;
    check.path.clear();
    return check;
}

QString NormaliseForSearch(const QString &text) {
    return MultiReplace(text, QStringLiteral("\r\n|_|\rThe |\rA |'|,"), QStringLiteral("\r| |\r|\r|||"));
}

QList<SearchMatch> SearchRecordings(const QString &normalisedList, const QString &key) {
    QList<SearchMatch> matches;
    if (key.size() < 3) return matches;
    const QString wanted = FoldUpper(key);
    const QStringList lines = normalisedList.split(CR);
    for (int i = 0; i < lines.size(); ++i) {
        if (!FoldUpper(lines[i]).contains(wanted)) continue;
        const QString entry = lines[i].trimmed();
        const qsizetype slash = entry.lastIndexOf(QLatin1Char('\\'));
        matches.append({i, slash < 0 ? QString() : entry.left(slash), entry.mid(slash + 1)});
    }
    return matches;
}

QString MatchPath(const QString &fileList, int line) {
    const QStringList lines = splitLines(fileList);
    return line >= 0 && line < lines.size() ? lines[line].trimmed() : QString();
}
