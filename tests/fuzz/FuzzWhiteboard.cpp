// Whiteboard items in a settings file: each "%" section opens with one clear
// message or as an item whose steps, frames and figures are defined.
#include "FuzzSupport.h"
#include "platform/ini/IniFile.h"
#include "presentation/whiteboard/WhiteboardAnimation.h"
#include "presentation/whiteboard/WhiteboardItem.h"

#include <QFile>
#include <QTemporaryDir>

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Quillary.ini");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(FuzzBytes(data, size));
    }
    try {
        TIniFile ini(path);
        for (const QString &section : ini.ReadSections()) {
            if (!section.startsWith(QLatin1Char('%'))) continue;
            WhiteboardItem item;
            if (!ReadWhiteboardItem(ini, section.mid(1), item).isEmpty()) continue;
            WhiteboardSectionValues(item);
            for (int step = 1; step <= item.storedSteps() && step <= 64; ++step) ComputeFrames(item, step);
            WhiteboardItem figure = item;
            AddFigure(item, 1, figure);
        }
    } catch (const std::exception &) {
    }
    return 0;
}
