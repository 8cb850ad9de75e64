#pragma once
// The maintainer's technique notes: an index of the headings and bold bullet
// items of the ".htm" pages of the local copy of the web site, each with the
// section it starts, and the page of the sections that name a dance.

#include <QList>
#include <QString>

struct TechniqueEntry {
    QString heading; // the heading or bold item as text
    QString page;    // the file it came from, relative to the site folder
    QString html;    // its section: from the heading or item to the next one
};

// Every ".htm" page under the folder, in name order; none gives no index.
QList<TechniqueEntry> TechniqueIndex(const QString &siteFolder);
// The entries whose heading holds the title (the program's case folding).
QList<TechniqueEntry> TechniqueFor(const QList<TechniqueEntry> &index, const QString &title);
// The page of those sections in 32-point type.
QString TechniquePage(const QString &title, const QList<TechniqueEntry> &matches);
// The index as text, one "page: heading" line an entry (Debug).
QString TechniqueIndexText(const QList<TechniqueEntry> &index);
