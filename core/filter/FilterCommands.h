#pragma once
// The filter, selection, find and tag commands of the main window. The logic
// lives here; the window reaches it through thin handlers and answers the
// questions the commands ask of it (which page shows, which box had the
// focus, ...) through FilterUi.

#include "core/filter/Filter.h"

#include <QString>
#include <functional>
#include <optional>

class Dataset;
class Database;

// What the filter dialog gives on OK.
struct FilterAnswer {
    QString value;
    bool fullMatch = false;
    bool caseSensitive = false;
    bool nonBlank = false;
};
// The filter dialog: caption ("Filter" or "Multi-filter"), the field and the
// value to start from; false on Cancel.
using FilterDialogFn =
    std::function<bool(const QString &caption, const QString &field, const QString &value, FilterAnswer &answer)>;
// An empty function: every dialog is cancelled.
void SetFilterDialog(FilterDialogFn dialog);

// The main window as the commands see it. Every member has a default that
// does nothing, so that a window offers only what it has.
class FilterUi {
public:
    virtual ~FilterUi() = default;
    // ---- questions
    virtual bool EventsPageActive() const { return false; }
    virtual bool GridShowing(FilterTable) const { return false; }
    // The field of the grid's selected column, "" when none.
    virtual QString GridColumnField(FilterTable) const { return {}; }
    // The data-bound box that last had the focus (its field, or its name
    // when it has none); an empty name when there is none.
    virtual FocusControlInfo LastFocusedBox() const { return {}; }
    // The box of a field on a page ("Printed", "Called").
    virtual FocusControlInfo BoxOf(FilterTable table, const QString &field) const {
        FocusControlInfo f;
        f.table = table;
        f.name = field;
        f.field = field;
        return f;
    }
    virtual QString BandText() const { return {}; }
    // The Debug option.
    virtual bool DebugOption() const { return false; }
    // The rows of the shown programme.
    virtual QList<ProgrammeItem> ProgrammeRows() const { return {}; }

    // ---- actions
    virtual void HideMessagePanel() {}
    virtual void SetCaption(const QString &) {}
    virtual void ShowIndicator(FilterTable, bool /*shown*/, const QString & /*hint*/) {}
    virtual void PaintFocusControl(const FocusControlInfo &) {}
    virtual void PaintGridColumn(FilterTable, const QString & /*field*/) {}
    // Filtered controls and grid columns back to their own colours.
    virtual void ClearFilterColours(FilterTable) {}
    // The "Not" items show NotChecked; the tag pictures, hints and "Filter!"
    // show the tag state.
    virtual void UpdateNotItems() {}
    virtual void UpdateTagItems() {}
    virtual void SetBusy(bool) {}
    virtual void SetPagesVisible(bool) {}
    virtual void ShowPage(FilterTable) {}
    virtual void ShowEvent() {}
    virtual void ShowDance() {}
    // Grid (true) or form view of a page.
    virtual void SetGridView(FilterTable, bool /*grid*/) {}
    // The view an event list switches to.
    virtual void EventListView() {}
    virtual void SelectProgrammeRow(int) {}
    // Saves the shown event before a "Not" selection is dropped.
    virtual void SaveShownEvent() {}
    // The command in progress becomes the Session item.
    virtual void MarkSessionCommand() {}
};
// Installs the window (not owned); null: nothing is shown.
void SetFilterUi(FilterUi *ui);
FilterUi &CurrentFilterUi();

// The datasets the commands act on, with their filter hooks: the run's
// (core/database/Tables.h) unless others are bound (tests, benchmarks).
void BindFilterDatasets(Database *db, Dataset *events, Dataset *dances);
Dataset *FilterDataset(FilterTable table);
FilterTable FilterTableOf(const Dataset &dataset);
// The filter hook of both datasets: the rule of the dataset's table.
bool DatasetFilterRecord(Dataset &dataset);
// The rule for a definition on the row a dataset reads (its candidate in a
// filter pass, else its current record).
bool FilterRecord(const FilterDef &def, FilterTable table, Dataset &dataset, const FilterContext &context);

// The hints of the indicators, the texts that also go into the caption.
QString FilterHint(FilterTable table);

// ---- the filter ---------------------------------------------------------------

enum class FilterSender {
    None,            // a caller has put the value in place (exact, case-sensitive)
    Filter,          // "Filter" F4 and the Filter buttons
    Multi,           // "Multi-filter" Shift+F4 and the "+" buttons
    EventsIndicator, // clicking an indicator removes the filter
    DancesIndicator,
    Pending,
    Neglected,
    BandTunes
};
void FilterClick(FilterSender sender);
// Mode 1: off unless already off; 2: off, keeping a "Not" selection; 3: on.
void SetFilter(FilterTable table, int mode);
void ShowRecordCount(FilterTable table);

// ---- selections -----------------------------------------------------------------

void NotClick(NotSelection item);
void SessionClick();
void OddFormatClick();
void NeverClick();
void NeglectedClick();
// The dances marked DFilter = "Y" by a caller, under the Dances filter's own
// conditions (so a filter that was on is narrowed); the caption names the
// selection. The first dance is shown.
void ShowMarkedDances(const QString &caption);

// ---- finds ----------------------------------------------------------------------

struct EventChoice {
    QString org;
    QString dateText;
    QString event;
    // The record the choice stands for; 0: the first event of that Org and
    // Event on the day the date text names.
    qint64 bookmark = 0;
};
// The chooser of events; nothing when cancelled.
using EventChooserFn = std::function<std::optional<EventChoice>()>;
void SetEventChooser(EventChooserFn chooser);
void FindEventClick();
void FindDanceClick();

// ---- tags ------------------------------------------------------------------------

struct TagsMenuState {
    bool selectEnabled = false;
    QString deleteCaption;
    bool deleteEnabled = false;
    bool noSetEnabled = false;
    bool filterEnabled = false;
};
TagsMenuState TagsClick();
void SetTagSet(const QString &name);
void CreateSetClick();
// The chooser of a set's name; nothing when cancelled.
using TagSetChooserFn = std::function<std::optional<QString>(const QStringList &names)>;
void SetTagSetChooser(TagSetChooserFn chooser);
void SelectSetClick();
void DeleteSetClick();
void NoSetClick();
void TagFilterClick(bool checked);
// Adds and removes the shown dance.
void TagOffClick();
void TagOnClick();
// The shown dance's key, and whether it belongs to the current set.
QString ShownDanceTagKey();
bool ShownDanceTagged();

// Puts the commands' own state back (tests).
void ResetFilterCommands();
