#pragma once
// "My Dances": the maintainer's dances as the rows of his site's dance table
// (table text, columns "Title|Collection|Rhythm|Level|Music|Recording"),
// the CSV lists of them and the totals line of the page's trailer.

#include "core/startup/MaintainerConfig.h"

#include <QChar>
#include <QDate>
#include <QList>
#include <QPair>
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

// The site's dances page rebuilt from the table text of its three tables:
// each table marked "<Table Id=Collect", "Level" and "Dances" keeps its own
// tag and gets the rows of its text (programme separators as "%7C", a
// one-digit cell indented); after the last of them come the totals trailer
// and the page's closing. Everything before and between the tables stays
// byte for byte; the linked collection codes that begin a cell become
// links to their pages.
struct DancesPageInput {
    QString collect, level, dances; // the table texts
    QString totals;
    QList<QPair<QString, QString>> codeLinks;
    QChar separator;
    QString pageName;               // for the message, "dances.htm"
};
struct DancesPageResult {
    QString page;
    QString stop;        // not empty: the message; nothing is written
    bool quote = false;  // a cell holds "Æ"
};
DancesPageResult RebuildDancesPage(const QString &oldPage, const DancesPageInput &in);
