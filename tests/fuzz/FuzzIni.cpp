// The settings file on any bytes, then a write and a re-read: the file reads,
// the value written is there, and lines the write did not touch keep their bytes.
#include "FuzzSupport.h"
#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

QUILLARY_FUZZ_INIT

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
    } catch (const std::exception &) {
    }
    return 0;
}
