#include "presentation/music/MusicFolders.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/TextRoutines.h"
#include "platform/shell/PlainFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <algorithm>

const QString FolderOrderFile = QStringLiteral("Ini.Text");
std::function<void(const QString &)> OrderFileChecked;

namespace {

const QString CdInfoMark = QStringLiteral("CDinfo:");
const QString FolderRowMark = QStringLiteral("» ");
// Far more than the names a folder can hold.
constexpr qint64 OrderFileLimit = 16 << 20;

bool IsCdInfo(const QString &line) { return line.startsWith(CdInfoMark); }

void SortFolded(QStringList &names) {
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = CompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
}

} // namespace

bool IsMusicFile(QStringView name) {
    if (!name.contains(QLatin1Char('.'))) return true;
    if (name.size() < 3) return false;
    // The last three characters folded in place: called once per recording line.
    char16_t folded[3];
    for (int k = 0; k < 3; ++k) folded[k] = Cp1252::upper(name[name.size() - 3 + k]).unicode();
    const QStringView ext(folded, 3);
    return ext == u"MP3" || ext == u"MID" || ext == u"M4A" || ext == u"OGG" || ext == u"WAV";
}

FolderMerge MergeFolderOrder(const QStringList &orderLines, const QStringList &subfolders,
                             const QStringList &musicFiles) {
    QList<OrderEntry> order;
    order.reserve(orderLines.size() + musicFiles.size());
    for (const QString &line : orderLines) order.append({line, false});
    // The lines that may name each file, first to last: a line of the same
    // spelling is taken before one of another case, so that two files whose
    // names differ only in case (which a Linux folder may hold) keep a line each.
    QHash<QString, QList<qsizetype>> exact, folded;
    for (qsizetype i = 0; i < orderLines.size(); ++i) {
        if (IsCdInfo(orderLines[i])) continue;
        exact[orderLines[i]].append(i);
        folded[FoldUpper(orderLines[i])].append(i);
    }
    auto claim = [&](const QList<qsizetype> &lines) -> OrderEntry * {
        for (qsizetype i : lines)
            if (!order[i].present) return &order[i];
        return nullptr;
    };

    // Same spelling first for every file, then another case, then new.
    QList<bool> placed(musicFiles.size(), false);
    for (qsizetype f = 0; f < musicFiles.size(); ++f)
        if (OrderEntry *e = claim(exact.value(musicFiles[f]))) {
            e->present = placed[f] = true;
        }
    for (qsizetype f = 0; f < musicFiles.size(); ++f) {
        if (placed[f]) continue;
        const QString &name = musicFiles[f];
        if (IsCdInfo(name)) continue; // it would read back as the CD details
        if (OrderEntry *e = claim(folded.value(FoldUpper(name)))) {
            e->present = true;
            e->text = name; // the spelling on disk, so the row opens the file
        } else {
            order.append({name, true});
        }
    }

    FolderMerge m;
    m.empty = order.isEmpty() && subfolders.isEmpty();
    for (const OrderEntry &e : order)
        if (e.present || IsCdInfo(e.text)) m.order.append(e.text);
    m.changed = m.order != orderLines;
    for (const QString &folder : subfolders) m.rows.append(FolderRowMark + folder);
    for (const QString &line : m.order)
        if (!IsCdInfo(line)) m.rows.append(line);
    return m;
}

QStringList OrderFiles(const QStringList &order) {
    QStringList files;
    for (const QString &line : order)
        if (!IsCdInfo(line)) files.append(line);
    return files;
}

bool MoveOrderEntry(QStringList &order, int fileIndex, int delta) {
    QList<qsizetype> at; // where each file entry stands in the order
    for (qsizetype i = 0; i < order.size(); ++i)
        if (!IsCdInfo(order[i])) at.append(i);
    const int other = fileIndex + delta;
    if (fileIndex < 0 || fileIndex >= at.size() || other < 0 || other >= at.size()) return false;
    order.swapItemsAt(at[fileIndex], at[other]);
    return true;
}

QString CdInfoLine(const QStringList &orderLines) {
    for (auto i = orderLines.size() - 1; i >= 0; --i)
        if (IsCdInfo(orderLines[i])) return orderLines[i];
    return QStringLiteral("||||||");
}

QStringList CdInfoFields(const QString &line) {
    MySplit(line, QStringLiteral("|"));
    QStringList fields;
    for (int i = 1; i <= 4; ++i) fields.append(i < SplitList.size() ? SplitList[i] : QString());
    return fields;
}

QStringList SetCdInfo(const QStringList &orderLines, const QStringList &fields) {
    QString line = CdInfoMark + QLatin1Char('|');
    for (int i = 0; i < 4; ++i) {
        QString f = i < fields.size() ? fields[i] : QString();
        for (QChar &c : f)
            if (c == QLatin1Char('|') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
        line += f + QLatin1Char('|');
    }
    QStringList lines = orderLines;
    for (auto i = lines.size() - 1; i >= 0; --i)
        if (IsCdInfo(lines[i])) {
            lines[i] = line;
            return lines;
        }
    lines.append(line);
    return lines;
}

QString DefaultCdName(const QString &folder) {
    QString f = folder;
    while (f.endsWith(QLatin1Char('/')) || f.endsWith(QLatin1Char('\\'))) f.chop(1);
    const qsizetype at = std::max(f.lastIndexOf(QLatin1Char('/')), f.lastIndexOf(QLatin1Char('\\')));
    f = f.mid(at + 1);
    f.replace(QLatin1Char('_'), QLatin1Char(' '));
    return f;
}

FolderEntries ListFolderEntries(const QString &folder) {
    FolderEntries e;
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) return e;
    e.readable = true;
    const QFileInfoList infos =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QFileInfo &info : infos)
        (info.isDir() ? e.folders : e.files).append(info.fileName());
    SortFolded(e.folders);
    SortFolded(e.files);
    return e;
}

QStringList ReadFolderOrder(const QString &folder, QString *error) {
    if (error) error->clear();
    const QString path = FindFileNoCase(AddSlash(folder), FolderOrderFile);
    // Anything but a plain file (a FIFO, a device, a folder) reads as no
    // order; writing it is refused.
    if (!IsPlainFile(path)) return {};
    QByteArray bytes;
    QString why;
    if (!ReadPlainFile(path, OrderFileLimit, bytes, &why)) {
        if (error) *error = why;
        return {};
    }
    QString text = DecodeTextBytes(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

namespace {

bool HoldsLineBreak(const QString &name) {
    return name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'));
}

// A name as the log shows it: its line breaks written out, so it stays on one line.
QString LoggedName(QString name) {
    name.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    name.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return name;
}

} // namespace

QString OrderFileRefusal(const QString &folder, const QString &baseFolder) {
    const QString path = FindFileNoCase(AddSlash(folder), FolderOrderFile);
    const QFileInfo file(path);
    // A link is never written through: its target may be any file of the user's.
    if (file.isSymLink() || (file.exists() && !file.isFile()))
        return path + QStringLiteral(" is a link or not a plain file, so it is only read.");
    if (!baseFolder.isEmpty()) {
        const QString base = QFileInfo(baseFolder).canonicalFilePath();
        const QString here = QFileInfo(folder).canonicalFilePath();
        if (!base.isEmpty() && !here.isEmpty() && here != base && !here.startsWith(AddSlash(base)))
            return folder + QStringLiteral(" is reached through a link that leaves the base folder, so its order "
                                           "file is only read.");
    }
    return QString();
}

bool WriteFolderOrder(const QString &folder, const QStringList &lines, QString *error, const QString &baseFolder) {
    const QString refusal = OrderFileRefusal(folder, baseFolder);
    if (!refusal.isEmpty()) {
        if (error) *error = refusal;
        return false;
    }
    // An order file of another case is rewritten under its own name.
    const QString path = FindFileNoCase(AddSlash(folder), FolderOrderFile);
    if (OrderFileChecked) OrderFileChecked(path);
    QString text = lines.join(QStringLiteral("\r\n"));
    if (!text.isEmpty()) text += QStringLiteral("\r\n");
    // Renamed into place: a link that appeared since the check above is
    // replaced, never written through.
    return ReplaceFileByRename(path, EncodeTextBytes(text), error, baseFolder);
}

FolderListing ListMusicFolder(const QString &folder, const QString &baseFolder) {
    FolderListing listing;
    FolderEntries entries = ListFolderEntries(folder);
    listing.readable = entries.readable;
    if (!entries.readable) return listing;
    // A name holding a line break would become lines of the order file of
    // its own (a forged "CDinfo:" line among them): it is passed over.
    for (QStringList *names : {&entries.folders, &entries.files})
        names->removeIf([&](const QString &name) {
            if (!HoldsLineBreak(name)) return false;
            WriteLog(QStringLiteral("Passed over a name holding a line break: ") + LoggedName(folder + name));
            return true;
        });
    // A file named like the CD details line would be read back as that line.
    entries.files.removeIf([&](const QString &name) {
        if (!IsCdInfo(name)) return false;
        WriteLog(QStringLiteral("Passed over a name like the CD details line: ") + LoggedName(folder + name));
        return true;
    });
    QStringList files;
    for (const QString &name : entries.files)
        if (IsMusicFile(name)) files.append(name);
    QString readError;
    const QStringList loaded = ReadFolderOrder(folder, &readError);
    listing.merge = MergeFolderOrder(loaded, entries.folders, files);
    // An order file that could not be read is never written over.
    if (!readError.isEmpty()) {
        listing.writeError = readError;
        return listing;
    }
    if (listing.merge.changed &&
        !WriteFolderOrder(folder, listing.merge.order, &listing.writeError, baseFolder) &&
        listing.writeError.isEmpty())
        listing.writeError = QStringLiteral("not written");
    return listing;
}

QString ResolveBaseFolder(const QString &stored) {
    QString folder = stored;
    if (SameText(folder, QStringLiteral("My Music")))
        folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder.isEmpty()) return folder;
    const bool drive = folder.size() >= 2 && folder[1] == QLatin1Char(':');
    if (!drive && QDir::isRelativePath(folder)) {
        const QString inProgram = QDir::cleanPath(ProgramFolder + folder);
        const QString inData = QDir::cleanPath(DataFolder + folder);
        folder = !QFileInfo(inProgram).isDir() && !DataFolder.isEmpty() && QFileInfo(inData).isDir() ? inData : inProgram;
    }
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString FolderCaption(const QString &current, const QString &baseFolder) {
    if (current == baseFolder) return QStringLiteral("Base folder");
    if (!baseFolder.isEmpty() && current.startsWith(baseFolder)) return current.mid(baseFolder.size());
    return current;
}

QString ParentFolder(const QString &folder) {
    QString f = folder;
    if (f.endsWith(QLatin1Char('/'))) f.chop(1);
    const qsizetype at = f.lastIndexOf(QLatin1Char('/'));
    return at < 0 ? folder : f.left(at + 1);
}
