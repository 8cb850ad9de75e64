#include "platform/picture/Metafile.h"

#include <cstdio>

#include <QFileInfo>

#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace {

// Pictures show at the screen resolution Windows gives a metafile.
constexpr double Dpi = 96;

// Frees the API (and the drawing it made) on every way out.
struct ApiHolder {
    wmfAPI *api = nullptr;
    bool memoryOpen = false;
    ~ApiHolder() {
        if (!api) return;
        if (memoryOpen) wmf_mem_close(api);
        wmf_api_destroy(api);
    }
};

// Collects the PNG libwmf writes of the drawing.
int appendToBytes(void *context, char *buffer, int length) {
    static_cast<QByteArray *>(context)->append(buffer, length);
    return length;
}

} // namespace

QString MetafileReaderMissing(const QString &fontFolder) {
    // libwmf's font map names these; the regular sans face is its fallback.
    if (QFileInfo(fontFolder + QStringLiteral("NimbusSans-Regular.t1")).isFile()) return {};
    return QStringLiteral("the metafile reader's fonts are missing from %1 "
                          "(install the Debian package fonts-urw-base35)")
        .arg(fontFolder);
}

QImage DecodeWindowsMetafile(const QByteArray &data, qint64 maxPixels, QString &why) {
    why.clear();
    if (data.size() < 18) {
        why = QStringLiteral("it is not a Windows metafile");
        return {};
    }
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    // Messages go to the caller, not to the terminal.
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    ApiHolder h;
    if (wmf_api_create(&h.api, flags, &options) != wmf_E_None || !h.api) {
        why = QStringLiteral("the metafile reader could not start");
        return {};
    }
    wmf_gd_t *device = WMF_GD_GetData(h.api);
    // The drawing comes back as a PNG through the sink, written when the play
    // ends: libwmf then frees its own image, which it offers no call to free
    // when it hands the image over instead.
    QByteArray png;
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = appendToBytes;

    QByteArray bytes = data; // libwmf reads from a buffer of its own
    if (wmf_mem_open(h.api, reinterpret_cast<unsigned char *>(bytes.data()), long(bytes.size())) != wmf_E_None) {
        why = QStringLiteral("it is not a Windows metafile");
        return {};
    }
    h.memoryOpen = true;
    wmfD_Rect bbox{};
    if (wmf_scan(h.api, 0, &bbox) != wmf_E_None) {
        why = QStringLiteral("it is not a Windows metafile, or it is damaged");
        return {};
    }
    unsigned int width = 0, height = 0;
    if (wmf_display_size(h.api, &width, &height, Dpi, Dpi) != wmf_E_None || width == 0 || height == 0) {
        why = QStringLiteral("it has no size");
        return {};
    }
    if (qint64(width) * qint64(height) > maxPixels) {
        why = QStringLiteral("it is too large");
        return {};
    }
    // A placeable metafile shows its own frame, as Windows does, not only the
    // part its records draw on; libwmf's drawing units are points from the
    // frame's corner.
    const wmfPlaceableMetaHeader *frame = h.api->File ? h.api->File->pmh : nullptr;
    if (h.api->File && h.api->File->placeable && frame && frame->Inch > 0 && frame->Right > frame->Left &&
        frame->Bottom > frame->Top) {
        bbox.TL = {0, 0};
        bbox.BR = {float((frame->Right - frame->Left) * 72.0 / frame->Inch),
                   float((frame->Bottom - frame->Top) * 72.0 / frame->Inch)};
    }
    device->bbox = bbox;
    device->width = width;
    device->height = height;
    if (wmf_play(h.api, 0, &bbox) != wmf_E_None) {
        why = QStringLiteral("it is damaged");
        return {};
    }
    QImage image;
    if (png.isEmpty() || !image.loadFromData(png, "PNG") || image.isNull()) {
        why = QStringLiteral("it is damaged");
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}
