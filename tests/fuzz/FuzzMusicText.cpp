// The music text of a dance: split, joined back and split again gives the
// same live text and recordings.
#include "FuzzSupport.h"
#include "core/dances/MusicText.h"

#include <cstdlib>

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const QChar sep = data[0] & 1 ? QChar(0x20AC) : QChar(0xB7);
    const QString text = FuzzText(data + 1, size - 1);
    const MusicParts parts = SplitMusicText(text, sep);
    for (int n = 1; n <= parts.recordings.size() + 1; ++n) {
        const QString line = RecordingLine(text, sep, n);
        TrackOfLine(line, sep);
        KindOfLocation(LineColumn(line, sep, 6));
    }
    QList<QStringList> rows;
    for (const QStringList &r : parts.recordings) {
        QStringList cleaned;
        for (const QString &cell : r) cleaned.append(CleanCell(cell, sep));
        rows.append(cleaned);
    }
    const QString joined = JoinMusicText(CleanCell(parts.live, sep), rows, sep);
    const MusicParts again = SplitMusicText(joined, sep);
    if (JoinMusicText(again.live, again.recordings, sep) != joined) std::abort();
    SearchRecordings(NormaliseForSearch(text), text.left(12));
    return 0;
}
