// The picture decoders: the first byte picks the kind, the rest is the file.
// A picture or an error naming the file, never a crash.
#include "FuzzSupport.h"
#include "platform/picture/Picture.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    static const char *const kinds[] = {"jpg", "png", "gif", "bmp", "ico"};
    if (size < 1) return 0;
    const QString path = dir.path() + QStringLiteral("/p.") + QLatin1String(kinds[data[0] % 5]);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(FuzzBytes(data + 1, size - 1));
    }
    try {
        LoadPicture(path);
    } catch (const std::exception &) {
    }
    return 0;
}
