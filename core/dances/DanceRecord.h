#pragma once
// The rules a dance record keeps when it is stored: the key and tune-book
// checks, the key-change question, the merge of two records that end up
// with one key, and the bare form of web links in the notes.

#include "programme/text/ProgrammeItem.h"

#include <QChar>
#include <QList>
#include <QString>
#include <functional>

class Dataset;

// ---- state of the records being stored ------------------------------------------

// The key of the dance as it was shown; empty before any dance was shown.
extern QString OldTitle, OldFormat, OldStyle;
// The bookmark of the record being posted, 0 for none.
extern qint64 PendingRec;
// The recordings details need refreshing.
extern bool PendingRecDets;
// A post that is meant to drop the record from the filter says nothing.
extern bool QuietFilterPost;
// Puts the state above back to its start (tests).
void ResetRecordState();

// "Title, Format and Style must all be specified" when any of them is
// empty, else "".
QString DanceKeyFault(const DanceKey &key);
// The tune-book box: empty, or a first character that is a blank or "1" to
// "3", passes (""); anything else gives "Tolbrook must be 1, 2 or 3.".
QString TolbrookFault(const QString &box);

// "D|" Title "|" Format "|" Style + the separator: the key as programmes
// hold it.
QString ProgrammeKey(const DanceKey &key, QChar sep);
// The question asked before a key change is stored.
QString KeyChangeQuestion(const DanceKey &oldKey, const DanceKey &newKey, QChar sep);

// One field of the merge: own is the value of the record being stored,
// other the value of the record with the same key; both as text.
struct MergeField {
    QString name;
    QString own;
    QString other;
};

// Whether own should become other for a field whose two values both count.
using MergeAsker = std::function<bool(const QString &field, const QString &own, const QString &other)>;

// Merges other into own, field by field in the order given:
// - own empty or holding "Generated Dance": own becomes other, or empty
//   when other holds "Generated Dance" too;
// - "Called": the sum of both, an empty side counting 0;
// - other empty, equal to own or holding "Generated Dance": own is kept;
// - otherwise ask decides.
void MergeDanceFields(QList<MergeField> &fields, const MergeAsker &ask);

// The question for one field of the merge, naming the other record's title;
// values holding rich text are not shown.
QString MergeQuestion(const QString &otherTitle, const QString &field, const QString &own, const QString &other);

// Another dance stored with key (found by the catalogue's case fold, the
// record being stored excepted) is merged into the dataset's record, which
// must be in edit, and deleted. Each question (MergeQuestion's text) goes
// to yesNo. Gives whether there was one.
bool MergeOtherDance(Dataset &dances, const DanceKey &key, const std::function<bool(const QString &)> &yesNo);

// Web links written as Link="address" become bare addresses: every \"
// becomes \&quot;, then each Link=" before a web address goes with the
// double quote that closes it. A closing quote that is missing shows the
// search message and abandons (SilentAbort). *changed tells whether any
// link was rewritten.
QString BareWebLinks(const QString &notes, bool *changed = nullptr);
