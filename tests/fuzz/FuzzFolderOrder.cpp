// A music folder's order file merged with what the folder holds, on any
// order text and names: every file shown once, the "CDinfo:" lines kept in
// place, stale lines dropped, the rows the subfolders then the order's files,
// and the order written and read back merges again unchanged.
#include "FuzzSupport.h"
#include "presentation/music/MusicFolders.h"

#include <QHash>
#include <QRegularExpression>
#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

bool IsCdInfo(const QString &line) { return line.startsWith(QLatin1String("CDinfo:")); }

QStringList CdInfoLines(const QStringList &lines) {
    QStringList out;
    for (const QString &line : lines)
        if (IsCdInfo(line)) out.append(line);
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

// Lines starting "/" name subfolders, ">" music files (a folder lists each
// name once), the rest are the order file's lines.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = FuzzText(data, size).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    QStringList order, folders, files;
    QHash<QString, int> fileCount;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('/'))) {
            if (line.size() > 1 && !folders.contains(line.mid(1))) folders.append(line.mid(1));
        } else if (line.startsWith(QLatin1Char('>'))) {
            // A file whose name starts "CDinfo:" cannot be told from the CD details line.
            const QString name = line.mid(1);
            if (!name.isEmpty() && !IsCdInfo(name) && !files.contains(name)) {
                files.append(name);
                ++fileCount[name];
            }
        } else {
            order.append(line);
        }
    }

    const FolderMerge m = MergeFolderOrder(order, folders, files);
    // Every file once, nothing else but the CD details.
    QHash<QString, int> shown;
    for (const QString &f : OrderFiles(m.order)) ++shown[f];
    Check(shown == fileCount);
    Check(CdInfoLines(m.order) == CdInfoLines(order));
    QStringList rows;
    for (const QString &f : folders) rows.append(QStringLiteral("» ") + f);
    rows += OrderFiles(m.order);
    Check(m.rows == rows);
    Check(m.changed == (m.order != order));
    // Files the order named exactly once keep their order.
    QHash<QString, int> named;
    for (const QString &line : order) ++named[line];
    QStringList kept, keptAfter;
    for (const QString &line : order)
        if (named[line] == 1 && fileCount.contains(line)) kept.append(line);
    for (const QString &line : m.order)
        if (kept.contains(line)) keptAfter.append(line);
    Check(kept == keptAfter);

    // Written as the order file and read back, the order merges unchanged.
    QStringList reread = m.order.join(QStringLiteral("\r\n")).split(QStringLiteral("\r\n"));
    if (!reread.isEmpty() && reread.last().isEmpty()) reread.removeLast();
    const FolderMerge again = MergeFolderOrder(reread, folders, files);
    Check(!again.changed && again.order == m.order);
    Check(again.rows == m.rows);
    return 0;
}
