#pragma once
// The Tools and Settings commands that change many records at once, each
// split into its question-and-answer part (the ...Click routine the menu
// calls) and the change itself, a function of table, field and values.

#include "core/filter/FilterDef.h"
#include "core/services/MainWindowLink.h"

#include <QChar>
#include <QString>
#include <functional>
#include <vector>

// An input box: caption, prompt, the value shown and returned; false on Cancel.
using InputAsker = std::function<bool(const QString &caption, const QString &prompt, QString *value)>;
// An open-file dialog: caption, folder, filter ("Access databases|*.mdb");
// the chosen path, or "" on Cancel.
using FileChooser = std::function<QString(const QString &caption, const QString &folder, const QString &filter)>;

// Sets a yes/no field of every record ("Y", or blank); gives the count.
int SetAllValues(const QString &table, const QString &field, bool checked);
void SetAllClick(const FocusControl *focus);

// Replaces one value of a field in every record; gives the count.
int ChangeAllValues(const QString &table, const QString &field, const QString &oldValue, const QString &newValue);
void ChangeAllClick(const FocusControl *focus, const InputAsker &ask);

// Deletes every event dated before the day; gives the count.
int DeleteEventsBefore(double day);
// The date box's text names the date; "None" (no date) deletes nothing.
void DeleteEventsClick(const QString &dateBoxText);

// Deletes these dances (rowids) in one transaction; gives the count.
int DeleteDanceRows(const std::vector<qint64> &rowids);
// All dances, or exactly those the filtered Dances table shows.
void DeleteDancesClick(const FilterDef &filter, bool dfilterOption = false);

int RemoveCalled();
void RemoveCalledClick();

// Notes the chosen database in DataFolder's "Quillary.ini": the bare name
// for a file in DataFolder, else the full path. Gives the stored name.
QString SwitchDatabaseName(const QString &chosenPath);
void SwitchDatabaseClick(const FileChooser &choose);

// How many shown events (Programme) and dances (Music) hold "·", "€" and
// the older pair "¡¤".
struct DelimiterCounts {
    int events[3] = {0, 0, 0};
    int dances[3] = {0, 0, 0};
};
DelimiterCounts CountDelimiters();
QString DelimiterReport(QChar configured, const DelimiterCounts &counts);
// Rewrites every programme and music text: the older pair, then the old
// separator, become the new one. No record hook runs.
void SwitchDelimiter(QChar newSeparator, QChar oldSeparator);
void CheckDelimiterClick();

void DosShellClick();
void EditIniClick();
void EditTemplateClick();
void ToDoClick();
