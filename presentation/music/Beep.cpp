#include "presentation/music/Beep.h"

#include "base/Log.h"
#include "core/startup/Settings.h"
#include "platform/media/ToneWav.h"
#include "platform/media/WavePlayer.h"
#include "platform/shell/PlainFiles.h"

#include <QDir>
#include <QFileInfo>

void Beep(int hertz, int milliseconds) {
    const QString temp = TempFolder.isEmpty() ? QDir::tempPath() + QLatin1Char('/') : TempFolder;
    const QString file =
        temp + QStringLiteral("Quillary-Beep-%1-%2.wav").arg(hertz).arg(milliseconds);
    if (!QFileInfo::exists(file)) {
        // Renamed into place: a link left under the name is replaced, not written through.
        QString error;
        if (!ReplaceFileByRename(file, ToneWav(milliseconds / 1000.0, hertz), &error)) {
            WriteLog(QStringLiteral("Beep not written: ") + error);
            return;
        }
    }
    CurrentWaveSink().play(file);
}
