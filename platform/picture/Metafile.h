#pragma once
// Windows metafiles (WMF) drawn by libwmf into a picture: the placeable
// header's size at 96 dots per inch, or the drawing's own extent.

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture of a metafile's bytes; a null picture with the reason in why
// when they are not a metafile libwmf can draw, or the picture would be
// larger than maxPixels.
QImage DecodeWindowsMetafile(const QByteArray &data, qint64 maxPixels, QString &why);

// The folder of the Type 1 fonts that libwmf is built to draw text with; it
// will not read a metafile at all while they are missing.
inline constexpr const char *kMetafileFontFolder = "/usr/share/fonts/type1/urw-base35/";

// Why no metafile can be drawn on this machine (its fonts are not in fontFolder),
// or empty when the reader has what it needs.
QString MetafileReaderMissing(const QString &fontFolder = QString::fromLatin1(kMetafileFontFolder));
