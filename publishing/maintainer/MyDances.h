#pragma once
// "My Dances": the maintainer's dances as the rows of his site's dance table
// (table text, columns "Title|Collection|Rhythm|Level|Music|Recording"),
// the CSV lists of them and the totals line of the page's trailer.

#include "core/startup/MaintainerConfig.h"

#include <QDate>
#include <QString>

class Database;

struct MyDancesResult {
    QString table;    // the table text, CR LF lines
    QString csv;      // "Title","Format","Style" and a line per dance
    QString allCsv;   // every field, when asked for
    QString totals;   // the trailer's totals line
    int rows = 0;
};

// Walks every dance (in Format, Style, Title order). A dance without
// collection or level, or a site page missing from the site copy (and not
// named in "MyDances.txt" there), abandons with its message.
MyDancesResult MakeMyDances(Database &db, const MaintainerConfig &c, const QString &domain, const QDate &today,
                            bool everyField);
