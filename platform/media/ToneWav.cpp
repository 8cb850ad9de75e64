#include "platform/media/ToneWav.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>

QByteArray ToneWav(double seconds, double hertz, double amplitude) {
    const int rate = 44100;
    const int samples = int(seconds * rate);
    QByteArray data(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(32767 * amplitude * std::sin(2 * M_PI * hertz * i / rate)), data.data() + 2 * i);
    QByteArray wav;
    auto put32 = [&wav](quint32 v) { wav.append(4, 0); qToLittleEndian(v, wav.data() + wav.size() - 4); };
    auto put16 = [&wav](quint16 v) { wav.append(2, 0); qToLittleEndian(v, wav.data() + wav.size() - 2); };
    wav += "RIFF";
    put32(quint32(36 + data.size()));
    wav += "WAVEfmt ";
    put32(16), put16(1), put16(1), put32(rate), put32(rate * 2), put16(2), put16(16);
    wav += "data";
    put32(quint32(data.size()));
    return wav + data;
}

bool WriteToneWav(const QString &path, double seconds, double hertz) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ToneWav(seconds, hertz)) >= 0;
}
