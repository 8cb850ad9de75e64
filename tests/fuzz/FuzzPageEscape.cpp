// The escaping of catalogue text for a page on any text: the result is plain
// ASCII without the separator; a value escaped for a page holds no mark-up
// character of its own; escaping a finished page again changes nothing.
#include "FuzzSupport.h"
#include "publishing/pages/Html.h"

#include <cstdlib>

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const QChar separators[] = {QChar(0xB7), QLatin1Char('|'), QLatin1Char('~'), QLatin1Char('^')};
    if (size < 1) return 0;
    const QChar separator = separators[data[0] % 4];
    const QString text = FuzzText(data + 1, size - 1);
    const QString once = EscapeHtml(text, separator);
    for (QChar c : once)
        if (c.unicode() >= 128 || c == separator) std::abort();
    if (EscapeHtml(once, separator) != once) std::abort();
    const QString value = HtmlValue(text, separator);
    for (QChar c : value)
        if (c.unicode() >= 128 || c == separator || c == QLatin1Char('<') || c == QLatin1Char('>') ||
            c == QLatin1Char('"'))
            std::abort();
    if (EscapeHtml(value, separator) != value) std::abort();
    return 0;
}
