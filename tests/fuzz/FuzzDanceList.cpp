// The Recordings page's dance list on any music texts: one line per
// recording, sorted as the collate walks it, and collated without files or
// with every listed file each recording gives one row with its own dance.
#include "FuzzSupport.h"
#include "presentation/music/RecordingsCatalogue.h"

#include <QSet>
#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

QString Dance(const QString &title) { return QLatin1Char('|') + title + QStringLiteral("|Longways|English"); }

} // namespace

// The first byte picks the separator; "\x1e" parts the dances' music texts.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const QChar sep = data[0] & 1 ? QChar(0x20AC) : QChar(0xB7);
    const QStringList texts = FuzzText(data + 1, size - 1).split(QChar(0x1E));
    QList<DanceMusic> dances;
    int recordingLines = 0;
    for (int n = 0; n < texts.size(); ++n) {
        dances.append({n, QStringLiteral("Dance %1").arg(n), QStringLiteral("Longways"), QStringLiteral("English"), texts[n]});
        QString m = texts[n];
        m.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
        recordingLines += int(m.count(QLatin1Char('\r'))) + 1;
    }
    const QStringList lines = DanceListLines(dances, sep);
    Check(lines.size() <= recordingLines);
    QStringList sorted = lines;
    SortCatalogueLines(sorted);
    Check(sorted == lines);

    // Each line: its place, then its own dance.
    QStringList keys;
    QSet<QString> files;
    for (const QString &line : lines) {
        const qsizetype at = line.lastIndexOf(QStringLiteral("|Dance "));
        Check(at >= 0 && line.endsWith(QStringLiteral("|Longways|English")));
        keys.append(line.left(at));
        if (line.startsWith(QLatin1Char(' '))) files.insert(FoldUpper(line.mid(1, at - 1)));
    }

    auto check = [&](const QList<RecRow> &rows, bool withFiles) {
        int k = 0;
        for (const RecRow &row : rows) {
            if (row.kind == RecRowKind::Header) continue;
            Check(row.kind != RecRowKind::Unused && k < lines.size());
            Check(lines[k].endsWith(Dance(row.cells[1])));
            const bool missing = keys[k].startsWith(QLatin1Char(' ')) ? !withFiles : !keys[k].startsWith(QLatin1String("zz "));
            if (row.kind != RecRowKind::And) Check((row.kind == RecRowKind::Missing) == missing);
            ++k;
        }
        Check(k == lines.size());
    };
    check(CollateRecordings(lines, {}, CollateOptions()), false);
    QStringList paths;
    for (const QString &f : files) paths.append(f);
    check(CollateRecordings(lines, RecordingFilePaths(RecordingFileText(paths)), CollateOptions()), true);
    return 0;
}
