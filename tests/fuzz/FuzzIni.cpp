// The settings file on any bytes, then a write and a re-read: the file reads,
// the value written is there, and every line the write did not touch keeps
// its bytes, line end included.
#include "FuzzSupport.h"
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
        if (!f.open(QIODevice::ReadOnly) || !onlyTheKeyChanged(bytes, f.readAll())) std::abort();
    } catch (const std::exception &) {
    }
    return 0;
}
