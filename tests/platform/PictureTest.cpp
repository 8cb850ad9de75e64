#include "platform/picture/Picture.h"
#include "platform/picture/Metafile.h"
#include "TestSupport.h"

#include <QColor>
#include <QDir>
#include <QImageWriter>

namespace {

// The message LoadPicture throws, or "" when it loads.
QString loadError(const QString &path) {
    try {
        LoadPicture(path);
    } catch (const std::runtime_error &e) {
        return QString::fromStdString(e.what());
    }
    return QString();
}

// Four blocks of plain colour, big enough for JPEG to keep them recognisable.
QImage sampleImage(QImage::Format format = QImage::Format_RGB32) {
    QImage image(32, 16, format);
    image.fill(Qt::white);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c =
                x < 16 ? (y < 8 ? Qt::red : Qt::green) : (y < 8 ? Qt::blue : Qt::black);
            image.setPixelColor(x, y, c);
        }
    return image;
}

bool near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

void appendLE16(QByteArray &b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

// The LZW data of a GIF with two-bit pixels, kept uncompressed: every code is
// a literal, and a clear code comes before the table would need wider codes,
// so all codes stay three bits wide.
QByteArray gifPixels(const QList<int> &pixels) {
    QList<int> codes;
    for (int i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0) codes.append(4); // clear
        codes.append(pixels[i]);
    }
    codes.append(5); // end of information
    QByteArray bytes;
    quint32 acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= quint32(code) << bits;
        bits += 3;
        while (bits >= 8) {
            bytes.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) bytes.append(char(acc & 0xFF));
    QByteArray data;
    data.append(char(2)); // minimum code size
    data.append(char(bytes.size()));
    data.append(bytes);
    data.append(char(0));
    return data;
}

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    QList<int> pixels;
    int transparent = -1;
    bool interlaced = false;
};

// A GIF89a with a four-colour table: 0 red, 1 green, 2 blue, 3 white.
QByteArray makeGif(int width, int height, const QList<GifFrame> &frames) {
    QByteArray b("GIF89a");
    appendLE16(b, width);
    appendLE16(b, height);
    b.append(char(0x91)); // global table of 4 colours
    b.append(char(0));
    b.append(char(0));
    b.append(QByteArray::fromHex("ff0000"
                                 "00ff00"
                                 "0000ff"
                                 "ffffff"));
    for (const GifFrame &f : frames) {
        if (f.transparent >= 0) {
            b.append(QByteArray::fromHex("21f90401"));
            appendLE16(b, 0);
            b.append(char(f.transparent));
            b.append(char(0));
        }
        b.append(char(0x2C));
        appendLE16(b, f.left);
        appendLE16(b, f.top);
        appendLE16(b, f.width);
        appendLE16(b, f.height);
        b.append(char(f.interlaced ? 0x40 : 0));
        b.append(gifPixels(f.pixels));
    }
    b.append(char(0x3B));
    return b;
}

const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
           White = qRgb(255, 255, 255);

class PictureTest : public QuillaryTest {};

TEST_F(PictureTest, JpegDecodes) {
    const QString file = path(QStringLiteral("Dance.JPG"));
    ASSERT_TRUE(sampleImage().save(file, "jpg", 95));
    const QImage image = LoadPicture(file);
    ASSERT_EQ(image.size(), QSize(32, 16));
    EXPECT_TRUE(near(image.pixelColor(4, 4), Qt::red, 24));
    EXPECT_TRUE(near(image.pixelColor(4, 12), Qt::green, 24));
    EXPECT_TRUE(near(image.pixelColor(28, 4), Qt::blue, 24));
    EXPECT_TRUE(near(image.pixelColor(28, 12), Qt::black, 24));

    const QString grey = path(QStringLiteral("grey.jpeg"));
    QImage greyImage(8, 8, QImage::Format_Grayscale8);
    greyImage.fill(QColor(100, 100, 100));
    ASSERT_TRUE(greyImage.save(grey, "jpg", 100));
    const QImage greyLoaded = LoadPicture(grey);
    ASSERT_EQ(greyLoaded.size(), QSize(8, 8));
    EXPECT_TRUE(near(greyLoaded.pixelColor(3, 3), QColor(100, 100, 100), 3));
}

TEST_F(PictureTest, PngKeepsEveryPixelAndItsAlpha) {
    QImage source(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            source.setPixel(x, y, qRgba(x * 50, y * 100, 7, 255 - x * 60));
    source.setPixel(0, 0, qRgba(0, 0, 0, 0));

    QImage indexed(4, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), Red, Green, Blue});
    for (int x = 0; x < 4; ++x)
        indexed.setPixel(x, 0, uint(x));

    QImage grey(3, 2, QImage::Format_Grayscale8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            grey.setPixelColor(x, y, QColor(x * 100, x * 100, x * 100));

    QImage deep(2, 2, QImage::Format_RGBA64);
    deep.fill(QColor(10, 200, 30));

    // Texts in the file are passed over; the pixels are all that count.
    QImage noted = source.copy();
    noted.setText(QStringLiteral("Title"), QStringLiteral("Morning Star"));
    noted.setText(QStringLiteral("Description"), QString(3000, QLatin1Char('n')));

    const QImage cases[] = {source, indexed, grey, deep, noted};
    int n = 0;
    for (const QImage &image : cases) {
        const QString file = path(QStringLiteral("p%1.png").arg(n++));
        ASSERT_TRUE(image.save(file, "png"));
        const QImage loaded = LoadPicture(file).convertToFormat(QImage::Format_ARGB32);
        const QImage expected = image.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(loaded.size(), expected.size()) << n;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                EXPECT_EQ(loaded.pixel(x, y), expected.pixel(x, y)) << n << " " << x << "," << y;
    }
}

TEST_F(PictureTest, BitmapsAndIcons) {
    const QImage source = sampleImage();
    for (const char *name : {"a.bmp", "a.BMP", "a.ico"}) {
        const QString file = path(QString::fromLatin1(name));
        ASSERT_TRUE(source.save(file, name[2] == 'i' ? "ico" : "bmp")) << name;
        const QImage loaded = LoadPicture(file);
        ASSERT_EQ(loaded.size(), source.size()) << name;
        EXPECT_EQ(loaded.pixel(4, 4), Red) << name;
        EXPECT_EQ(loaded.pixel(28, 12) & 0xFFFFFF, 0u) << name;
    }
}

TEST_F(PictureTest, GifFirstFrameWithTransparency) {
    GifFrame first;
    first.width = 2;
    first.height = 2;
    first.pixels = {0, 1, 2, 3};
    first.transparent = 0;
    GifFrame second = first; // a later frame of another colour is not shown
    second.pixels = {3, 3, 3, 3};
    second.transparent = -1;
    const QString file = path(QStringLiteral("anim.gif"));
    WriteFileBytes(file, makeGif(2, 2, {first, second}));
    const QImage image = LoadPicture(file);
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(1, 0), Green);
    EXPECT_EQ(image.pixel(0, 1), Blue);
    EXPECT_EQ(image.pixel(1, 1), White);
}

TEST_F(PictureTest, GifInterlacedAndOffsetFrames) {
    // Stored rows of an interlaced picture come in the order 0, 4, 2, 6, 1, 3, 5, 7.
    GifFrame interlaced;
    interlaced.width = 1;
    interlaced.height = 8;
    interlaced.interlaced = true;
    const int storedRows[] = {0, 4, 2, 6, 1, 3, 5, 7};
    for (int row : storedRows)
        interlaced.pixels.append(row % 4);
    const QString file = path(QStringLiteral("interlaced.GIF"));
    WriteFileBytes(file, makeGif(1, 8, {interlaced}));
    const QImage image = LoadPicture(file);
    ASSERT_EQ(image.size(), QSize(1, 8));
    const QRgb colours[] = {Red, Green, Blue, White};
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(image.pixel(0, y), colours[y % 4]) << y;

    // A frame smaller than the canvas leaves the rest transparent.
    GifFrame small;
    small.left = 1;
    small.top = 1;
    small.width = 1;
    small.height = 1;
    small.pixels = {2};
    const QString offset = path(QStringLiteral("offset.gif"));
    WriteFileBytes(offset, makeGif(3, 2, {small}));
    const QImage placed = LoadPicture(offset);
    ASSERT_EQ(placed.size(), QSize(3, 2));
    EXPECT_EQ(placed.pixel(1, 1), Blue);
    EXPECT_EQ(qAlpha(placed.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(placed.pixel(2, 1)), 0);
}

// A placeable Windows metafile written record by record: 2 by 1 inches
// (96 units an inch), a white ground and a red rectangle over its right half,
// drawn without an outline.
QByteArray makeWmf() {
    QByteArray records;
    const auto record = [&records](int function, const QList<int> &words) {
        const int size = 3 + int(words.size());
        appendLE16(records, size & 0xFFFF);
        appendLE16(records, size >> 16);
        appendLE16(records, function);
        for (int w : words) appendLE16(records, w);
    };
    record(0x020B, {0, 0});                  // window origin y, x
    record(0x020C, {96, 192});               // window extent height, width
    record(0x02FA, {5, 0, 0, 0, 0});         // pen: none
    record(0x012D, {0});                     // select the pen
    record(0x02FC, {0, 0x00FF, 0x0000, 0});  // brush: solid red (0x000000FF)
    record(0x012D, {1});                     // select the brush
    record(0x041B, {96, 192, 0, 96});        // rectangle bottom, right, top, left
    record(0x0000, {});                      // end
    QByteArray wmf;
    // Placeable header: key, handle, box, units an inch, reserved, checksum.
    const QList<int> placeable = {0xCDD7, 0x9AC6, 0, 0, 0, 192, 96, 96, 0, 0};
    int checksum = 0;
    for (int w : placeable) {
        appendLE16(wmf, w);
        checksum ^= w;
    }
    appendLE16(wmf, checksum);
    // Standard header: in memory, 9 words, version 3, size and largest record
    // in words, two objects.
    const int words = 9 + int(records.size()) / 2;
    for (int w : {1, 9, 0x0300, words & 0xFFFF, words >> 16, 2, 8, 0, 0}) appendLE16(wmf, w);
    return wmf + records;
}

// A metafile made here draws at 96 dots an inch with its colours in place;
// damaged ones give a message naming the file.
TEST_F(PictureTest, WindowsMetafileDraws) {
    const QString file = path(QStringLiteral("Figure.WMF"));
    WriteFileBytes(file, makeWmf());
    QImage image;
    ASSERT_NO_THROW(image = LoadPicture(file)) << loadError(file).toStdString();
    EXPECT_NEAR(image.width(), 192, 1);
    EXPECT_NEAR(image.height(), 96, 1);
    EXPECT_TRUE(near(image.pixelColor(150, 48), Qt::red, 8)) << image.pixelColor(150, 48).name().toStdString();
    EXPECT_FALSE(near(image.pixelColor(40, 48), Qt::red, 60)) << image.pixelColor(40, 48).name().toStdString();

    const QByteArray whole = makeWmf();
    QByteArray badKey = whole;
    badKey[0] = 'X';
    const struct {
        const char *name;
        QByteArray bytes;
    } damages[] = {{"empty", {}}, {"header only", whole.left(40)}, {"bad key and header", badKey.left(24) + QByteArray(40, '\x7F')},
                   {"text", QByteArray("not a picture at all, just some words to read")}};
    for (const auto &d : damages) {
        const QString bad = path(QStringLiteral("bad %1.wmf").arg(QLatin1String(d.name)));
        WriteFileBytes(bad, d.bytes);
        const QString error = loadError(bad);
        EXPECT_TRUE(error.contains(bad)) << d.name << ": " << error.toStdString();
    }
}

TEST_F(PictureTest, MissingMetafileFontsAreNamedNotCalledDamage) {
    EXPECT_EQ(MetafileReaderMissing(), QString()) << "the bootstrap installs libwmf's fonts";
    const QString empty = path(QStringLiteral("nofonts/"));
    QDir().mkpath(empty);
    const QString why = MetafileReaderMissing(empty);
    EXPECT_TRUE(why.contains(empty) && why.contains(QStringLiteral("fonts-urw-base35"))) << why.toStdString();
}

TEST_F(PictureTest, KindsThatCannotBeShown) {
    for (const char *name : {"card.EMF"}) {
        const QString file = path(QString::fromLatin1(name));
        WriteFileBytes(file, QByteArray(64, '\1'));
        const QString error = loadError(file);
        EXPECT_TRUE(error.contains(file)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("metafile"))) << error.toStdString();
    }
    const QString tiff = path(QStringLiteral("scan.tif"));
    WriteFileBytes(tiff, QByteArray(64, '\1'));
    EXPECT_TRUE(loadError(tiff).contains(tiff));
    const QString missing = path(QStringLiteral("missing.png"));
    EXPECT_TRUE(loadError(missing).contains(missing));
}

TEST_F(PictureTest, DamagedOrTruncatedFilesGiveAnErrorNamingTheFile) {
    GifFrame frame;
    frame.width = 4;
    frame.height = 4;
    for (int i = 0; i < 16; ++i)
        frame.pixels.append(i % 4);
    QImage big = sampleImage();
    big = big.scaled(128, 64);
    QByteArray gif = makeGif(4, 4, {frame});

    struct Format {
        const char *ext;
        QByteArray whole;
    };
    QList<Format> formats;
    for (const char *ext : {"jpg", "png", "bmp", "ico"}) {
        const QString file = path(QStringLiteral("whole.") + QLatin1String(ext));
        ASSERT_TRUE(big.save(file, ext)) << ext;
        formats.append({ext, ReadFileBytes(file)});
        EXPECT_EQ(loadError(file), QString()) << ext;
    }
    formats.append({"gif", gif});

    for (const Format &f : formats) {
        struct Damage {
            const char *name;
            QByteArray bytes;
        };
        const QByteArray &w = f.whole;
        QByteArray scrambled = w;
        for (qsizetype i = 0; i < qsizetype(16) && i < scrambled.size(); ++i)
            scrambled[i] = char(0x5A);
        const Damage damages[] = {
            {"half", w.left(w.size() / 2)},
            {"all but the last bytes", w.left(w.size() - 3)},
            {"empty", QByteArray()},
            {"scrambled header", scrambled},
        };
        for (const Damage &d : damages) {
            const QString file =
                path(QStringLiteral("bad %1.%2").arg(QLatin1String(d.name), QLatin1String(f.ext)));
            WriteFileBytes(file, d.bytes);
            const QString error = loadError(file);
            EXPECT_TRUE(error.contains(file))
                << f.ext << " " << d.name << ": " << error.toStdString();
        }
    }
    // A bitmap header whose row size times height overflows 64 bits.
    QByteArray huge("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    huge += QByteArray("\xff\xff\xff\x7f\xff\xff\xff\x7f\x01\x00\xff\xff\0\0\0\0\0", 17);
    const QString hugeFile = path(QStringLiteral("huge.bmp"));
    WriteFileBytes(hugeFile, huge);
    EXPECT_TRUE(loadError(hugeFile).contains(hugeFile));
    // A PNG whose text chunk claims two gigabytes: passed over, never read.
    QByteArray claim = ReadFileBytes(path("whole.png"));
    claim.insert(33, QByteArray("\x7c\x00\x00\x25tEXtdate", 12));
    const QString claimFile = path(QStringLiteral("claim.png"));
    WriteFileBytes(claimFile, claim);
    EXPECT_TRUE(loadError(claimFile).contains(claimFile));
    // A GIF frame far larger than its few bytes could describe is refused
    // before its canvas is made, the same from memory as from the file.
    GifFrame vast;
    vast.width = 12000;
    vast.height = 12000;
    vast.pixels = {1, 2, 3, 0};
    const QByteArray vastBytes = makeGif(4, 4, {vast});
    const QString vastFile = path(QStringLiteral("vast.gif"));
    WriteFileBytes(vastFile, vastBytes);
    EXPECT_TRUE(loadError(vastFile).endsWith(vastFile + QStringLiteral(" is damaged or incomplete: the file ends too soon")))
        << loadError(vastFile).toStdString();
    EXPECT_THROW(DecodePicture(vastBytes, vastFile), std::runtime_error);
    EXPECT_EQ(DecodePicture(gif, QStringLiteral("memory.gif")).pixel(1, 0), Green);
}

} // namespace
