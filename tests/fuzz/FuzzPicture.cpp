// The picture decoders: the first byte picks the kind, the rest is the file's
// bytes, decoded from memory. A picture or an error naming the file, never a crash.
#include "FuzzSupport.h"
#include "platform/picture/Picture.h"

#include <QImage>

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const QString names[] = {QStringLiteral("p.jpg"), QStringLiteral("p.png"), QStringLiteral("p.gif"),
                                    QStringLiteral("p.bmp"), QStringLiteral("p.ico")};
    if (size < 1) return 0;
    try {
        DecodePicture(FuzzBytes(data + 1, size - 1), names[data[0] % 5]);
    } catch (const std::exception &) {
    }
    return 0;
}
