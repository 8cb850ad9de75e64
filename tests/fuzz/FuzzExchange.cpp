// Programme files, dance files and title lists as the program reads them.
// A programme file's items, inserted and read again, are the same items; a
// dance file that reads, written again, reads back to the same values.
#include "FuzzSupport.h"
#include "programme/files/ExchangeFiles.h"
#include "programme/files/InsertFromList.h"
#include "programme/text/ProgrammeText.h"

#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

// The Dances columns in table order, as the catalogue gives them.
QList<DanceColumn> Columns() {
    using K = DanceColumn::Kind;
    QList<DanceColumn> c;
    for (const char *name : {"Title", "Format", "Style", "Rhythm"}) c.append({name, K::Text});
    c.append({"Lvl", K::Number});
    for (const char *name : {"Energy", "Author", "Collection", "Popular", "SwingP", "SwingN"}) c.append({name, K::Text});
    c.append({"Tolbrook", K::Number});
    c.append({"Called", K::Number});
    for (const char *name : {"KeySig", "Tempo", "Timing", "Instructions", "Footer", "Notes", "Music"})
        c.append({name, K::Text});
    for (const char *name : {"Printed", "Callit", "OwnTune", "DFilter", "CD"}) c.append({name, K::YesNo});
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const QChar sep = data[0] & 1 ? QChar(0x20AC) : QChar(0xB7);
    const QString text = FuzzText(data + 1, size - 1);

    const ProgrammeFileRead programme = ReadProgrammeFile(text, sep, QStringLiteral("f.Ev"));
    const QString loaded = InsertProgrammeFile(QString(), sep, int(size % 5) - 1, false, programme.items);
    QList<ProgrammeItem> written;
    for (const ProgrammeItem &item : programme.items)
        if (ItemIsWritten(item)) written.append(item);
    QList<ProgrammeItem> again = ReadProgramme(loaded, sep).items;
    if (!again.isEmpty()) again.removeLast(); // the average note
    // Reading a stored programme makes no-break spaces blanks.
    const auto same = [sep](const QList<ProgrammeItem> &items) {
        return ExchangeText(items, sep).replace(QChar(0xA0), QLatin1Char(' '));
    };
    if (programme.error.isEmpty() && same(written) != same(again)) std::abort();

    static const QList<DanceColumn> columns = Columns();
    const DanceFileRead dance = ReadDanceFile(text, sep, columns, QStringLiteral("f.Da"));
    if (dance.error.isEmpty()) {
        const DanceFileRead back = ReadDanceFile(DanceFileText(dance.values, columns, sep), sep, columns);
        if (!back.error.isEmpty() || back.values != dance.values) std::abort();
    }

    TitleList(text);
    StoredTitleForm(text.left(40));
    return 0;
}
