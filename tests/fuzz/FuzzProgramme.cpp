// The programme text in every form it is read in. What is read, written back
// and read again gives the same items.
#include "FuzzSupport.h"
#include "programme/ProgrammeText.h"

#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {
bool SameItems(const QList<ProgrammeItem> &a, const QList<ProgrammeItem> &b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (ItemText(a[i], QChar(0xB7)) != ItemText(b[i], QChar(0xB7))) return false;
    return true;
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
    if (!first.items.isEmpty() && !SameItems(first.items, again.items)) std::abort();
    ReadClip(text, sep);
    ReadExchange(text, sep);
    InsertProgrammeItem(written, sep, int(size % 7) - 1, int(first.items.size()), text.left(20));
    return 0;
}
