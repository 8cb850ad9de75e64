#pragma once
// Changing field values of every dance that matches given old values: the
// selected dances go through the scratch table W, their programme items
// follow a key change, and a dance whose new key already exists is merged
// into it. The whole run is one transaction.

#include <QChar>
#include <QList>
#include <QString>
#include <functional>

class Database;

struct ReorgRow {
    QString field;
    QString oldValue; // "Replace": rows with it empty take no part
    QString newValue; // "Replace by"
};

enum class ReorgEnd {
    Refused,     // a new value the Dances page would refuse: nothing ran
    Abandoned,   // a No to a blank-out question: nothing ran
    NoFields,    // "No fields selected."
    NoMatch,     // "No matching dances."
    NotConfirmed,// a No to "n dance(s) selected.\rContinue?"
    Done         // "Reorganise succeeded."
};

// The text shown for an ending ("" for Abandoned and NotConfirmed).
QString ReorgEndText(ReorgEnd end);

// The question for a field both dances hold with different values.
QString ReorgMergeQuestion(const QString &title, const QString &field, const QString &dances, const QString &w);

// The first "Replace by" value (of a row taking part) that the Dances page
// would refuse, in that page's words with the field and the value named;
// "" when all may be stored. Checked: the key rule for Title, Format and
// Style, the number fields' rules, yes/no fields ("Y" or empty) and the
// sizes of text fields.
QString ReorgValueFault(Database &db, const QList<ReorgRow> &rows);

// The run over the connection's Dances and Events: every question goes to
// yesNo. A refused value ends it before any question or statement, its
// message in *refusal. Throws DbError (with everything rolled back, W
// included) when a statement fails.
ReorgEnd RunReorganise(Database &db, const QList<ReorgRow> &rows, QChar sep,
                       const std::function<bool(const QString &)> &yesNo, QString *refusal = nullptr);
