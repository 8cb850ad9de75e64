#include "publishing/catalogue/Reorganise.h"

#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceItems.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/FieldRules.h"
#include "core/filter/Filter.h"
#include "core/database/SqlRunner.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Field.h"
#include "platform/sqlite/JetSql.h"

#include <algorithm>

namespace {

struct WRow {
    qint64 rowid;
    DanceKey key;
};

QList<WRow> wKeys(Database &db) {
    QList<WRow> out;
    Statement s(db.handle(), QStringLiteral("SELECT rowid, Title, Format, Style FROM W ORDER BY rowid"));
    while (s.step()) out.append({s.column(0).toLongLong(), {s.columnText(1), s.columnText(2), s.columnText(3)}});
    return out;
}

QVariantList rowValues(Database &db, const QString &table, qint64 rowid, int columns) {
    Statement s(db.handle(), QStringLiteral("SELECT * FROM %1 WHERE rowid=?").arg(table));
    s.bind(1, rowid);
    QVariantList values;
    if (s.step())
        for (int i = 0; i < columns; ++i) values.append(s.column(i));
    return values;
}

bool generated(const QString &text) { return text.contains(QLatin1String("Generated Dance")); }

// What the Dances page says of a value it would not store in the field, or "".
QString valueFault(const FieldInfo &field, const QString &value) {
    const QString &name = field.name;
    if (SameText(name, QStringLiteral("Title")) || SameText(name, QStringLiteral("Format")) ||
        SameText(name, QStringLiteral("Style"))) {
        DanceKey key{QStringLiteral("T"), QStringLiteral("F"), QStringLiteral("S")};
        (SameText(name, QStringLiteral("Title")) ? key.Title : SameText(name, QStringLiteral("Format")) ? key.Format : key.Style) = value;
        if (const QString fault = DanceKeyFault(key); !fault.isEmpty()) return fault;
        return Field::SizeFault(field, value);
    }
    if (SameText(name, QStringLiteral("Lvl"))) return DanceSaveFault(QString(), false, value.trimmed());
    if (SameText(name, QStringLiteral("Tolbrook"))) {
        if (const QString fault = TolbrookFault(value); !fault.isEmpty()) return fault;
    }
    if (field.isNumeric()) {
        try {
            Field::FromText(field, value);
        } catch (const DbError &) {
            return NumberBoxFault(name);
        }
        return {};
    }
    if (IsYesNoField(name) && !value.isEmpty() && value != QLatin1String("Y"))
        return name + QStringLiteral(" must be \"Y\" or empty");
    return Field::SizeFault(field, value);
}

// Merges the W row into the Dances row with its key, when there is one, and
// deletes it from W.
void mergeRow(Database &db, const WRow &w, const std::function<bool(const QString &)> &yesNo) {
    Statement find(db.handle(), QStringLiteral("SELECT rowid, Title, Format, Style FROM Dances WHERE Format=? AND Style=? AND Title=?"));
    find.bindAll({w.key.Format, w.key.Style, w.key.Title});
    qint64 target = 0;
    while (find.step())
        if (SameText(TrimPunct(find.columnText(1)), TrimPunct(w.key.Title)) &&
            SameText(TrimPunct(find.columnText(2)), TrimPunct(w.key.Format)) &&
            SameText(TrimPunct(find.columnText(3)), TrimPunct(w.key.Style)))
            target = find.column(0).toLongLong();
    if (target == 0) return;
    const QList<FieldInfo> fields = db.fields(QStringLiteral("Dances"));
    const QVariantList own = rowValues(db, QStringLiteral("Dances"), target, int(fields.size()));
    const QVariantList other = rowValues(db, QStringLiteral("W"), w.rowid, int(fields.size()));
    const QString title = own.value(0).toString();
    QList<MergeField> merge;
    QStringList taken; // empty or generated fields of the dance take W's value as it is
    for (int i = 0; i < fields.size(); ++i) {
        const QString mine = Field::TextOf(fields[i], own.value(i));
        const QString theirs = Field::TextOf(fields[i], other.value(i));
        if (mine.isEmpty() || generated(mine)) taken.append(fields[i].name);
        else merge.append({fields[i].name, mine, theirs});
    }
    MergeDanceFields(merge, [&](const QString &field, const QString &mine, const QString &theirs) {
        return yesNo(ReorgMergeQuestion(title, field, mine, theirs));
    });
    QStringList sets;
    QVariantList values;
    for (int i = 0; i < fields.size(); ++i) {
        sets.append(QLatin1Char('"') + fields[i].name + QStringLiteral("\"=?"));
        if (taken.contains(fields[i].name)) {
            values.append(other.value(i));
            continue;
        }
        for (const MergeField &m : merge)
            if (m.name == fields[i].name) values.append(m.own == Field::TextOf(fields[i], own.value(i)) ? own.value(i)
                                                                                                       : Field::FromText(fields[i], m.own));
    }
    Statement update(db.handle(), QStringLiteral("UPDATE Dances SET %1 WHERE rowid=?").arg(sets.join(QStringLiteral(", "))));
    values.append(target);
    update.bindAll(values);
    update.step();
    Statement drop(db.handle(), QStringLiteral("DELETE FROM W WHERE rowid=?"));
    drop.bind(1, w.rowid);
    drop.step();
}

} // namespace

QString ReorgEndText(ReorgEnd end) {
    switch (end) {
    case ReorgEnd::NoFields: return QStringLiteral("No fields selected.");
    case ReorgEnd::NoMatch: return QStringLiteral("No matching dances.");
    case ReorgEnd::Done: return QStringLiteral("Reorganise succeeded.");
    default: return QString();
    }
}

QString ReorgMergeQuestion(const QString &title, const QString &field, const QString &dances, const QString &w) {
    QString shown = dances + QStringLiteral("\rBy ") + w;
    if (shown.contains(QLatin1String("\\rtf"))) shown = field;
    return title + QStringLiteral("\rhas both old and new values for field: ") + field + QStringLiteral("\rReplace ") +
           shown + QStringLiteral("?");
}

QString ReorgValueFault(Database &db, const QList<ReorgRow> &rows) {
    const QList<FieldInfo> fields = db.fields(QStringLiteral("Dances"));
    for (const ReorgRow &r : rows) {
        if (r.oldValue.isEmpty()) continue;
        const auto info = std::find_if(fields.begin(), fields.end(), [&](const FieldInfo &f) { return SameText(f.name, r.field); });
        if (info == fields.end()) continue;
        const QString fault = valueFault(*info, r.newValue);
        if (!fault.isEmpty())
            return fault + QStringLiteral("\rReplace by ") + info->name + QStringLiteral(": \"") + MessageValue(r.newValue) +
                   QLatin1Char('"');
    }
    return {};
}

ReorgEnd RunReorganise(Database &db, const QList<ReorgRow> &rows, QChar sep,
                       const std::function<bool(const QString &)> &yesNo, QString *refusal) {
    if (const QString fault = ReorgValueFault(db, rows); !fault.isEmpty()) {
        if (refusal) *refusal = fault;
        return ReorgEnd::Refused;
    }
    QString condition, update;
    bool keyChange = false, any = false;
    QString newFormat, newStyle;
    bool setsFormat = false, setsStyle = false;
    for (const ReorgRow &r : rows) {
        if (r.oldValue.isEmpty()) continue;
        if (r.newValue.isEmpty() && !yesNo(QStringLiteral("Do you really want to blank out ") + r.field))
            return ReorgEnd::Abandoned;
        any = true;
        if (SameText(r.field, QStringLiteral("Format"))) {
            keyChange = setsFormat = true;
            newFormat = r.newValue;
        } else if (SameText(r.field, QStringLiteral("Style"))) {
            keyChange = setsStyle = true;
            newStyle = r.newValue;
        }
        condition += QStringLiteral(" and ") + r.field + QLatin1Char('=') + DoubleQuotes(r.oldValue);
        update += (update.isEmpty() ? QString() : QStringLiteral(", ")) + r.field + QLatin1Char('=') + DoubleQuotes(r.newValue);
    }
    if (!any) return ReorgEnd::NoFields;

    Batch batch(db);
    if (db.hasTable(QStringLiteral("W"))) RunSQL(QStringLiteral("Drop Table W"));
    const int n = RunSQL(QStringLiteral("Select * into W from Dances where 1=1") + condition);
    if (n == 0) return ReorgEnd::NoMatch;
    if (!yesNo(QString::number(n) + QStringLiteral(" dance(s) selected.\rContinue?"))) return ReorgEnd::NotConfirmed;
    RunSQL(QStringLiteral("Delete from Dances where 1=1") + condition);
    const QList<WRow> selected = wKeys(db);
    if (keyChange) {
        // Each selected dance's items follow it, matched by its whole key.
        for (const WRow &w : selected) {
            DanceKey to = w.key;
            if (setsFormat) to.Format = newFormat;
            if (setsStyle) to.Style = newStyle;
            if (!(to == w.key)) RenameDanceItemsEverywhere(db, sep, w.key, to);
        }
    }
    RunSQL(QStringLiteral("Update W Set ") + update);
    for (const WRow &w : wKeys(db)) mergeRow(db, w, yesNo);
    RunSQL(QStringLiteral("Insert into Dances Select * from W"));
    batch.commit();
    db.tableChanged(QStringLiteral("Dances"));
    return ReorgEnd::Done;
}
