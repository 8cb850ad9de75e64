#pragma once
// A caller's own note at the top of the written programme page: read back
// from the page's lilac box as plain text, and the edited text written into
// the box as HTML (typographic quotes, dashes, breaks, and an e-mail address
// in angle brackets shown as text).

#include <QString>

#include <functional>
#include <optional>

// The box's colour, by which a page's note is recognised.
inline const QString AnnotationColour = QStringLiteral("ECD9F0");

// The note already on a page, as plain text, with the place of its HTML
// (0-based, from and to). found is false when the page has no box.
struct PageNote {
    bool found = false;
    qsizetype from = 0, to = 0;
    QString text;
};
PageNote ReadAnnotation(const QString &page);

// The text the user typed, as the box's HTML; quotesOpen is set when a
// double quote was left without its partner.
QString AnnotationHtml(const QString &text, bool *quotesOpen);

// 1-based place just after the ">" that closes the first tag in text; 1
// when tag is absent or its ">" ends the text.
qsizetype FindTagEnd(const QString &tag, const QString &text);

// The page with html in its box: in place of the old note, or in a new box
// just after the body tag (at the very start without one).
QString Annotate(const QString &page, const QString &html);

// The command on a page file: "No web page to annotate." when it is
// missing; edit gets the old note and gives the new text, or nothing to
// leave the page as it is. The page is saved whole in the encoding it was
// read in. True when it was saved.
bool AnnotatePageFile(const QString &path, const std::function<std::optional<QString>(const QString &)> &edit);
