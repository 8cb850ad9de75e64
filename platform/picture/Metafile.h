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
