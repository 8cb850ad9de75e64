#pragma once
// A web page read as a browser reads it, for finding our place in a page
// the caller made: its start tags in order, with their attributes, and the
// text of the elements whose text holds no tags. Nothing inside a comment,
// a declaration, an attribute value, or the text of a script, style, title
// or text area counts as a tag.

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

struct HtmlStartTag {
    qsizetype start = 0;                       // the "<"
    qsizetype end = 0;                         // just past the ">"
    QString name;                              // in upper case
    QList<QPair<QString, QString>> attributes; // names in upper case, values as written
    // Script, style, title, text area and their kind: the element's text
    // runs from end to textEnd, the "<" of its end tag. -1 for the others.
    qsizetype textEnd = -1;

    // The value of the first attribute of that (upper-case) name; empty
    // when there is none.
    QString attribute(const QString &upperName) const;
};

// How the page ended: in text, or inside a part left open (its start).
struct HtmlWalkEnd {
    enum Kind {
        Text,
        Comment,
        Tag,
        Element
    } kind = Text; // Element: the text of a script, style ...
    qsizetype from = 0;
    QString element; // Element: its name, upper case
};

// Calls visit with each start tag in page order until it returns false.
// An element whose text runs to the page's end is not visited: the walk
// ends inside it.
HtmlWalkEnd WalkHtml(const QString &page, const std::function<bool(const HtmlStartTag &)> &visit);

// Where code stands as code in a script's text: not inside a string, a
// template, a regular expression or a comment, and not the tail of a
// longer name. -1 when it does not.
qsizetype FindScriptCode(const QString &script, const QString &code);
