#include "publishing/pages/ProgrammePage.h"

#include "base/FastStrings.h"
#include "base/TextRoutines.h"
#include "core/startup/Settings.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/SiteConfig.h"

#include <QSaveFile>
#include <cmath>
#include <stdexcept>

bool OneBand = false;
QStringList PrintColumns;
TuneList PageTunes;

QString EventHeading(const QString &org, const QString &contact, const QString &event) {
    QString heading;
    if (org != contact && org != event) heading = org;
    if (event.isEmpty() || !heading.contains(event)) {
        if (event == QLatin1String("Festival")) heading += QStringLiteral(" Festival");
        else heading += (heading.isEmpty() ? QString() : QStringLiteral(": ")) + event;
    }
    return heading;
}

QString EventInfo(const EventBoxes &e, const QString &name) {
    QString line;
    const auto add = [&line](const QString &text) {
        if (text.isEmpty()) return;
        if (!line.isEmpty()) line += QStringLiteral(", ");
        line += text;
    };
    add(e.Venue);
    add(e.Town);
    add(e.Postcode);
    // An event without a date shows "None" (or nothing while it is new).
    if (e.DateText != QLatin1String("None") && !e.DateText.isEmpty()) {
        if (!line.isEmpty()) line += QStringLiteral(", ");
        if (e.Event.contains(QLatin1String("Festival")) || e.Event.contains(QLatin1String("Week")))
            line += QStringLiteral("from ");
        line += e.DateText;
    }
    add(e.ETime);
    if (!name.isEmpty()) line = name + QStringLiteral(": ") + line;
    if (!e.Band.isEmpty()) {
        line += QStringLiteral(" with ") + e.Band;
        if (e.Band == QLatin1String("Recorded")) line += QStringLiteral(" music");
    }
    return line;
}

bool WithinTour(double firstDay, double day) { return std::trunc(day - firstDay) <= 30; }

bool TourOffered(double firstDay, const QString &band, const QList<FollowingEvent> &following) {
    if (band.isEmpty()) return false;
    for (const FollowingEvent &e : following) {
        if (!WithinTour(firstDay, e.day)) return false;
        if (e.band == band) return true;
    }
    return false;
}

QStringList ReadPrintColumns() {
    QStringList columns;
    if (!IniFile) return columns;
    for (int i = 0;; ++i) {
        const QString name = IniFile->ReadString(QStringLiteral("Print"), QString::number(i), QString());
        if (name.isEmpty()) break;
        columns.append(name);
    }
    return columns;
}

QString TuneButton(const QString &query) {
    QString address = query;
    address.replace(QChar(0xF6), QLatin1Char('o'));
    // "&" between entries as a page writes it; references in keys stay, and
    // nothing from a title or a link may end the attribute.
    address.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    address.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    address.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    address = EscapeHtml(address, QChar(0));
    return QStringLiteral("<Center Class=NoPrint><A Style=\"Border: Solid 2px #000000; Border-left-color: #D8D8D8; "
                          "Border-top-color: #D8D8D8; Padding: 2px; Color: #000000; Text-decoration: None; "
                          "Background: #FFFF00 None; Border-radius: 4px\" Href=\"") +
           TunePageAddress() + QLatin1Char('?') + address +
           QStringLiteral("\"><B>&nbsp;Click HERE to Select and Print/Play set tunes &mdash; you don't need the "
                          "individual links&nbsp;</B></A><P></Center>");
}

QString TuneListFileName(const QString &dateText) {
    return QLatin1Char('!') + dateText.mid(dateText.indexOf(QLatin1Char(' ')) + 1) + QStringLiteral(".txt");
}

QString TuneListLines(const QString &query) {
    QString lines;
    for (const QString &entry : query.split(QLatin1Char('&'), Qt::SkipEmptyParts))
        lines += entry.mid(entry.indexOf(QLatin1Char('=')) + 1) + QStringLiteral("\r\n");
    return lines;
}

QString InsertBeforeFirstTable(const QString &page, const QString &text) {
    qsizetype at = page.indexOf(QLatin1String("<Table"));
    if (at < 0) at = page.size();
    QString out = page;
    out.insert(at, text);
    return out;
}

QString AddToPage(const QString &oldPage, const QString &newPage, PageKind kind) {
    QString old = oldPage;
    const qsizetype title = PosNoCase(QStringLiteral("<Title>"), old);
    if (title > 0) {
        const qsizetype from = title - 1 + 7;
        const qsizetype close = old.indexOf(QLatin1String("</"), from);
        old.replace(from, (close < 0 ? old.size() : close) - from,
                    kind == PageKind::Dances ? QStringLiteral("Dances") : QStringLiteral("Events"));
    }
    const qsizetype body = PosNoCase(QStringLiteral("</Body>"), old);
    if (body > 0) old.truncate(body - 1);
    QString added = newPage;
    const QString start = QStringLiteral("<Body BgColor=White>");
    const qsizetype at = added.indexOf(start);
    if (at >= 0) added.remove(0, at + start.size());
    if (old.contains(QLatin1String("BorderColor=Green")))
        return old + QStringLiteral("<P Style=\"page-break-after: always\">") + added;
    return old + added;
}

