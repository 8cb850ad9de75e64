#include "core/views/Navigation.h"

#include "base/Cp1252.h"
#include "platform/sqlite/Dataset.h"

#include <QUrl>

QString PageCaption(PageKind page, const QString &ruleSetName) {
    switch (page) {
    case PageKind::Events: return QStringLiteral("Quillary: Events");
    case PageKind::Dances: return QStringLiteral("Quillary: Dances");
    case PageKind::Rules:
        return ruleSetName.isEmpty() ? QStringLiteral("Quillary: Rules")
                                     : QStringLiteral("Quillary: Rules for ") + ruleSetName;
    case PageKind::Recordings: return QStringLiteral("Quillary: Recordings");
    case PageKind::Folders: break;
    }
    return QStringLiteral("Quillary");
}

int StepPage(const QList<bool> &shown, int current, bool forward) {
    const int n = int(shown.size());
    for (int step = 1; step < n; ++step) {
        const int i = ((current + (forward ? step : -step)) % n + n) % n;
        if (shown[i]) return i;
    }
    return current;
}

QString NotesCaption(int lines) {
    if (lines <= 0) return QStringLiteral("No Notes");
    if (lines == 1) return QStringLiteral("Notes (1 line)");
    return QStringLiteral("Notes (%1 lines)").arg(lines);
}

RowWalk WalkProgramme(const QList<bool> &titled, int thisIndex, int direction, bool fullScreen) {
    const int n = int(titled.size());
    int i = thisIndex < 0 && direction == 0 ? 0 : thisIndex;
    if (direction == 0) return {i, i >= 0 && i < n};
    do {
        i += direction;
    } while (i >= 0 && i < n && !titled[i] && !fullScreen);
    if (i < 0 || i >= n) return {thisIndex, false};
    return {i, true};
}

bool StepWithinOrg(Dataset &events, int direction) {
    const QVariantList key = {events.FieldByName(QStringLiteral("Org")).Value(),
                              events.FieldByName(QStringLiteral("EDate")).Value(),
                              events.FieldByName(QStringLiteral("Event")).Value()};
    const Dataset::Bookmark start = events.GetBookmark();
    const QString org = key[0].toString();
    bool moved = false;
    events.setIndexName(QStringLiteral("Primary"));
    try {
        if (events.Seek(key, SeekMode::FirstEq) && events.MoveBy(direction) != 0 &&
            SameText(events.FieldByName(QStringLiteral("Org")).AsString(), org))
            moved = true;
        if (!moved && start) events.GotoBookmark(start);
    } catch (...) {
        events.setIndexName(QStringLiteral("EDate"));
        throw;
    }
    events.setIndexName(QStringLiteral("EDate"));
    return moved;
}

namespace {

QString Encoded(const QString &value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString MapAddress(const QString &postcode) {
    QStringList words = postcode.split(QLatin1Char(' '));
    for (QString &w : words) w = Encoded(w);
    return QStringLiteral("https://www.google.com/maps?f=q&source=s_q&hl=en&geocode=&q=") +
           words.join(QLatin1Char('+'));
}

QString MailAddress(const QString &address, const QString &org, const QString &event, const QString &dateText) {
    QString subject = org + QLatin1Char(' ') + event + QLatin1Char(' ') + dateText;
    subject.replace(QLatin1Char('&'), QStringLiteral("and"));
    return QStringLiteral("mailto:") + address + QStringLiteral("?Subject=") + Encoded(subject);
}

QString WebAddress(const QString &text) {
    if (text.startsWith(QStringLiteral("http"), Qt::CaseInsensitive)) return text;
    return QStringLiteral("http://") + text;
}
