#include "core/dances/DanceRecord.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/RecordHooks.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"

QString OldTitle, OldFormat, OldStyle;
qint64 PendingRec = 0;
bool PendingRecDets = false;
bool QuietFilterPost = false;

void ResetRecordState() {
    OldTitle.clear();
    OldFormat.clear();
    OldStyle.clear();
    PendingRec = 0;
    EventChanged = PendingRecDets = QuietFilterPost = false;
}

namespace {

const QString Generated = QStringLiteral("Generated Dance");

QString joined(const DanceKey &key, QChar sep) {
    const QString between = QLatin1Char(' ') + sep + QLatin1Char(' ');
    return key.Title + between + key.Format + between + key.Style;
}

qint64 countOf(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    if (ok) return n;
    const double d = t.toDouble(&ok);
    return ok ? qRound64(d) : 0;
}

} // namespace

QString DanceKeyFault(const DanceKey &key) {
    if (key.Title.isEmpty() || key.Format.isEmpty() || key.Style.isEmpty())
        return QStringLiteral("Title, Format and Style must all be specified");
    // These divide the items of a programme string: a key holding one could
    // never be read back from a programme.
    for (const QString &part : {key.Title, key.Format, key.Style})
        for (const QChar c : {QChar('|'), SepDot, SepEuro})
            if (part.contains(c))
                return QStringLiteral("Title, Format and Style may not contain \"") + c +
                       QStringLiteral("\": it divides the items of a programme");
    // In a programme item the style ends at a recording choice.
    if (key.Style.contains(SectionSign))
        return QStringLiteral("Style may not contain \"") + SectionSign +
               QStringLiteral("\": it marks the recording chosen in a programme");
    return {};
}

QString TolbrookFault(const QString &box) {
    if (box.isEmpty()) return {};
    const QChar c = box[0];
    if (c == QLatin1Char(' ') || c == QLatin1Char('1') || c == QLatin1Char('2') || c == QLatin1Char('3')) return {};
    return QStringLiteral("Tolbrook must be 1, 2 or 3.");
}

QString ProgrammeKey(const DanceKey &key, QChar sep) { return DanceItemText(key) + sep; }

QString KeyChangeQuestion(const DanceKey &oldKey, const DanceKey &newKey, QChar sep) {
    return QStringLiteral("OLD:  ") + joined(oldKey, sep) + QStringLiteral("\rNEW: ") + joined(newKey, sep) +
           QStringLiteral("\rDid you really mean this change?");
}

void MergeDanceFields(QList<MergeField> &fields, const MergeAsker &ask) {
    for (MergeField &f : fields) {
        if (f.own.isEmpty() || f.own.contains(Generated)) {
            f.own = f.other.contains(Generated) ? QString() : f.other;
        } else if (SameText(f.name, QStringLiteral("Called"))) {
            f.own = QString::number(countOf(f.own) + countOf(f.other));
        } else if (f.other.isEmpty() || f.other == f.own || f.other.contains(Generated)) {
            // own stays
        } else if (ask && ask(f.name, f.own, f.other)) {
            f.own = f.other;
        }
    }
}

QString MergeQuestion(const QString &otherTitle, const QString &field, const QString &own, const QString &other) {
    const QString head = otherTitle + QStringLiteral("\rhas both old and new values for field: ") + field;
    const QString full = head + QStringLiteral("\rReplace\r[") + own + QStringLiteral("]\rBy\r[") + other + QStringLiteral("] ?");
    if (full.contains(QLatin1String("\\rtf"))) return head + QStringLiteral("Copy ") + field + QStringLiteral(" ?");
    return full;
}

bool MergeOtherDance(Dataset &dances, const DanceKey &key, const std::function<bool(const QString &)> &yesNo) {
    const QString where = QStringLiteral(" from Dances where Title=") + DoubleQuotes(key.Title) +
                          QStringLiteral(" and Format=") + DoubleQuotes(key.Format) + QStringLiteral(" and Style=") +
                          DoubleQuotes(key.Style);
    Query q(*dances.database());
    q.setText(QStringLiteral("Select *, rowid as RowKey") + where);
    q.open();
    const qint64 own = dances.GetBookmark();
    while (!q.eof() && q.FieldByName(QStringLiteral("RowKey")).Value().toLongLong() == own) q.next();
    if (q.eof()) {
        q.close();
        return false;
    }
    QList<MergeField> fields;
    for (int i = 0; i < dances.FieldCount(); ++i) {
        Field &f = dances.Fields(i);
        Field *other = q.FindField(f.FieldName());
        fields.append({f.FieldName(), f.AsString(), other ? other->AsString() : QString()});
    }
    const qint64 otherRow = q.FieldByName(QStringLiteral("RowKey")).Value().toLongLong();
    const QString otherTitle = q.FieldByName(QStringLiteral("Title")).AsString();
    q.close();
    MergeDanceFields(fields, [&](const QString &field, const QString &own, const QString &other) {
        return yesNo && yesNo(MergeQuestion(otherTitle, field, own, other));
    });
    for (int i = 0; i < fields.size(); ++i) {
        Field &f = dances.Fields(i);
        if (f.AsString() != fields[i].own) f.SetAsString(fields[i].own);
    }
    q.setText(QStringLiteral("Delete from Dances where rowid=?"));
    q.exec({otherRow});
    return true;
}

QString BareWebLinks(const QString &notes, bool *changed) {
    static const QString Marker = QStringLiteral("Link=\"http");
    if (changed) *changed = false;
    if (!notes.contains(Marker)) return notes;
    QString text = notes;
    qsizetype at;
    while ((at = text.indexOf(Marker)) >= 0) {
        // An escaped quote inside the address must not end it.
        text.replace(QLatin1String("\\\""), QLatin1String("\\&quot;"));
        at = text.indexOf(Marker);
        text.remove(at, 6);
        const qsizetype close = MustPos(QStringLiteral("\""), text, at + 1);
        text.remove(close - 1, 1);
        if (changed) *changed = true;
    }
    return text;
}
