#pragma once
// The programme page ("Prog.htm"): the heading and information line of an
// event, the walk that finds a band's tour, the tune button, adding a page
// to the file already there, and writing it.

#include "base/HtmlText.h"
#include "publishing/pages/BandTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// The command's state between uses: came from "for one band", the table's
// columns, and the page's tune query.
extern bool OneBand;
extern QStringList PrintColumns;
extern TuneList PageTunes;

// The event boxes the heading and the information line read.
struct EventBoxes {
    QString Org, Contact, Event;
    QString Venue, Town, Postcode, DateText, ETime, Band;
};

// Org, unless it repeats Contact or Event, then the event's name (a
// "Festival" joined with a blank, anything else after ": ").
QString EventHeading(const QString &org, const QString &contact, const QString &event);
// "Name: Venue, Town, Postcode, [from ]date, time with Band[ music]"; name is
// [System] Name, or the maintainer's in maintainer mode.
QString EventInfo(const EventBoxes &e, const QString &name);

// One event after the shown one, in table order.
struct FollowingEvent {
    double day = 0; // the EDate day number
    QString band;
};
// Whether a booking of band follows within 30 days of firstDay (whole days).
bool TourOffered(double firstDay, const QString &band, const QList<FollowingEvent> &following);
// Still within the tour's 30 days.
bool WithinTour(double firstDay, double day);

// [Print] "0", "1", ... up to the first empty or missing one.
QStringList ReadPrintColumns();

// The tune button whose address carries query, written for a page (every
// "ö" as "o").
QString TuneButton(const QString &query);
// Maintainer mode: the name of the tune-list file of a date box's text,
// "Sat 12-Mar-24" giving "!12-Mar-24.txt".
QString TuneListFileName(const QString &dateText);
// Its lines: the value of each "&"-separated entry of the query.
QString TuneListLines(const QString &query);
// The button and any missing music, placed above the first table.
QString InsertBeforeFirstTable(const QString &page, const QString &text);

enum class PageKind { Events, Dances };
// The new page added behind the old file's: the old title becomes the page
// kind's name, the old end from "</Body>" on goes, the new page's start up to
// its "<Body BgColor=White>" goes, and a page break parts them when the old
// page holds a band table.
QString AddToPage(const QString &oldPage, const QString &newPage, PageKind kind);

