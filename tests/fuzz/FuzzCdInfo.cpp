// The CD details line of a music folder's order file: any four details set
// into any order lines read back as typed ("|", CR and LF as blanks), the
// other lines untouched, and setting what was read changes nothing.
#include "FuzzSupport.h"
#include "presentation/music/MusicFolders.h"

#include <QRegularExpression>
#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

// The text up to the fourth "\x1f" gives the four details; the rest is the
// order file's lines.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = FuzzText(data, size);
    QStringList parts = text.split(QChar(0x1F));
    QStringList fields;
    while (fields.size() < 4) fields.append(parts.isEmpty() ? QString() : parts.takeFirst());
    const QStringList lines =
        parts.join(QChar(0x1F)).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));

    const QStringList old = CdInfoFields(CdInfoLine(lines));
    Check(old.size() == 4);

    const QStringList out = SetCdInfo(lines, fields);
    QStringList typed;
    for (QString f : fields) {
        f.replace(QLatin1Char('|'), QLatin1Char(' '));
        f.replace(QLatin1Char('\r'), QLatin1Char(' '));
        f.replace(QLatin1Char('\n'), QLatin1Char(' '));
        typed.append(f);
    }
    Check(CdInfoFields(CdInfoLine(out)) == typed);
    Check(OrderFiles(out) == OrderFiles(lines));
    // Only the last details line changes, or one is appended.
    Check(out.size() == lines.size() + (CdInfoLine(lines) == QLatin1String("||||||") ? 1 : 0));
    int changed = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) changed += out[i] != lines[i];
    Check(changed <= 1);
    Check(SetCdInfo(out, CdInfoFields(CdInfoLine(out))) == out);
    return 0;
}
