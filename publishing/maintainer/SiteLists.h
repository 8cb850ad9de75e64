#pragma once
// The maintainer's lists and walks over the Dances table: his
// interpretations marked for the dance filter, the unpublished list, the
// own tunes missing from the tune index, the library address rewrite and
// the disc's pages.

#include "core/startup/MaintainerConfig.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class Database;
class Statement;
struct DanceFacts;

// The columns a walk reads for the maintainer's rules, rowid first, and the
// facts of the row a statement over them stands on.
extern const QString DanceFactsColumns;
DanceFacts DanceFactsOf(const Statement &st);

// Marks DFilter = "Y" on the interpretations, in one transaction. within:
// the rowids of the dances the filter shows (null: every dance); marks
// outside it, and on dances that do not qualify, are cleared. Gives the
// number marked.
int MarkInterpretations(Database &db, const MaintainerConfig &c, const QSet<qint64> *within);

// The text of "List.Txt": the maintainer's dances in no printed collection,
// not his interpretations' collection and not linked on the site (domain).
QString UnpublishedList(Database &db, const MaintainerConfig &c, const QString &domain, const QDate &today);

// The text of the "Missing ABC tunes" list. condition: "" or the filter's
// where-terms ("and ..." lines) added to the query; indexText: the tune
// index. *errors receives the error count.
QString MissingTunesList(Database &db, const QString &condition, const QString &indexText, int *errors = nullptr);

// The library's "http://" address rewritten to its "https://" form in every
// Notes, in one transaction; gives the number of dances changed. progress
// (may be empty) is told the percentage done.
int RewriteLibraryAddress(Database &db, const MaintainerConfig &c, const std::function<void(int)> &progress = {});

// The titles of the disc's "*.htm" pages whose comments hold "53", one a
// line; an empty folder abandons with "Cannot find " + pattern.
QString ScanCDList(const QString &folder);
