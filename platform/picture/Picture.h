#pragma once
// Loads a picture file for showing: the decoder is chosen by the file's
// extension. JPEG, GIF (its first frame, transparency kept) and PNG go through
// their own libraries; Windows metafiles (WMF) through libwmf; bitmaps and
// icons through Qt's readers.

#include <QImage>
#include <QString>

// Throws std::runtime_error naming the file when it cannot be opened, is of
// a kind that cannot be shown (an enhanced metafile, an unknown extension), or
// is damaged or cut short.
QImage LoadPicture(const QString &path);

// The same on a file's bytes already read: the extension of path picks the
// decoder, and the messages name path.
QImage DecodePicture(const QByteArray &data, const QString &path);
