#pragma once
// The check made on closing: two organisations booked for the same day, an
// event of several days counting for every day it lasts.

#include <QList>
#include <QString>

struct BookedEvent {
    double EDate = 0; // day number; the no-date value for an undated event
    QString Org;
    QString Town;
    QString Event;
    QString Programme;
};

struct BookingNotice {
    enum Kind { DoubleBooking, WeekendStart } kind = DoubleBooking;
    QString text;
};

// The help topic of the double-booking warning.
inline constexpr int DoubleBookingHelp = 51810;

// Organisers whose festivals last fewer than seven days, with their spans.
struct FestivalSpan {
    QString org;
    int days;
};
const QList<FestivalSpan> &ShortFestivals();

// The days an event takes: a weekend from Saturday 2 and from Friday 3
// (otherwise 1, *oddWeekend set); a week or a camp 7; a festival 7 unless
// its organiser's festivals are shorter; anything else 1.
int EventSpan(const BookedEvent &event, bool *oddWeekend = nullptr);

// The notices for the events from today on, in date order: a warning for an
// event of another organisation in another town on a day the previous
// event still takes, and a note for each weekend that starts on another day
// than a Friday or Saturday. Events whose programme begins with the note
// "Leader" or holds "Not double booking", and undated ones, are passed over.
QList<BookingNotice> CheckDoubleBookings(const QList<BookedEvent> &events);
