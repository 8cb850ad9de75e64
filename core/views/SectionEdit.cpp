#include "core/views/SectionEdit.h"

#include "base/Cp1252.h"

namespace {

QStringList EditorLines(const QString &text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = t.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace

QList<QPair<QString, QString>> SectionPairs(const QString &text) {
    QList<QPair<QString, QString>> out;
    for (const QString &line : EditorLines(text)) {
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq > 0) out.append({line.left(eq), line.mid(eq + 1)});
    }
    return out;
}

std::optional<QString> UnknownDisplayField(const QString &text, const QStringList &danceFields) {
    static const QStringList extra = {QStringLiteral("LASTC"), QStringLiteral("LASTH"), QStringLiteral("TIME"),
                                      QStringLiteral("RECENT")};
    for (const QString &line : EditorLines(text)) {
        const int eq = int(line.indexOf(QLatin1Char('=')));
        const QString name = FoldUpper(eq < 0 ? QString() : line.left(eq).trimmed());
        bool known = extra.contains(name);
        for (int i = 0; !known && i < danceFields.size(); ++i) known = FoldUpper(danceFields[i]) == name;
        if (!known || name.isEmpty()) return name;
    }
    return std::nullopt;
}
