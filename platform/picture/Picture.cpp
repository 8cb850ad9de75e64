#include "platform/picture/Picture.h"

#include "base/Cp1252.h"
#include "platform/picture/Metafile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

// The C libraries' headers after <cstdio>, which jpeglib.h needs first.
#include <gif_lib.h>
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

namespace {

// Pictures larger than this are refused rather than risking the memory.
constexpr qint64 kMaxPixels = 200'000'000;

// Why a decoder gave up, in words for the user.
struct DecodeError {
    QString reason;
};

QImage newImage(qint64 width, qint64 height, QImage::Format format) {
    if (width <= 0 || height <= 0) throw DecodeError{QStringLiteral("it has no size")};
    if (width * height > kMaxPixels) throw DecodeError{QStringLiteral("it is too large")};
    QImage image(int(width), int(height), format);
    if (image.isNull()) throw DecodeError{QStringLiteral("there is not enough memory for it")};
    return image;
}

// ---- JPEG (libjpeg) ----------------------------------------------------
// libjpeg reports fatal errors through a callback that must not return: it
// jumps back to the decoder, which cleans up and reports the message.

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo) {
    auto *err = reinterpret_cast<JpegErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are tolerated (a picture with a few bad bytes still shows), except
// a file that ends before the picture does.
void jpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) jpegErrorExit(cinfo);
}

void jpegOutputMessage(j_common_ptr) {}

// What the decoder fills; it lives outside the function that jumps.
struct JpegJob {
    const QByteArray *data = nullptr;
    QImage image;
    std::vector<unsigned char> row;
    QString error;
};

// Runs an allocation for a decoder; a failure becomes the job's error text,
// since the decoders' error jumps must not cross a C++ exception.
template <typename Allocate> bool allocateFor(QString &error, Allocate allocate) {
    try {
        allocate();
        return true;
    } catch (const DecodeError &e) {
        error = e.reason;
        return false;
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("there is not enough memory for it");
        return false;
    }
}

bool allocateJpegImage(JpegJob &job, const jpeg_decompress_struct &cinfo, QImage::Format format) {
    return allocateFor(job.error, [&] {
        job.image = newImage(cinfo.output_width, cinfo.output_height, format);
        job.row.resize(size_t(cinfo.output_width) * size_t(cinfo.output_components));
    });
}

// Holds no object with a destructor, since a fatal error jumps back into it.
bool decodeJpeg(JpegJob &job) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.emit_message = jpegEmitMessage;
    err.pub.output_message = jpegOutputMessage;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        job.error = QString::fromLocal8Bit(err.message);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(job.data->constData()),
                 static_cast<unsigned long>(job.data->size()));
    jpeg_read_header(&cinfo, TRUE);

    bool cmyk = false;
    bool inverted = false; // Adobe's CMYK stores the inks inverted
    QImage::Format format = QImage::Format_RGB888;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        format = QImage::Format_RGB32;
        cmyk = true;
        inverted = cinfo.saw_Adobe_marker;
        break;
    default:
        cinfo.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&cinfo);
    if (!allocateJpegImage(job, cinfo, format)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW target = cmyk ? job.row.data() : job.image.scanLine(y);
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) continue;
        if (!cmyk) continue;
        auto *out = reinterpret_cast<QRgb *>(job.image.scanLine(y));
        const unsigned char *in = job.row.data();
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x, in += 4) {
            int c = in[0], m = in[1], yel = in[2], k = in[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yel = 255 - yel;
                k = 255 - k;
            }
            out[x] = qRgb(c * k / 255, m * k / 255, yel * k / 255);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

QImage loadJpeg(const QByteArray &data) {
    JpegJob job;
    job.data = &data;
    if (!decodeJpeg(job)) throw DecodeError{job.error};
    return job.image;
}

// ---- PNG (libpng over zlib) --------------------------------------------

struct PngJob {
    const QByteArray *data = nullptr;
    qsizetype pos = 0;
    QImage image;
    std::vector<png_bytep> rows;
    QString error;
};

void pngError(png_structp png, png_const_charp message) {
    auto *job = static_cast<PngJob *>(png_get_error_ptr(png));
    if (job->error.isEmpty()) job->error = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep out, png_size_t length) {
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    if (qsizetype(length) > job->data->size() - job->pos) png_error(png, "the file ends too soon");
    std::memcpy(out, job->data->constData() + job->pos, length);
    job->pos += qsizetype(length);
}

bool allocatePngImage(PngJob &job, png_uint_32 width, png_uint_32 height, bool alpha) {
    return allocateFor(job.error, [&] {
        job.image =
            newImage(width, height, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
        job.rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            job.rows[y] = job.image.scanLine(int(y));
    });
}

// Holds no object with a destructor, since an error jumps back into it.
bool decodePng(PngJob &job) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, pngError, pngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &job, pngRead);
    // The texts, profiles and other notes a picture may carry are not shown:
    // they are passed over unread, so that a damaged length claiming
    // gigabytes makes no buffer of that size.
    static const png_byte skipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, skipped, 9);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    const bool alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    // Everything becomes 8-bit RGBA: palettes and low-bit grey expanded, a
    // transparent colour turned into alpha, 16 bits cut to 8.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (!alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected pixel layout");
    if (!allocatePngImage(job, width, height, alpha)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_read_image(png, job.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

QImage loadPng(const QByteArray &data) {
    if (data.size() < 8 ||
        png_sig_cmp(reinterpret_cast<png_const_bytep>(data.constData()), 0, 8) != 0)
        throw DecodeError{QStringLiteral("it is not a PNG file")};
    PngJob job;
    job.data = &data;
    if (!decodePng(job))
        throw DecodeError{job.error.isEmpty() ? QStringLiteral("the PNG reader could not start")
                                              : job.error};
    return job.image;
}

// ---- GIF (giflib) ------------------------------------------------------

struct GifSource {
    const QByteArray *data;
    qsizetype pos;
};

int gifRead(GifFileType *gif, GifByteType *out, int length) {
    auto *src = static_cast<GifSource *>(gif->UserData);
    const int n = int(std::min<qsizetype>(length, src->data->size() - src->pos));
    if (n <= 0) return 0;
    std::memcpy(out, src->data->constData() + src->pos, size_t(n));
    src->pos += n;
    return n;
}

struct GifCloser {
    GifFileType *gif;
    ~GifCloser() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

[[noreturn]] void gifFailed(int code) {
    const char *text = GifErrorString(code);
    throw DecodeError{text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code)};
}

// The first frame on the picture's canvas; the rest of an animation is not read.
QImage loadGif(const QByteArray &data) {
    GifSource source{&data, 0};
    int error = 0;
    GifFileType *gif = DGifOpen(&source, gifRead, &error);
    if (!gif) gifFailed(error);
    GifCloser closer{gif};

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) gifFailed(gif->Error);
        if (type == TERMINATE_RECORD_TYPE) throw DecodeError{QStringLiteral("it holds no picture")};
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) gifFailed(gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
                    transparent = gcb.TransparentColor;
            }
            while (block)
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) gifFailed(gif->Error);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR) gifFailed(gif->Error);
        break;
    }

    const GifImageDesc &desc = gif->Image;
    const ColorMapObject *colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!colours || !colours->Colors) throw DecodeError{QStringLiteral("it has no colour table")};
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Left < 0 || desc.Top < 0)
        throw DecodeError{QStringLiteral("its frame has no size")};
    // A code of at least two bits gives at most 4,096 pixels: a frame larger
    // than the rest of the file could describe is cut short, found before
    // its canvas is made.
    if (qint64(desc.Width) * desc.Height > (data.size() - source.pos) * 4 * 4096)
        throw DecodeError{QStringLiteral("the file ends too soon")};
    const qint64 canvasWidth = std::max<qint64>(gif->SWidth, qint64(desc.Left) + desc.Width);
    const qint64 canvasHeight = std::max<qint64>(gif->SHeight, qint64(desc.Top) + desc.Height);
    QImage image = newImage(canvasWidth, canvasHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);

    std::vector<GifPixelType> line(size_t(desc.Width));
    auto putLine = [&](int row) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) gifFailed(gif->Error);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(desc.Top + row)) + desc.Left;
        for (int x = 0; x < desc.Width; ++x) {
            const int index = line[size_t(x)];
            if (index == transparent) continue;
            if (index < colours->ColorCount) {
                const GifColorType &c = colours->Colors[index];
                out[x] = qRgb(c.Red, c.Green, c.Blue);
            } else {
                out[x] = qRgb(0, 0, 0);
            }
        }
    };
    if (desc.Interlace) {
        static const int start[] = {0, 4, 2, 1};
        static const int step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = start[pass]; row < desc.Height; row += step[pass])
                putLine(row);
    } else {
        for (int row = 0; row < desc.Height; ++row)
            putLine(row);
    }
    const bool covers =
        desc.Left == 0 && desc.Top == 0 && desc.Width == canvasWidth && desc.Height == canvasHeight;
    if (transparent == NO_TRANSPARENT_COLOR && covers)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

// ---- Bitmaps and icons (Qt) --------------------------------------------

quint32 littleEndian32(const QByteArray &data, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(data[at + i]);
    return v;
}

// Qt's bitmap reader shows a file cut short as a partly blank picture; an
// uncompressed bitmap's size is known from its header, so check it first.
void checkBitmapLength(const QByteArray &data) {
    if (data.size() < 34 || !data.startsWith("BM")) return; // the reader judges the rest
    const quint32 offset = littleEndian32(data, 10);
    const quint32 headerSize = littleEndian32(data, 14);
    if (headerSize < 40) return; // an old core header: the reader judges it
    const qint64 width = qint32(littleEndian32(data, 18));
    const qint64 height = qint32(littleEndian32(data, 22));
    const int bits = quint8(data[28]) | (quint8(data[29]) << 8);
    const quint32 compression = littleEndian32(data, 30);
    if (compression != 0 && compression != 3) return; // run-length data has no fixed size
    const qint64 stride = ((std::abs(width) * bits + 31) / 32) * 4;
    // Compared by division: a huge header's product would overflow.
    const qint64 room = qint64(data.size()) - qint64(offset);
    if (room < 0 || (stride > 0 && std::abs(height) > room / stride))
        throw DecodeError{QStringLiteral("the file ends too soon")};
}

QImage loadWithQt(const QByteArray &data, const char *format) {
    if (qstrcmp(format, "bmp") == 0) checkBitmapLength(data);
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) throw DecodeError{reader.errorString()};
    return image;
}

[[noreturn]] void fail(const QString &text) {
    throw std::runtime_error(text.toStdString());
}

enum class Kind { Jpeg, Png, Gif, Qt, Wmf };

struct PictureKind {
    Kind kind;
    const char *qtFormat = nullptr;
};

// The decoder for a file, by its extension.
PictureKind pictureKind(const QString &path) {
    const QString ext = FoldUpper(QFileInfo(path).suffix());
    if (ext == QLatin1String("WMF")) return {Kind::Wmf};
    if (ext == QLatin1String("EMF"))
        fail(QStringLiteral("The picture %1 is an enhanced Windows metafile (EMF), which cannot be shown on Linux.")
                 .arg(path));
    if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG")) return {Kind::Jpeg};
    if (ext == QLatin1String("PNG")) return {Kind::Png};
    if (ext == QLatin1String("GIF")) return {Kind::Gif};
    if (ext == QLatin1String("BMP") || ext == QLatin1String("DIB")) return {Kind::Qt, "bmp"};
    if (ext == QLatin1String("ICO")) return {Kind::Qt, "ico"};
    if (ext == QLatin1String("CUR")) return {Kind::Qt, "cur"};
    fail(QStringLiteral("The picture %1 cannot be shown: pictures of type \"%2\" are not known.")
             .arg(path, QFileInfo(path).suffix()));
}

} // namespace

QImage LoadPicture(const QString &path) {
    pictureKind(path); // an unknown kind is refused before the file is read
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot open picture %1: %2").arg(path, file.errorString()));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Cannot read picture %1: %2").arg(path, file.errorString()));
    return DecodePicture(data, path);
}

QImage DecodePicture(const QByteArray &data, const QString &path) {
    const PictureKind kind = pictureKind(path);
    try {
        switch (kind.kind) {
        case Kind::Jpeg:
            return loadJpeg(data);
        case Kind::Png:
            return loadPng(data);
        case Kind::Gif:
            return loadGif(data);
        case Kind::Qt:
            return loadWithQt(data, kind.qtFormat);
        case Kind::Wmf: {
            const QString missing = MetafileReaderMissing();
            if (!missing.isEmpty()) fail(QStringLiteral("The picture %1 cannot be shown: %2.").arg(path, missing));
            QString why;
            QImage image = DecodeWindowsMetafile(data, kMaxPixels, why);
            if (image.isNull()) throw DecodeError{why};
            return image;
        }
        }
    } catch (const DecodeError &e) {
        fail(QStringLiteral("The picture %1 is damaged or incomplete: %2").arg(path, e.reason));
    } catch (const std::bad_alloc &) {
        fail(QStringLiteral("The picture %1 is too large to show.").arg(path));
    }
    return {};
}
