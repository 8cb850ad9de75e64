#include "presentation/music/Beep.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "core/startup/Settings.h"
#include "platform/media/ToneWav.h"
#include "platform/media/WavePlayer.h"

#include <QDir>
#include <QFileInfo>
#include <exception>

void Beep(int hertz, int milliseconds) {
    const QString temp = TempFolder.isEmpty() ? QDir::tempPath() + QLatin1Char('/') : TempFolder;
    const QString file =
        temp + QStringLiteral("Quillary-Beep-%1-%2.wav").arg(hertz).arg(milliseconds);
    if (!QFileInfo::exists(file)) {
        try {
            WriteBytesFile(file, ToneWav(milliseconds / 1000.0, hertz));
        } catch (const std::exception &e) {
            WriteLog(QStringLiteral("Beep not written: ") + QString::fromUtf8(e.what()));
            return;
        }
    }
    CurrentWaveSink().play(file);
}
