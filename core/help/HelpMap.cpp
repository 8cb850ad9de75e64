#include "core/help/HelpMap.h"

#include <QFile>

HelpMap::HelpMap(const QString &text) {
    const QStringList lines = text.split(QChar('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QChar('#'))) continue;
        const qsizetype eq = line.indexOf(QChar('='));
        bool ok = false;
        const int number = eq > 0 ? line.left(eq).trimmed().toInt(&ok) : 0;
        const QString page = eq > 0 ? line.mid(eq + 1).trimmed() : QString();
        if (!ok || page.isEmpty() || targets.contains(number)) {
            bad << QStringLiteral("line %1: %2").arg(i + 1).arg(line);
            continue;
        }
        targets.insert(number, page);
    }
}

HelpMap HelpMap::compiledIn() {
    QFile file(QStringLiteral(":/help/contexts.txt"));
    if (!file.open(QIODevice::ReadOnly)) return HelpMap();
    return HelpMap(QString::fromUtf8(file.readAll()));
}
