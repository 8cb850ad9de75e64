#pragma once
// Insert from list, Panic! and Tunes for this band: a list of titles turned
// into programme dances. Nothing is shown here: the insert window and the
// main window show what these give.

#include "platform/sqlite/Database.h"
#include "programme/evaluation/ProgrammeData.h"
#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The shared scratch list of titles the insert window shows.
extern QStringList WorkList;

// The titles of an instruction text's plain form: one per line (paragraphs
// and line breaks), typographic double quotes made plain, blanks trimmed,
// empty lines skipped. A first line that is ownTitle, the shown title of the
// dance holding the list (its heading under "Show titles"), is no title of
// the list.
QStringList TitleList(const QString &plainText, const QString &ownTitle = QString());

// The stored form of a title shown with its article in front: "The Merry
// Dancers" gives "Merry Dancers, The"; a title without an article stays.
QString StoredTitleForm(const QString &shown);

// The catalogue's titles, read with bound parameters, one row at most.
class SqlTitleCatalogue {
public:
    explicit SqlTitleCatalogue(Database &db) : db(db) {}
    // The title as the catalogue holds it: the title given, else its stored
    // form; empty when neither is there.
    QString Find(const QString &title) const;
    // The dance a title inserts: one that is not a Break; with positional
    // (the Dances page shows a positional dance) one of a positional style
    // instead; else any dance of that title. Nothing when none has it.
    std::optional<DanceKey> Choose(const QString &title, bool positional) const;

private:
    std::optional<DanceKey> first(const QString &where, const QString &title) const;
    Database &db;
};

// The insert window's label colours.
enum class TitleState { Unknown, Known, Chosen };
// Which titles a button inserts, in list order: the chosen ones, or with
// all every known one.
QList<int> TitlesToInsert(const QList<TitleState> &states, bool all);
// A label click: an unknown title stays as it is, others toggle.
TitleState Toggled(TitleState state);
