#pragma once
// The dance page: a dance's instructions, as the instruction box's RTF gives
// them, turned into HTML under the dance's title, with its notes and their
// links as buttons below. Only the RTF our own writer gives is read: bold,
// italic, underline, tabs (a two-column table), fonts, sizes, colours,
// highlighting, line breaks and the special characters. Every character of
// the text, title and notes reaches the page as text, never as mark-up.

#include <QChar>
#include <QString>

struct DancePageInput {
    QString title;            // the Title box
    QString rtf;              // the instructions box's RTF
    QString notes;            // the Notes box
    bool useCss = false;      // "Use CSS"
    bool showTitles = false;  // "Show titles": the instructions begin with the title
    bool halfLines = false;   // the card settings' half-lines box
    int paraGap = 0;          // twips after a paragraph
    QString primaryFont = QStringLiteral("Arial");
    int primarySize = 12;     // points
    QChar separator;          // the programme separator
    QString printSize = QStringLiteral("12");                // [Print] Size
    QString printFont = QStringLiteral("Arial, Sans-Serif"); // [Print] Font
};

struct DancePageResult {
    QString page;             // head and body, left open for the closing lines
    QString title;            // the title as the page shows it (for the log)
    bool fontOpen = false;    // a size's font tag is still open
    QString stop;             // not empty: the message; nothing is written
};

DancePageResult BuildDancePage(const DancePageInput &in);

// The notes of a page: text escaped, each link (a Link="..." target or a web
// address) a button at its place, "Music" for the maker's tune page and
// "Link" otherwise; a link that may not be an href shows as text.
QString DanceNotesHtml(const QString &notes);
