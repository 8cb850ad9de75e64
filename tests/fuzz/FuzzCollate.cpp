// The collate of the Recordings page on generated lists: every dance line
// gives one row, every music file no dance names one "Unused" row, a dance
// whose file is not there shows missing, each row under its folder's header;
// "Unused" and the search keep just the rows they should.
#include "FuzzSupport.h"
#include "presentation/music/MusicFolders.h"
#include "presentation/music/RecordingsCatalogue.h"

#include <QHash>
#include <QRegularExpression>
#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Counts {
    int dance = 0, missing = 0, unused = 0;
};

Counts Count(const QList<RecRow> &rows) {
    Counts c;
    bool header = false;
    for (const RecRow &row : rows) {
        if (row.kind == RecRowKind::Header) {
            Check(!header); // a header always heads a row
            header = true;
            continue;
        }
        header = false;
        if (row.kind == RecRowKind::Unused) ++c.unused;
        else ++c.dance;
        if (row.kind == RecRowKind::Missing) ++c.missing;
    }
    Check(!header);
    return c;
}

} // namespace

// Each line names a file under the base folder; its first character says
// whether the folder holds it ("f"), a dance names it ("d"), or both ("b");
// "c" lines are CD recordings. The second line is the search text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = FuzzText(data, size).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (lines.size() < 2) return 0;
    const QString search = lines[0];
    QStringList files, dances;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.size() < 2) continue;
        const QString name = line.mid(1);
        const QString dance = QStringLiteral("|Dance %1|Longways|English").arg(n);
        switch (line[0].unicode()) {
        case 'f': files.append(name); break;
        case 'd': dances.append(QLatin1Char(' ') + name + dance); break;
        case 'b':
            files.append(name);
            dances.append(QLatin1Char(' ') + name + dance);
            break;
        case 'c': dances.append(QStringLiteral("zz D:\\") + name + dance); break;
        default: break;
        }
    }
    const QStringList paths = RecordingFilePaths(RecordingFileText(files));
    if (paths.size() != files.size()) return 0; // a name the list cannot hold
    SortCatalogueLines(dances);

    QHash<QString, int> onDisk, named;
    for (const QString &f : paths) ++onDisk[FoldUpper(f)];
    for (const QString &d : dances)
        if (d.startsWith(QLatin1Char(' '))) ++named[FoldUpper(d.mid(1, d.lastIndexOf(QStringLiteral("|Dance ")) - 1))];
    Counts want;
    want.dance = int(dances.size());
    for (const QString &d : dances)
        if (d.startsWith(QLatin1Char(' ')) &&
            !onDisk.contains(FoldUpper(d.mid(1, d.lastIndexOf(QStringLiteral("|Dance ")) - 1))))
            ++want.missing;
    // Of files of one name apart from case, the first takes the dances.
    QHash<QString, int> seen;
    for (const QString &f : paths) {
        const QString key = FoldUpper(f);
        if ((seen[key]++ > 0 || !named.contains(key)) && IsMusicFile(f)) ++want.unused;
    }

    const Counts all = Count(CollateRecordings(dances, paths, CollateOptions()));
    Check(all.dance == want.dance && all.unused == want.unused);
    Check(all.missing <= want.missing);

    CollateOptions unused;
    unused.unusedOnly = true;
    const Counts spare = Count(CollateRecordings(dances, paths, unused));
    Check(spare.dance == 0 && spare.unused == want.unused);

    CollateOptions searched;
    searched.search = search;
    const QList<RecRow> found = CollateRecordings(dances, paths, searched);
    const Counts some = Count(found);
    if (search.size() < 3 || search == QLatin1String("Search...")) {
        Check(some.dance == all.dance && some.unused == all.unused);
    } else {
        int lines = 0;
        for (const QString &d : dances) lines += FoldUpper(d).contains(FoldUpper(search));
        Check(some.dance == lines);
        Check(some.unused <= want.unused);
    }
    return 0;
}
