#pragma once
// The bookings page: every booking from today on as a table in the caller's
// own web page, below the part of the page the caller designed, which is
// kept byte for byte. The table is first written as table text ("Dates.Tab")
// and then as HTML twice: the page itself (icons with tooltips, e-mail
// addresses decoded by the page's script so that they never stand in clear)
// and a printable list with every detail as text, which the page's
// "Reformat" button writes in its place.

#include <QChar>
#include <QList>
#include <QString>

// The Events fields the table reads, one event.
struct BookingEvent {
    double EDate = 0;
    QString Programme, Org, Town, Prv, Venue, Postcode, ETime, Contact, Event, Band, WebSite, Email, Phone;
};

struct BookingsOptions {
    QChar separator;       // the programme separator
    QString regular;       // [User] Regular: rows after each year's row
    double today = 0;      // bookings before this day are passed over
};

// The table text of the events (table order); stops through AbortMsg with
// the refusals (a blank at a field's end, a link in Venue). Values reach
// the table as text, each within its cell (TableTextValue); only http(s)
// addresses become links.
QString BookingsTableText(const QList<BookingEvent> &events, const BookingsOptions &o);

// Stops with s + " has leading or trailing space." when s has blanks at an end.
QString CheckNoOuterSpaces(const QString &s);

// abcdef -> acefdb: the address with "@" as "!" and "." as "?", its odd
// characters in order, then its even ones backwards. The page's script
// reverses it. Characters outside letters, digits and "@._+-" go as "%"
// escapes first, so that nothing in an address can end the script's string.
QString ScrambleAddress(const QString &address);
// The reverse, as the page's script does it.
QString UnscrambleAddress(const QString &scrambled);

// Table text as HTML rows, built twice at once: the page (icons and
// scripts for the cell attributes) and the printable list (the attributes
// as text). The first line is the header row (TH cells); an empty first
// line gives a table without one.
struct TableHtml {
    QString page, printable;
    bool quote = false;      // a cell holds "Æ": the "Quote!" warning
    bool attributes = false; // some cell had attributes
};

struct TableHtmlOptions {
    QString imageFolder;     // "" or a folder ending "/"
    bool maintainer = false;
    bool styled = false;     // the page styles its "WebStart" table itself
    QChar separator;         // the programme separator ...
    QString separatorAs = QStringLiteral("|"); // ... as written in cells
    bool indentDigit = false; // a one-digit cell indented
};

// Appends the rows of tableText (not the table's own tags) to out.
void AppendTableTextHtml(TableHtml &out, const QString &tableText, const TableHtmlOptions &o);

struct BookingsPageResult {
    QString page;          // the whole page
    QString printable;     // the printable list (what Reformat writes)
    QString stop;          // not empty: the message; nothing is written
    bool quote = false;    // a cell holds "Æ": the "Quote!" warning
};

struct BookingsPageOptions {
    QString imageFolder;   // "" or a folder ending "/" (maintainer mode)
    bool maintainer = false;
    QChar separator;
    QString path;          // the page's path, for the stop message
    QString feedback;      // maintainer mode: his site's feedback link (HTML)
};

// The caller's page with the table of tableText in place of the old one:
// the old table is found by the script element holding our decoding
// function, else by the table of class "WebStart", each only where a
// browser reads it as an element (not in a comment, an attribute value or
// a script's text); everything before it stays as it was. A page where
// neither is found whole gives the stop message and no page.
BookingsPageResult BookingsPage(const QString &oldPage, const QString &tableText, const BookingsPageOptions &o);
