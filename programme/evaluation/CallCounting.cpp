#include "programme/evaluation/CallCounting.h"

#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/NoteLinks.h"
#include "programme/text/ProgrammeText.h"

#include <QHash>
#include <algorithm>
#include <optional>

QString CountQuestion(const QString &progText, QChar sep) {
    if (progText.contains(sep + QStringLiteral("O|Extras")))
        return QStringLiteral("Update counts and change \"Extras\" to \"Next time\"?");
    return QStringLiteral("Update counts?");
}

QString CallitQuestion(const QString &title, int n) {
    return DisplayTitle(title) + QStringLiteral("\r\rTimes called: ") + QString::number(n) +
           QStringLiteral("\r\rRemove from \"Callit\" list?");
}

bool CountingMayRun(SaveSender sender, const QString &updated, bool eventOver, const QString &progText,
                    QChar sep) {
    return sender == SaveSender::SaveE && updated.isEmpty() && eventOver &&
           !ProgrammeForbidsCounting(progText, sep);
}

bool HasTitledDance(const QList<ProgrammeItem> &rows) {
    return std::any_of(rows.cbegin(), rows.cend(),
                       [](const ProgrammeItem &item) { return item.isDance() && !item.key.Title.isEmpty(); });
}

QList<int> CountingRemovals(const QList<ProgrammeItem> &rows) {
    QList<int> removed;
    QList<int> kept;
    for (int i = int(rows.size()) - 1; i >= 0; --i) {
        if (rows[i].isDance() && rows[i].key.Title.isEmpty())
            removed.append(i);
        else
            kept.prepend(i);
    }
    if (kept.size() > 1) {
        const ProgrammeItem &lastReal = rows[kept[kept.size() - 2]];
        if (lastReal.isHeading() && IsExtrasHeading(lastReal.text)) removed.append(kept[kept.size() - 2]);
    }
    std::sort(removed.begin(), removed.end(), std::greater<int>());
    return removed;
}

CountingWalk WalkForCounting(const QList<ProgrammeItem> &rows) {
    CountingWalk walk;
    bool spare = false;
    for (int i = 0; i < rows.size(); ++i) {
        const ProgrammeItem &item = rows[i];
        if (item.isHeading()) {
            if (IsSessionHeading(item.text))
                spare = false;
            else if (IsExtrasHeading(item.text) || IsNextTimeHeading(item.text))
                spare = true;
        } else if (spare) {
            continue;
        } else if (item.isDance()) {
            if (!item.key.Title.isEmpty()) walk.dances.append(i);
        } else if (!IsAverageLevelNote(item.text)) {
            walk.notes.append(i);
        }
    }
    return walk;
}

QString DeletedDanceNote(const DanceKey &key) {
    return key.Title + QLatin1Char('|') + key.Format + QLatin1Char('|') + key.Style +
           QStringLiteral(" (dance has been deleted)");
}

CallCounting::CallCounting(const QList<ProgrammeItem> &rows, QChar sep) : rows(rows), sep(sep) {}

QList<int> CallCounting::RemoveRows() {
    const QList<int> removed = CountingRemovals(rows);
    for (int i : removed) rows.removeAt(i);
    walk = WalkForCounting(rows);
    walked = true;
    return removed;
}

void CallCounting::Locate(const DanceLocator &locate) {
    if (!walked) {
        walk = WalkForCounting(rows);
        walked = true;
    }
    for (int i : walk.dances) {
        const std::optional<LocatedDance> found = locate(i, rows[i].key);
        if (found) {
            located.append({i, *found});
        } else {
            // The stored programme already holds the note; the rows follow it.
            rows[i] = ProgrammeItem::note(DeletedDanceNote(rows[i].key));
            notes.append(i);
        }
    }
}

QList<int> CallCounting::CheckLinks() {
    if (!walked) {
        walk = WalkForCounting(rows);
        walked = true;
    }
    QList<int> emptied;
    for (int i : walk.notes) {
        const QString checked = CheckNoteLinks(rows[i].text);
        if (checked != rows[i].text) {
            rows[i].text = checked;
            linksChanged = true;
        }
        if (checked.isEmpty()) emptied.prepend(i);
    }
    for (int i : emptied) rows.removeAt(i);
    return emptied;
}

void CallCounting::AskCallit() {
    QHash<qint64, int> added;
    QHash<qint64, bool> onList;
    for (const auto &[row, dance] : located) {
        Q_UNUSED(row);
        const int n = (dance.called.isNull() ? 0 : dance.called.toInt()) + ++added[dance.rowid];
        auto list = onList.find(dance.rowid);
        if (list == onList.end()) list = onList.insert(dance.rowid, dance.callit);
        if (*list && n % 5 == 0 && YesNo(CallitQuestion(dance.title, n))) {
            *list = false;
            plan.callitCleared.append(dance.rowid);
        }
    }
    for (const auto &[row, dance] : located) {
        Q_UNUSED(row);
        const auto count = added.find(dance.rowid);
        if (count == added.end()) continue;
        plan.increments.append({dance.rowid, *count});
        added.erase(count);
    }
}

QString CallCounting::FinalProgramme(const QString &previous) const {
    return ExtrasToNextTime(WriteProgramme(rows, sep, previous), sep);
}

void WriteEventSave(Database &db, Dataset &events, const CallCountPlan &plan, bool markUpdated,
                    const QString &programme) {
    if (events.State() == DatasetState::Browse) events.Edit();
    Field &updated = events.FieldByName(QStringLiteral("Updated"));
    Field &stored = events.FieldByName(QStringLiteral("Programme"));
    const QVariant oldUpdated = updated.Value();
    const QVariant oldProgramme = stored.Value();
    std::optional<Dataset::Typed> typed;
    try {
        Batch batch(db);
        if (!plan.increments.isEmpty()) {
            Statement add(db.handle(),
                          QStringLiteral("UPDATE Dances SET Called = COALESCE(Called, 0) + ? WHERE rowid = ?"));
            for (const auto &[rowid, n] : plan.increments) {
                add.bind(1, n);
                add.bind(2, rowid);
                add.step();
                add.reset();
            }
        }
        if (!plan.callitCleared.isEmpty()) {
            Statement clear(db.handle(), QStringLiteral("UPDATE Dances SET Callit = '' WHERE rowid = ?"));
            for (qint64 rowid : plan.callitCleared) {
                clear.bind(1, rowid);
                clear.step();
                clear.reset();
            }
        }
        if (markUpdated && updated.AsString() != QLatin1String("Y")) updated.SetAsString(QStringLiteral("Y"));
        if (stored.AsString() != programme) stored.SetAsString(programme);
        typed = events.TypedRecord();
        events.Post();
        batch.commit();
    } catch (...) {
        // The commit refused after the event's own post (another program's
        // lock, a full disk): the rollback took the event's write too, so it
        // is being edited again as typed, new or not.
        if (typed && events.State() == DatasetState::Browse) events.PutBackTyped(std::move(*typed));
        if (events.State() == DatasetState::Edit || events.State() == DatasetState::Insert) {
            if (updated.Value() != oldUpdated) updated.SetValue(oldUpdated);
            if (stored.Value() != oldProgramme) stored.SetValue(oldProgramme);
        }
        throw;
    }
    if (!plan.isEmpty()) db.tableChanged(QStringLiteral("Dances"));
}
