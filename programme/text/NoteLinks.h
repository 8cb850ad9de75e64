#pragma once
// Links in note texts: a link marker Link="address" or a bare web address
// ("http:" or "https:"). Finding and cutting out the next link, and the check
// that offers to drop the links of a finished event's notes.

#include <QString>

// The marker that opens a link written in quotes.
inline const QString LinkMarker = QStringLiteral("Link=\"");

struct LinkFound {
    // The text with every backslash-quote written as backslash + "&quot;"
    // (what the search and the positions below refer to).
    QString repaired;
    // repaired with the link cut out (repaired itself when there is none).
    QString text;
    // The link found; empty when none (and for a marker link removed because
    // there was no web address).
    QString link;
    // 1-based place in repaired where the cut begins; 0 when nothing was cut.
    int position = 0;
    // Characters cut from repaired at position.
    int length = 0;
    // The warning for a web address ending in a double quote, else empty.
    QString warning;
};

// Finds the next link at or after start (1-based), letter case ignored.
// A web address directly after a link marker belongs to the marker. The
// marker is used unless a web address comes first, there is no marker, or
// remove is set; with remove and no web address at all, the marker link is
// cut out and no link is given. A marker link is cut with its marker and
// closing quote; a web address (up to a line break, blank or "<") with the
// one character after it.
LinkFound ExtractLink(const QString &text, bool remove, int start = 1);

// Deletes the file a local link names: "\" read as "/", a relative name
// taken from DataFolder. True when the file is gone.
bool DeleteLinkedFile(const QString &link);

// The link check of one note when an event's calls are counted: each link in
// turn is offered for removal (a local one together with its file, "Could
// not delete " + link when that fails); a link the user keeps stays and the
// search goes on after it. Gives the note trimmed of blanks at both ends.
QString CheckNoteLinks(const QString &note);
