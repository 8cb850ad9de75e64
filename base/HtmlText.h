#pragma once
// Text for web pages: escaping a text or a value from the catalogue for a
// page, the href of an address, and writing a finished page.

#include <QChar>
#include <QString>

// Makes text safe inside a page: the separator becomes "&bull;", "»"
// "&raquo;", a bare "&" (not starting "&#" or a name or nothing followed by
// ";") "&amp;", and every character from 128 up a numeric reference by its
// code point (a surrogate pair gives one). "<", ">" and quotes are kept, so
// a finished page may be run through again without change.
QString EscapeHtml(const QString &s, QChar separator);

// A value from the catalogue (a title, a name, a note, a heading) made safe
// where it is put into a page: "&", "<", ">" and '"' become references, then
// EscapeHtml's rules apply, so the page shows the value as it was typed and
// none of it acts as mark-up. With a null separator only the mark-up
// characters are done, for a page that EscapeHtml runs over when finished
// (the band table), so the programme separator is still there to be read.
QString HtmlValue(const QString &value, QChar separator);

// The href of an address taken from the catalogue, escaped for the
// attribute: a web address beginning "http://" or "https://" as it stands,
// one beginning "www." with "http://" before it, and a relative file name
// (no ":" anywhere, so it names no scheme). Empty for anything else (a
// "javascript:" address, "C:\x.pdf"), which a page shows as text.
QString HtmlHref(const QString &address);

// Writes the page whole as UTF-8 without a byte-order mark; a failure throws
// std::runtime_error naming the file.
void SavePageFile(const QString &path, const QString &page);
