#pragma once
// A WAV file of a sine tone (16-bit mono, 44.1 kHz): the sample recording a
// new program folder gets, and the sound the playback tests play.

#include <QByteArray>
#include <QString>

QByteArray ToneWav(double seconds, double hertz = 440, double amplitude = 0.37);
// Writes it; false when the file cannot be written.
bool WriteToneWav(const QString &path, double seconds, double hertz = 440);
