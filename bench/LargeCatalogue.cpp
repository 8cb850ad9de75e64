#include "LargeCatalogue.h"

#include "core/database/SampleCatalogue.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

QString CopyLargeCatalogue(const QString &path) {
    static QTemporaryDir dir;
    static const QString built = [] {
        const QString p = dir.filePath(QStringLiteral("Large.mdb"));
        BuildLargeCatalogue(p, 20261206, QDate(2026, 12, 6));
        return p;
    }();
    QFile::remove(path);
    if (!QFile::copy(built, path))
        throw std::runtime_error(QStringLiteral("Cannot copy the large catalogue to %1").arg(path).toStdString());
    return path;
}
