// The programme text in every form it is read in. What is read, written back
// and read again gives the same items.
#include "FuzzSupport.h"
#include "programme/text/ProgrammeText.h"

#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {
// The items a programme string holds (the average note is never written).
QStringList Written(const QList<ProgrammeItem> &items) {
    QStringList out;
    for (const ProgrammeItem &item : items)
        if (ItemIsWritten(item)) out.append(ItemText(item, QChar(0xB7)));
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const QChar sep = data[0] & 1 ? QChar(0x20AC) : QChar(0xB7);
    const QString text = FuzzText(data + 1, size - 1);
    const ProgrammeRead first = ReadProgramme(text, sep);
    ReadProgramme(text, sep, true);
    const QString written = WriteProgramme(first.items, sep, QString());
    const ProgrammeRead again = ReadProgramme(written, sep);
    if (Written(first.items) != Written(again.items)) std::abort();
    ReadClip(text, sep);
    ReadExchange(text, sep);
    InsertProgrammeItem(written, sep, int(size % 7) - 1, int(first.items.size()), text.left(20));
    return 0;
}
