#include "core/dances/DanceLocate.h"

#include "base/Cp1252.h"
#include "platform/sqlite/Dataset.h"

bool MissingMet = false;
NotFoundAction NotFoundChoice = NotFoundAction::Note;
bool NotFoundForAll = false;

void ResetLocateState() {
    MissingMet = false;
    NotFoundChoice = NotFoundAction::Note;
    NotFoundForAll = false;
}

QVariantList DanceSeekKey(const QString &order, const DanceKey &key) {
    if (SameText(order, QStringLiteral("FTS"))) return {key.Format, key.Title, key.Style};
    if (SameText(order, QStringLiteral("TSF"))) return {key.Title, key.Style, key.Format};
    if (SameText(order, QStringLiteral("FSRT"))) return {key.Format, key.Style};
    return {key.Format, key.Style, key.Title};
}

bool SameDanceKey(const DanceKey &a, const DanceKey &b) {
    return SameText(a.Title, b.Title) && SameText(a.Format, b.Format) && SameText(a.Style, b.Style);
}

DanceKey CurrentDanceKey(Dataset &dances) {
    if (!dances.active() || dances.IsEmpty()) return {};
    return {dances.FieldByName(QStringLiteral("Title")).AsString(), dances.FieldByName(QStringLiteral("Format")).AsString(),
            dances.FieldByName(QStringLiteral("Style")).AsString()};
}

DanceKey StoredDanceKey(Dataset &dances) {
    if (!dances.active() || dances.IsEmpty() || dances.State() == DatasetState::Insert || !dances.database()) return {};
    Statement s(dances.database()->handle(),
                QStringLiteral("SELECT Title, Format, Style FROM %1 WHERE rowid=?").arg(QuoteIdentifier(dances.tableName())));
    s.bind(1, dances.GetBookmark());
    if (!s.step()) return {};
    return {s.columnText(0), s.columnText(1), s.columnText(2)};
}

bool SeekDance(Dataset &dances, const QString &order, const DanceKey &key) {
    if (!SameText(order, QStringLiteral("FSRT"))) {
        if (!dances.Seek(DanceSeekKey(order, key), SeekMode::FirstEq)) return false;
        return SameDanceKey(CurrentDanceKey(dances), key);
    }
    // The Rhythm stands between Style and Title, so a walk from the first
    // dance of this Format and Style would have to read them all until the
    // Title matched; the whole key names one row, which is gone to at once.
    // The outcome is the walk's: found exactly when that row is shown.
    Statement s(dances.database()->handle(),
                QStringLiteral("SELECT rowid FROM Dances WHERE Title=? AND Format=? AND Style=?"));
    s.bindAll({key.Title, key.Format, key.Style});
    const qint64 rowid = s.step() ? s.column(0).toLongLong() : 0;
    s.finalize();
    if (!rowid || !dances.BookmarkValid(rowid)) return false;
    dances.GotoBookmark(rowid);
    return SameDanceKey(CurrentDanceKey(dances), key);
}

QString NotFoundText(const DanceKey &key) {
    return QStringLiteral("A dance in the current Event does not appear in the Dances table.\r\n\r\nTitle:\t") + key.Title +
           QStringLiteral("\r\nFormat:\t") + key.Format + QStringLiteral("\r\nStyle:\t") + key.Style +
           QStringLiteral("\r\n\r\nYou have three choices:") +
           QStringLiteral("\r\n\r\n[Note]:  Convert the Dance in the Event to a Note, so that the information is still there but ") +
           QStringLiteral("the program no longer considers it an error.\r\n\r\n") +
           QStringLiteral("[Generate]:  Generate a Dance with this Name, Format and Style so that you can later add further information.") +
           QStringLiteral("\r\n\r\n[Exit]:  Do nothing, in which case this error screen will appear each time you ") +
           QStringLiteral("view this Event.\r\n\r\n\r\n") +
           QStringLiteral("If you know that this message is likely to appear many times, tick the box ") +
           QStringLiteral("[Do this for all] before pressing the button.  Then run File|Check all.\r\n\r\n") +
           QStringLiteral("If you have chosen to generate Dances, you can see them all by positioning to the Instructions ") +
           QStringLiteral("field, clicking the [Filter] button and searching for ") + QStringLiteral("\"Generated Dance\"") +
           QStringLiteral(" (without the quotes).");
}

QString DanceItemText(const DanceKey &key) {
    return QStringLiteral("D|") + key.Title + QLatin1Char('|') + key.Format + QLatin1Char('|') + key.Style;
}
