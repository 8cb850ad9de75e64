#pragma once
// Tag sets: named sets of dances kept in the settings file, one section
// "$" + name per set, each tagged dance a key TagKey with the value "1". One
// set at a time is current.

#include <QSet>
#include <QString>
#include <QStringList>

// The current set, "" when none.
extern QString TagSetName;
// The number of keys in the current set's section (the placeholder counts).
extern int TaggedCount;
// "|" followed by every key of the current set, in file order.
extern QString TagKeyList;
// The same keys folded, for the filter and the display.
extern QSet<QString> TagKeySet;
// "Filter!" checked: the Dances filter admits only dances of the current set.
extern bool TagFilterOn;

void ResetTagState();

// "|" + Title + "|" + Format + "|" + Style + "|".
QString TagKey(const QString &title, const QString &format, const QString &style);
// "$" + name.
QString TagSetSection(const QString &name);
// The key that keeps a new set's section while it is empty: the programme
// separator, with an empty value.
QString TagPlaceholderKey();

// Reads the current set's section into TaggedCount, TagKeyList and TagKeySet
// (all empty when no set is current).
void LoadTagSet();
// Whether a key is in the current set, ignoring case.
bool IsTagged(const QString &key);

// The names of all sets in the settings file's order, without the "$".
QStringList TagSetNames();
bool TagSetExists(const QString &name);
// Why a name cannot be a set's name ("" when it can). Empty names are the
// caller's to handle.
QString TagSetNameFault(const QString &name);

// Writes the placeholder into the set's section (the section comes into being).
void WriteTagPlaceholder(const QString &name);
// Adds the key to the current set (the placeholder goes) and reloads it.
void AddTag(const QString &key);
// Removes the key from the current set, whatever the case of its stored
// spelling, and reloads it.
void RemoveTag(const QString &key);
// Erases a set's section.
void EraseTagSet(const QString &name);
