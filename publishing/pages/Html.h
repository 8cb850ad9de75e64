#pragma once
// The routines every HTML page of the program goes through: escaping text
// for a page without touching the mark-up it holds, the head shared by the
// dance and programme pages, and the font tags and colours of instruction
// text turned into HTML.

#include "base/HtmlText.h"

#include <QChar>
#include <QString>

// The page being built. WritePageHead replaces it; the pages append to it.
extern QString PageText;

// EscapeHtml and HtmlValue with the current programme separator.
QString EscapeHtml(const QString &s);
QString HtmlValue(const QString &value);

// The head of a page with that title, left open for the caller's own style
// block and "</Head>"; the table font comes from [Print] Size and Font.
QString PageHead(const QString &title, const QString &size, const QString &font);
// PageText becomes the head, the sizes read from the settings.
void WritePageHead(const QString &title);

// Where the conversion of instruction text stands with its font.
struct FontState {
    QString face;     // the current font face
    int size = 24;    // the current size in half-points
    bool open = false; // a font tag is open
};

// Appends to page the font tag for the state's face and size, closing an
// open one first; with CSS in use the primary font (points) needs no tag,
// since the style sheet gives the body that font.
void OpenFontTag(QString &page, FontState &state, bool useCss, const QString &primaryFont, int primarySize);
// The same on PageText with the "Use CSS" option and the card's primary font.
void OpenFontTag(FontState &state);

// Balances the inline formatting tags (B, I, U, Font, Span) of converted
// rich text: a tag closed while others opened after it are open closes those
// first and opens them again after it; an end tag with nothing open to close
// is dropped; what is open at a table cell's end is closed there and opened
// again in the next cell (or after the table); what is open at the end is
// closed. Other mark-up and the text stay as they are.
QString BalanceInlineTags(const QString &html);

// One component ("red", "green" or "blue") of the colour-table entry at the
// front of colourTable, as at least two upper-case hexadecimal digits; "00"
// when the entry has no such component.
QString RtfColourHex(const QString &colourTable, const QString &component);
