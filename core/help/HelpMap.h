#pragma once
// The map from help context numbers to help pages: the text of
// "contexts.txt", one "number=page.html#anchor" a line.

#include <QHash>
#include <QString>
#include <QStringList>

class HelpMap {
public:
    // Blank lines and lines starting with "#" are skipped; a malformed line
    // is listed in problems() and skipped.
    explicit HelpMap(const QString &text = QString());
    // The compiled-in map (":/help/contexts.txt").
    static HelpMap compiledIn();

    // "page.html#anchor", or empty for an unknown number.
    QString target(int context) const { return targets.value(context); }
    QList<int> contexts() const { return targets.keys(); }
    const QStringList &problems() const { return bad; }

private:
    QHash<int, QString> targets;
    QStringList bad;
};

// The resource folder of the help pages and the contents page in it.
inline const QString HelpRoot = QStringLiteral("qrc:/help/");
inline const QString HelpIndexPage = QStringLiteral("index.html");
