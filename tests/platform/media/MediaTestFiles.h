#pragma once
// Sound files the playback tests write for themselves.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cmath>

// A 16-bit mono 44.1 kHz WAV of a sine tone.
inline void WriteToneWav(const QString &path, double seconds, double hertz = 440) {
    const int rate = 44100;
    const int samples = int(seconds * rate);
    QByteArray data(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(12000 * std::sin(2 * M_PI * hertz * i / rate)), data.data() + 2 * i);
    auto le32 = [](quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; };
    auto le16 = [](quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; };
    QByteArray wav = "RIFF" + le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(rate) +
                     le32(rate * 2) + le16(2) + le16(16) + "data" + le32(data.size()) + data;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(wav);
}
