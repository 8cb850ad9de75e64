#include "programme/files/InsertFromList.h"

#include "base/TextRoutines.h"

#include <QRegularExpression>

QStringList WorkList;

QStringList TitleList(const QString &plainText, const QString &ownTitle) {
    QString text = plainText;
    text.replace(QChar(0x201C), QLatin1Char('"')).replace(QChar(0x201D), QLatin1Char('"'));
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|[\r\n\v\f]"));
    QStringList titles;
    for (const QString &line : text.split(lineEnd)) {
        const QString title = line.trimmed();
        if (!title.isEmpty()) titles.append(title);
    }
    if (!titles.isEmpty() && !ownTitle.isEmpty() && titles.first() == ownTitle.trimmed()) titles.removeFirst();
    return titles;
}

QString StoredTitleForm(const QString &shown) {
    const qsizetype blank = shown.indexOf(QLatin1Char(' '));
    if (blank > 0 && blank + 1 < shown.size() && TitleArticles().contains(shown.left(blank)))
        return shown.mid(blank + 1) + QStringLiteral(", ") + shown.left(blank);
    return shown;
}

std::optional<DanceKey> SqlTitleCatalogue::first(const QString &where, const QString &title) const {
    Statement s(db.handle(), QStringLiteral("SELECT Title, Format, Style FROM Dances WHERE ") + where +
                                 QStringLiteral(" Title = ? LIMIT 1"));
    s.bind(1, title);
    if (!s.step()) return std::nullopt;
    return DanceKey{s.columnText(0), s.columnText(1), s.columnText(2)};
}

QString SqlTitleCatalogue::Find(const QString &title) const {
    for (const QString &form : {title, StoredTitleForm(title)})
        if (auto key = first(QString(), form)) return key->Title;
    return QString();
}

std::optional<DanceKey> SqlTitleCatalogue::Choose(const QString &title, bool positional) const {
    const QString stored = Find(title);
    if (stored.isEmpty()) return std::nullopt;
    const QString where = positional ? QStringLiteral("Style LIKE 'Positional%' AND")
                                     : QStringLiteral("Style <> 'Break' AND");
    if (auto key = first(where, stored)) return key;
    return first(QString(), stored);
}

QList<int> TitlesToInsert(const QList<TitleState> &states, bool all) {
    QList<int> out;
    for (int i = 0; i < states.size(); ++i)
        if (states[i] == TitleState::Chosen || (all && states[i] != TitleState::Unknown)) out.append(i);
    return out;
}

TitleState Toggled(TitleState state) {
    switch (state) {
    case TitleState::Unknown: return TitleState::Unknown;
    case TitleState::Known: return TitleState::Chosen;
    case TitleState::Chosen: return TitleState::Known;
    }
    return state;
}
