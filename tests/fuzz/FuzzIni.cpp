// The settings file on any bytes, then a write and a re-read: the file reads,
// the value written is there, and every line the write did not touch keeps
// its bytes, line end included (its text, for a UTF-16 file).
#include "FuzzSupport.h"
#include "base/Cp1252.h"
#include "platform/ini/IniFile.h"
#include "tests/LineBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

// One key written: apart from one common run of lines before it and one
// after, the file differs in at most one line of the original (the key's
// line, or the last line given its end) and at most four new ones (that
// line, a blank line and a header before a new section, the key).
bool onlyTheKeyChanged(const QByteArray &before, const QByteArray &after) {
    const QList<QByteArray> a = LinesWithEnds(before), b = LinesWithEnds(after);
    qsizetype prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    return a.size() - prefix - suffix <= 1 && b.size() - prefix - suffix <= 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Quillary.ini");
    const QByteArray bytes = FuzzBytes(data, size);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(bytes);
    }
    try {
        TIniFile ini(path);
        for (const QString &section : ini.ReadSections()) ini.ReadSectionValues(section);
        ini.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QStringLiteral("Value"));
        TIniFile again(path);
        if (again.ReadString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QString()) != QLatin1String("Value"))
            std::abort();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) std::abort();
        const QByteArray after = f.readAll();
        // A UTF-16 file is written back as UTF-16, and its lines are compared
        // as text (its line ends are not single bytes); so are the lines of a
        // file whose bytes would no longer read back in their old encoding
        // and which is written whole as UTF-8 with a mark.
        TextEncoding was = TextEncoding::Cp1252, now = TextEncoding::Cp1252;
        const QString beforeText = DecodeTextBytes(bytes, &was), afterText = DecodeTextBytes(after, &now);
        const bool utf16 = was == TextEncoding::Utf16Le || was == TextEncoding::Utf16Be;
        if (utf16 && now != was) std::abort();
        if (now != was && now != TextEncoding::Utf8Bom) std::abort();
        const bool asText = utf16 || now != was;
        if (asText ? !onlyTheKeyChanged(beforeText.toUtf8(), afterText.toUtf8()) : !onlyTheKeyChanged(bytes, after))
            std::abort();
    } catch (const std::exception &) {
    }
    return 0;
}
