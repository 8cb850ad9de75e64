#include "core/dances/FieldRules.h"

#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceRecord.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Query.h"

namespace {

bool IsCut(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('.') || c == QLatin1Char('\''); }

QString Capitalised(const QString &word) { return UpperCaseDE(word.left(1)) + word.mid(1); }

bool SmallWord(const QString &word) {
    return word.size() < 3 || word == QLatin1String("and") || word == QLatin1String("the") ||
           word == QLatin1String("for") || word == QLatin1String("with");
}

// The character the LIKE patterns of the pick list escape with.
const QChar LikeEscape = QLatin1Char('!');

} // namespace

QString CapitaliseWords(const QString &text) {
    if (text.isEmpty() || text.toLower() != text || text.startsWith(QLatin1String("http"))) return text;

    struct Word {
        qsizetype from, length;
        bool afterApostrophe;
    };
    QList<Word> words;
    for (qsizetype i = 0; i < text.size();) {
        if (IsCut(text[i])) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < text.size() && !IsCut(text[j])) ++j;
        words.append({i, j - i, i > 0 && text[i - 1] == QLatin1Char('\'')});
        i = j;
    }
    if (words.isEmpty()) return text;

    // The last word that stands on its own: not a short ending after an apostrophe.
    qsizetype last = words.size() - 1;
    while (last > 0 && words[last].afterApostrophe && words[last].length <= 2) --last;

    QString out = text;
    for (qsizetype k = 0; k < words.size(); ++k) {
        const QString word = text.mid(words[k].from, words[k].length);
        const bool capital = k == 0 || k == last || word == QLatin1String("st") || !SmallWord(word);
        if (capital) out.replace(words[k].from, words[k].length, Capitalised(word));
    }
    return out;
}

QString PickListField(const QString &controlName, bool *onReorganiseWindow) {
    const bool reorganise = controlName.size() > 1 && controlName[1] == QLatin1Char('_');
    if (onReorganiseWindow) *onReorganiseWindow = reorganise;
    return reorganise ? controlName.mid(2) : controlName;
}

QString PickListText(const QString &field, const QString &text) {
    if (SameText(field, QStringLiteral("WebSite")) && FoldUpper(text.left(7)) == QLatin1String("HTTP://"))
        return text.mid(7);
    return text;
}

PickListQuery MakePickListQuery(const QString &table, const QString &field, const QString &typed, bool all) {
    PickListQuery q;
    q.sql.append(QStringLiteral("Select Distinct [") + field + QStringLiteral("] as X from ") + table);
    if (!all) {
        QString pattern;
        for (QChar c : UpperCaseDE(typed)) {
            if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == LikeEscape) pattern += LikeEscape;
            pattern += c;
        }
        q.sql.append(QStringLiteral("where UCase([") + field + QStringLiteral("]) alike ? escape \"") + LikeEscape +
                     QStringLiteral("\""));
        q.params.append(pattern + QLatin1Char('%'));
    }
    q.sql.append(QStringLiteral("order by 1"));
    return q;
}

QString PickListTable(Database &db, const QString &field) {
    return db.hasField(QStringLiteral("Events"), field) ? QStringLiteral("Events") : QStringLiteral("Dances");
}

QStringList PickListValues(Database &db, const QString &table, const QString &field, const QString &typed,
                           bool all) {
    const PickListQuery pick = MakePickListQuery(table, field, typed, all);
    Query query(db);
    query.SQL = pick.sql;
    query.open(pick.params);
    QStringList values;
    while (!query.eof()) {
        const QString x = query.fields(0).AsString();
        if (!x.isEmpty()) values.append(x);
        query.next();
    }
    query.close();
    if (values.size() == 1 && SameText(values[0], typed)) values.clear();
    return values;
}

QString DanceSaveFault(const QString &keySig, bool ownTune, const QString &level) {
    if (!keySig.isEmpty() && !ownTune) return QStringLiteral("Key specified but not \"Own tune\".");
    if (!level.isEmpty() && (level.size() != 1 || level[0] < QLatin1Char('0') || level[0] > QLatin1Char('9')))
        return QStringLiteral("Level must be between 0 and 9");
    return QString();
}

QString NumberBoxFault(const QString &field) {
    if (SameText(field, QStringLiteral("Lvl"))) return DanceSaveFault(QString(), false, QStringLiteral("x"));
    if (SameText(field, QStringLiteral("Tolbrook"))) return TolbrookFault(QStringLiteral("x"));
    return field + QStringLiteral(" must be a whole number.");
}

bool LevelBlankWarning(const QString &level, const QString &style) {
    return level.isEmpty() && style != QLatin1String("Technique");
}
