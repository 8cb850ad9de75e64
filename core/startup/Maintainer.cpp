#include "core/startup/Maintainer.h"

#include "base/Cp1252.h"

#include <QDir>
#include <QFileInfo>

QString ABCIndex;

QString MaintainerFolder() {
    return QDir::homePath() + QStringLiteral("/QuillaryDev/");
}

QString MaintainerMusicFolder() {
    return MaintainerFolder() + QStringLiteral("Music/");
}

QString MaintainerGraphicsFolder() {
    return MaintainerFolder() + QStringLiteral("Site/Graphics/");
}

QString MaintainerScrivletPath() {
    return MaintainerFolder() + QStringLiteral("Scrivlet/Scrivlet");
}

QString MaintainerTuneIndexPath(int n) {
    return MaintainerFolder() + QStringLiteral("Site/abc/Index%1.txt").arg(n);
}

void LoadABCIndex() {
    QStringList parts;
    for (int n = 1; n <= 2; ++n) {
        const QString path = MaintainerTuneIndexPath(n);
        parts << (QFileInfo(path).isFile() ? ReadTextFile(path) : QString());
    }
    ABCIndex = parts.join('\n');
}
