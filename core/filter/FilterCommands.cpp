#include "core/filter/FilterCommands.h"

#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/filter/Tags.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"
#include "programme/text/ProgrammeText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <memory>

namespace {

constexpr int FilterHelp = 30400;
constexpr int NeglectedHelp = 55450;

FilterDialogFn g_dialog;
EventChooserFn g_eventChooser;
TagSetChooserFn g_tagSetChooser;
FilterUi *g_ui = nullptr;
Database *g_db = nullptr;
Dataset *g_events = nullptr;
Dataset *g_dances = nullptr;
QString g_eventsHint, g_dancesHint;
std::unique_ptr<RecordFilter> g_eventsRule, g_dancesRule;

QString &hintOf(FilterTable t) {
    return t == FilterTable::Events ? g_eventsHint : g_dancesHint;
}

std::unique_ptr<RecordFilter> &ruleOf(FilterTable t) {
    return t == FilterTable::Events ? g_eventsRule : g_dancesRule;
}

// The candidate row of a dataset as the rule reads it.
class DatasetRow : public FilterRow {
public:
    explicit DatasetRow(Dataset &d) : ds(d) {}
    int fieldIndex(const QString &name) const override {
        Field *f = ds.FindField(name);
        return f ? f->Index() : -1;
    }
    FilterFieldClass fieldClass(int index) const override {
        switch (ds.Fields(index).DataType()) {
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::Float:
            return FilterFieldClass::Numeric;
        case FieldType::DateTime:
            return FilterFieldClass::Date;
        case FieldType::Memo:
            return FilterFieldClass::Memo;
        case FieldType::Text:
            break;
        }
        return FilterFieldClass::Text;
    }
    QString text(int index) const override { return ds.Fields(index).AsString(); }
    qint64 rowid() const override { return ds.CandidateRowid(); }
    std::optional<double> number(int index) const override {
        const QVariant v = ds.Fields(index).Value();
        if (v.isNull() || !v.isValid()) return std::nullopt;
        if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty()) return std::nullopt;
        return v.toDouble();
    }

private:
    Dataset &ds;
};

// The run's database unless the commands were bound to another.
Database *filterDb() {
    return g_db ? g_db : &Conn;
}

bool isNumericField(FilterTable t, const QString &field) {
    Dataset *ds = FilterDataset(t);
    if (!ds) return false;
    Field *f = ds->FindField(field);
    return f && f->IsNumeric();
}

// The first condition whose value a numeric field cannot take.
bool numericValuesValid(FilterTable t, const FilterDef &def) {
    if (!def.HasConditions()) return true;
    for (int i = 1; i <= std::min(def.Count, FilterDef::MaxConditions); ++i) {
        const QString &v = def.Value[size_t(i)];
        if (def.Field[size_t(i)].isEmpty() || v.isEmpty() || v == PendingValue) continue;
        if (isNumericField(t, def.Field[size_t(i)]) && !ParseNumericValue(v, nullptr)) return false;
    }
    return true;
}

// Builds the rule from the definition and the state, and runs it over the rows.
void applyRule(FilterTable t) {
    Dataset *ds = FilterDataset(t);
    auto &rule = ruleOf(t);
    rule = std::make_unique<RecordFilter>(FilterOf(t), t, CurrentFilterContext(CurrentFilterUi().DebugOption()));
    if (!ds || !ds->active()) return;
    ds->FilterColumns = rule->Columns();
    // The dances' plain instruction texts are kept in their own catalogue,
    // and remembered by rowid while nothing changes it.
    const bool dances = t == FilterTable::Dances;
    PlainTextCache &texts = SharedPlainTextCache();
    const bool pass = dances && rule->ReadsInstructions();
    if (dances) texts.bindStore(ds->database());
    if (pass && texts.beginPass()) {
        // The rowid alone when the rule reads nothing else (an empty list
        // would read every column).
        ds->FilterColumns = rule->Columns(false);
        if (ds->FilterColumns.isEmpty()) ds->FilterColumns = QStringList{QStringLiteral("rowid")};
    }
    struct PassEnd {
        Dataset *ds;
        const RecordFilter *rule;
        PlainTextCache *texts;
        ~PassEnd() {
            if (!texts) return;
            texts->endPass();
            ds->FilterColumns = rule->Columns(); // later passes (requery) read the texts
        }
    } end{ds, rule.get(), pass ? &texts : nullptr};
    if (ds->Filtered())
        ds->Refilter();
    else
        ds->SetFiltered(true);
    if (pass) {
        end.texts = nullptr;
        texts.endPass();
        ds->FilterColumns = rule->Columns();
    }
    if (dances) texts.keep();
}

void filterOff(FilterTable t) {
    Dataset *ds = FilterDataset(t);
    if (ds) ds->SetFiltered(false);
}

// Runs a statement of the program's SQL dialect; the datasets follow.
int runSql(const QString &sql) {
    Database *db = filterDb();
    if (db == &Conn) return RunSQL(sql);
    WriteLog(sql);
    Query q(*db);
    q.setText(sql);
    return q.exec();
}

struct ShownEvent {
    qint64 rowid = 0;
    double date = NoDate;
    QString org;
};

ShownEvent shownEvent() {
    ShownEvent e;
    Dataset *events = FilterDataset(FilterTable::Events);
    if (!events->active() || events->IsEmpty()) return e;
    e.rowid = events->GetBookmark();
    const QVariant d = events->FieldByName(QStringLiteral("EDate")).Value();
    if (!d.isNull() && d.isValid()) e.date = d.toDouble();
    e.org = events->FieldByName(QStringLiteral("Org")).AsString();
    return e;
}

// Marks DFilter = "Y" on every dance whose title is not in the list of the
// titles danced in the window before the shown event.
void markNotSelection(NotSelection item) {
    Database *db = filterDb();
    if (!db->isOpen()) return;
    const int period = SettingInteger(QStringLiteral("System"), QStringLiteral("CPeriod"));
    const ShownEvent shown = shownEvent();
    const double today = DateToDayNumber(Today());
    const double reference = NotReferenceDate(shown.date, today);
    OrgName = shown.org;
    const double start = NotWindowStart(item, reference, period);

    QList<EventHistoryRow> events;
    int shownIndex = 0;
    {
        Statement s(db->handle(), QStringLiteral("SELECT rowid, EDate, Org, Programme FROM Events ORDER BY EDate, rowid"));
        while (s.step()) {
            const QVariant d = s.column(1);
            if (s.column(0).toLongLong() == shown.rowid) shownIndex = int(events.size());
            events.append({d.isNull() ? NoDate : d.toDouble(), s.columnText(2), s.columnText(3)});
        }
        if (shown.rowid == 0) shownIndex = int(events.size());
    }
    const QString list = NotTitleList(events, shownIndex, item, start, OrgName, ProgrammeSeparator);
    const QStringList titles = ListedTitles(list);
    const QString json = QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(titles)).toJson(QJsonDocument::Compact));
    {
        Batch batch(*db);
        Statement s(db->handle(),
                    QStringLiteral("UPDATE Dances SET DFilter = CASE WHEN Title COLLATE BINARY IN "
                                   "(SELECT value FROM json_each(?)) THEN '' ELSE 'Y' END"));
        s.bind(1, json);
        s.step();
        s.finalize();
        batch.commit();
    }
    db->tableChanged(QStringLiteral("Dances"));
}

// Puts a definition (and the focus control) back when a command that was
// adding a condition does not finish.
class ConditionGuard {
public:
    explicit ConditionGuard(FilterDef &d) : def(d), saved(d), focus(FilterFocus) {}
    ~ConditionGuard() {
        if (done) return;
        def = saved;
        FilterFocus = focus;
    }
    void keep() { done = true; }

private:
    FilterDef &def;
    FilterDef saved;
    FocusControlInfo focus;
    bool done = false;
};

class BusyScope {
public:
    BusyScope() { CurrentFilterUi().SetBusy(true); }
    ~BusyScope() { CurrentFilterUi().SetBusy(false); }
};

bool askNumber(const QString &prompt, int &n) {
    QString text = QString::number(n);
    if (!InputQuery(QStringLiteral("Quillary"), prompt, text)) return false;
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) {
        ShowMsg(QStringLiteral("Not a number!"));
        return false;
    }
    n = v;
    return true;
}

void tagSetChanged() {
    CurrentFilterUi().UpdateTagItems();
}

// A set that is gone or no longer current cannot restrict the dances.
void dropTagFilter() {
    if (!TagFilterOn) return;
    TagFilterOn = false;
    SetFilter(FilterTable::Dances, 1);
}

} // namespace

void SetFilterDialog(FilterDialogFn dialog) {
    g_dialog = std::move(dialog);
}

void SetEventChooser(EventChooserFn chooser) {
    g_eventChooser = std::move(chooser);
}

void SetTagSetChooser(TagSetChooserFn chooser) {
    g_tagSetChooser = std::move(chooser);
}

void SetFilterUi(FilterUi *ui) {
    g_ui = ui;
}

FilterUi &CurrentFilterUi() {
    static FilterUi none;
    return g_ui ? *g_ui : none;
}

void BindFilterDatasets(Database *db, Dataset *events, Dataset *dances) {
    g_db = db;
    g_events = events;
    g_dances = dances;
    for (Dataset *ds : {events, dances})
        if (ds) ds->OnFilterRecord = DatasetFilterRecord;
}

Dataset *FilterDataset(FilterTable table) {
    if (table == FilterTable::Events) return g_events ? g_events : &EventsData;
    return g_dances ? g_dances : &DancesData;
}

FilterTable FilterTableOf(const Dataset &dataset) {
    return SameText(dataset.tableName(), QStringLiteral("Events")) ? FilterTable::Events : FilterTable::Dances;
}

bool FilterRecord(const FilterDef &def, FilterTable table, Dataset &dataset, const FilterContext &context) {
    return RecordFilter(def, table, context).Accept(DatasetRow(dataset));
}

bool DatasetFilterRecord(Dataset &dataset) {
    const auto &rule = ruleOf(FilterTableOf(dataset));
    if (!rule) return true;
    return rule->Accept(DatasetRow(dataset));
}

QString FilterHint(FilterTable table) {
    return hintOf(table);
}

void ResetFilterCommands() {
    g_dialog = {};
    g_eventChooser = {};
    g_tagSetChooser = {};
    g_ui = nullptr;
    g_db = nullptr;
    g_events = g_dances = nullptr;
    g_eventsHint.clear();
    g_dancesHint.clear();
    g_eventsRule.reset();
    g_dancesRule.reset();
}

// ---- the filter ---------------------------------------------------------------

namespace {

// The filter goes off: the caption no longer names it.
void filterGoneOff(FilterTable t) {
    CurrentFilterUi().ShowIndicator(t, false, QString());
    filterOff(t);
    ShowRecordCount(t);
}

void setFilter(FilterTable t, int mode) {
    Dataset *ds = FilterDataset(t);
    FilterUi &ui = CurrentFilterUi();
    FilterDef &def = FilterOf(t);
    const bool dances = t == FilterTable::Dances;
    if (mode == 1 && !(ds && ds->Filtered())) return;
    hintOf(t).clear();
    ShownCountOf(t) = 0;
    if (mode != 3) {
        WriteLog(QStringLiteral("Set filter off"));
        if (dances && mode == 1) {
            NotChecked = NotSelection::None;
            DFilterOn = false;
            TagFilterOn = false;
            ui.UpdateNotItems();
            ui.UpdateTagItems();
        }
        // A "Not" selection stays under a new condition, counted again from
        // the event now shown.
        if (dances && mode == 2 && DFilterOn && NotChecked != NotSelection::None) markNotSelection(NotChecked);
        ui.ClearFilterColours(t);
        def.Count = 1;
        def.Field[1].clear();
        if (!dances) {
            SessionSelection = false;
            filterGoneOff(t);
            return;
        }
        if (NotChecked == NotSelection::None) {
            DFilterOn = false;
            def.Count = 0;
            filterGoneOff(t);
            return;
        }
    }
    WriteLog(QStringLiteral("Set filter"));
    if (!numericValuesValid(t, def)) {
        // Neither definition is built on further.
        EventsFilter.Count = 0;
        DancesFilter.Count = 0;
        ShowMsg(QStringLiteral("Non-numeric value specified."));
        filterGoneOff(t);
        return;
    }
    if (!FilterFocus.name.isEmpty() && FilterFocus.table == t && !SameText(FilterFocus.field, QStringLiteral("Programme")))
        ui.PaintFocusControl(FilterFocus);
    DescriptionInput in;
    in.table = t;
    in.notItem = NotChecked;
    in.orgName = OrgName;
    in.tagDescription = dances ? TagDescription(TagFilterOn, TagSetName) : QString();
    in.sessionSelection = SessionSelection;
    in.separator = ProgrammeSeparator;
    in.isNumeric = [t](const QString &f) { return isNumericField(t, f); };
    hintOf(t) = FilterDescription(def, in);
    ui.ShowIndicator(t, true, hintOf(t));
    WriteLog(hintOf(t));
    applyRule(t);
    if (ds && ds->active() && !ds->Filtered()) {
        // The rule failed on a row: filtering went off, so does the indicator.
        hintOf(t).clear();
        ui.ShowIndicator(t, false, QString());
    }
}

} // namespace

void SetFilter(FilterTable t, int mode) {
    // The filter may move the Dances record: the dance it lands on is shown
    // whole (its text and music, not only the bound boxes).
    Dataset *ds = FilterDataset(t);
    const bool dances = t == FilterTable::Dances && ds && ds->active();
    const Dataset::Bookmark before = dances ? ds->GetBookmark() : 0;
    setFilter(t, mode);
    if (dances && ds->active() && ds->GetBookmark() != before) CurrentFilterUi().ShowDance();
}

void ShowRecordCount(FilterTable t) {
    Dataset *ds = FilterDataset(t);
    int &count = ShownCountOf(t);
    const bool filtered = ds && ds->Filtered();
    // Counted afresh each time: records come and go (an import, a copy, a
    // delete) without the filter changing.
    if (ds && ds->active()) count = filtered ? ds->VisibleCount() : ds->RecordCount();
    CurrentFilterUi().SetCaption(RecordCountCaption(count, filtered, hintOf(t)));
}

void FilterClick(FilterSender sender) {
    FilterUi &ui = CurrentFilterUi();
    ui.HideMessagePanel();
    const FilterTable t = ui.EventsPageActive() ? FilterTable::Events : FilterTable::Dances;
    WriteLog(t == FilterTable::Events ? QStringLiteral("Filter Events") : QStringLiteral("Filter Dances"));
    Dataset *ds = FilterDataset(t);
    FilterDef &def = FilterOf(t);
    const bool multi = sender == FilterSender::Multi && def.HasConditions();
    if (ds && ds->State() == DatasetState::Insert)
        AbortMsg(QStringLiteral("You cannot set a filter while creating a new record."));
    ui.SetCaption(QStringLiteral("Quillary"));

    auto finish = [&ui, t]() {
        ShowRecordCount(t);
        if (t == FilterTable::Dances) ui.ShowDance();
        const int shown = ShownCountOf(t);
        Dataset *d = FilterDataset(t);
        if (shown < 2 && ui.GridShowing(t))
            ui.SetGridView(t, false);
        else if (shown >= 2 && t == FilterTable::Dances && !ui.GridShowing(t) && d && d->Filtered())
            ui.SetGridView(t, true);
        ui.SetPagesVisible(true);
    };

    if (sender == FilterSender::DancesIndicator) {
        SetFilter(FilterTable::Dances, FilterOf(FilterTable::Dances).HasConditions() ? 2 : 1);
        finish();
        return;
    }
    if (multi) {
        if (def.Count >= FilterDef::MaxConditions) AbortMsg(QStringLiteral("Too many filters"));
    } else {
        SetFilter(t, 2);
        ui.SetCaption(QStringLiteral("Quillary")); // the count comes with the new condition
    }
    ConditionGuard guard(def);
    if (multi) {
        ++def.Count;
    } else {
        def.Count = 1;
    }
    if (sender == FilterSender::EventsIndicator) {
        def.Count = 0;
        guard.keep();
        finish();
        return;
    }
    const size_t i = size_t(def.Count);
    def.CaseSensitive[i] = sender == FilterSender::None;
    def.FullMatch[i] = sender == FilterSender::None;
    def.NonBlank[i] = false;

    QString field;
    if (sender == FilterSender::Pending) {
        field = QStringLiteral("Printed");
        FilterFocus = ui.BoxOf(FilterTable::Dances, field);
        FilterFocus.checkBox = true;
    } else if (sender == FilterSender::Neglected) {
        field = QStringLiteral("Called");
        FilterFocus = ui.BoxOf(FilterTable::Dances, field);
    } else if (sender == FilterSender::BandTunes) {
        field = QStringLiteral("Band");
        FilterFocus = ui.BoxOf(t, field);
    } else if (ui.GridShowing(t)) {
        field = ui.GridColumnField(t);
        FilterFocus = FocusControlInfo{t, QString(), field, false};
    } else {
        const FocusControlInfo box = ui.LastFocusedBox();
        field = box.field.isEmpty() ? box.name : box.field;
        FilterFocus = box;
        FilterFocus.table = t;
    }
    if (field.isEmpty()) AbortMsg(QStringLiteral("Sorry, you cannot filter on this."));

    QString value = def.Value[i];
    switch (sender) {
    case FilterSender::None:
        break;
    case FilterSender::BandTunes:
        value = ui.BandText();
        break;
    case FilterSender::Pending:
        value = PendingValue;
        DFilterOn = true;
        break;
    case FilterSender::Neglected:
        value = '>' + QString::number(SettingInteger(QStringLiteral("System"), QStringLiteral("CTimes")));
        break;
    default:
        if (IsYesNoField(field)) {
            if (SameText(field, QStringLiteral("IsRec")))
                AbortMsg(QStringLiteral("You cannot filter on this derived field.\rInstead filter on Band containing "
                                        "\"record\"."));
            if (SameText(field, QStringLiteral("Callit"))) {
                value = QStringLiteral("Y");
            } else {
                const int r = DBox3(QStringLiteral("Select value for... ") + field, QStringLiteral("&Checked"),
                                    QStringLiteral("&Blank"), FilterHelp, QStringLiteral("Cancel"));
                if (r == ResultCancel) return;
                value = r == ResultYes ? QStringLiteral("Y") : QString();
            }
        } else {
            Field *f = ds ? ds->FindField(field) : nullptr;
            const QString start = (f && f->DataType() != FieldType::Memo && !ds->IsEmpty()) ? f->AsString() : QString();
            FilterAnswer answer;
            const QString caption = multi ? QStringLiteral("Multi-filter") : QStringLiteral("Filter");
            if (!g_dialog || !g_dialog(caption, field, start, answer)) return;
            value = answer.value;
            def.FullMatch[i] = answer.fullMatch;
            def.CaseSensitive[i] = answer.caseSensitive;
            def.NonBlank[i] = answer.nonBlank;
        }
        break;
    }
    def.Field[i] = field;
    def.Value[i] = value;
    if (sender != FilterSender::Pending) {
        Field *f = ds ? ds->FindField(field) : nullptr;
        const QString bare = value.startsWith(QLatin1String("<>")) ? value.mid(2) : value;
        if (f && f->Size() > 0 && f->DataType() == FieldType::Text && bare.size() > f->Size()) {
            ShowMsg(QStringLiteral("Search value is longer than field"));
            return;
        }
        if (f && f->IsNumeric() && !value.isEmpty() && !ParseNumericValue(value, nullptr)) {
            ShowMsg(QStringLiteral("Non-numeric value specified."));
            return;
        }
    }
    guard.keep();
    {
        BusyScope busy;
        ui.SetPagesVisible(false);
        if (ui.GridShowing(t)) ui.PaintGridColumn(t, field);
        SetFilter(t, 3);
        if (t == FilterTable::Events) {
            ui.ShowEvent();
            ui.EventListView();
        }
    }
    finish();
}

// ---- selections -----------------------------------------------------------------

void NotClick(NotSelection item) {
    FilterUi &ui = CurrentFilterUi();
    WriteLog(NotItemName(item));
    if (NotChecked == item) {
        NotChecked = NotSelection::None;
        ui.UpdateNotItems();
        ui.SaveShownEvent();
        SetFilter(FilterTable::Dances, 1);
        DFilterOn = false;
        ui.ShowEvent();
        return;
    }
    NotChecked = NotSelection::None;
    ui.UpdateNotItems();
    SetFilter(FilterTable::Dances, 1);
    markNotSelection(item);
    NotChecked = item;
    ui.UpdateNotItems();
    DFilterOn = true;
    SetFilter(FilterTable::Dances, 3);
    ShowRecordCount(FilterTable::Dances);
}

void SessionClick() {
    QString text;
    if (!InputQuery(QStringLiteral("Quillary"), QStringLiteral("Enter part of session name"), text)) return;
    FilterUi &ui = CurrentFilterUi();
    SetFilter(FilterTable::Events, 1);
    QList<SessionEventRow> events;
    if (filterDb()->isOpen()) {
        Statement s(filterDb()->handle(),
                    QStringLiteral("SELECT Org, DateText(EDate), Event, Programme FROM Events ORDER BY rowid"));
        while (s.step())
            events.append({s.columnText(0), s.columnText(1), s.columnText(2), s.columnText(3)});
    }
    SessionKeyList = BuildSessionKeyList(events, text, ProgrammeSeparator, &SessionKeys);
    ui.MarkSessionCommand();
    SessionSelection = true;
    SetFilter(FilterTable::Events, 3);
    ShowRecordCount(FilterTable::Events);
    ui.ShowEvent();
}

void OddFormatClick() {
    FilterUi &ui = CurrentFilterUi();
    ui.ShowPage(FilterTable::Dances);
    SetFilter(FilterTable::Dances, 1);
    runSql(QStringLiteral("Update Dances Set DFilter = Null"));
    QList<FormatCount> counts;
    {
        Query q(*filterDb());
        q.setText(QStringLiteral("Select Distinct Format, Count(Format) as C from Dances Group by Format"));
        q.open();
        while (!q.eof()) {
            counts.append({q.fields(0).AsString(), q.fields(1).AsInteger()});
            q.next();
        }
    }
    const QString statement = OddFormatStatement(counts);
    if (!statement.isEmpty()) runSql(statement);
    DFilterOn = true;
    FilterDef &def = DancesFilter;
    def = FilterDef{};
    def.Field[1] = QStringLiteral("Format");
    def.Value[1] = OddFormatMarker;
    def.Count = 1;
    FilterFocus = ui.BoxOf(FilterTable::Dances, QStringLiteral("Format"));
    SetFilter(FilterTable::Dances, 3);
    ShowRecordCount(FilterTable::Dances);
    ui.SetGridView(FilterTable::Dances, true);
}

void NeverClick() {
    FilterUi &ui = CurrentFilterUi();
    ui.ShowPage(FilterTable::Dances);
    SetFilter(FilterTable::Dances, 1);
    FilterDef &def = DancesFilter;
    def = FilterDef{};
    def.Field[1] = QStringLiteral("Called");
    def.Count = 1;
    FilterFocus = ui.BoxOf(FilterTable::Dances, QStringLiteral("Called"));
    SetFilter(FilterTable::Dances, 3);
    ui.SetGridView(FilterTable::Dances, true);
    ShowRecordCount(FilterTable::Dances);
}

void NeglectedClick() {
    int times = SettingInteger(QStringLiteral("System"), QStringLiteral("CTimes"));
    int period = SettingInteger(QStringLiteral("System"), QStringLiteral("CPeriod"));
    const int r = DBox3(QStringLiteral("Show dances which have been called more than \r") + QString::number(times) +
                            QStringLiteral(" times but not called in the last ") + QString::number(period) +
                            QStringLiteral(" months?"),
                        QStringLiteral("&Show"), QStringLiteral("&Change"), NeglectedHelp, QStringLiteral("Cancel"));
    if (r == ResultCancel) return;
    if (r == ResultNo) {
        if (!askNumber(QStringLiteral("Times called"), times)) return;
        if (!askNumber(QStringLiteral("Period"), period)) return;
        IniFile->WriteInteger(QStringLiteral("System"), QStringLiteral("CTimes"), times);
        IniFile->WriteInteger(QStringLiteral("System"), QStringLiteral("CPeriod"), period);
    }
    // "Not recent" toggles: apply it only when it is not already on.
    if (NotChecked != NotSelection::Recent) NotClick(NotSelection::Recent);
    CurrentFilterUi().ShowPage(FilterTable::Dances);
    FilterClick(FilterSender::Neglected);
}

void ShowMarkedDances(const QString &caption) {
    FilterUi &ui = CurrentFilterUi();
    ui.ShowPage(FilterTable::Dances);
    DFilterOn = true;
    SetFilter(FilterTable::Dances, 3);
    QString &hint = hintOf(FilterTable::Dances);
    hint = DancesFilter.HasConditions() && !hint.isEmpty() ? hint + QStringLiteral(", ") + caption : caption;
    ui.ShowIndicator(FilterTable::Dances, true, hint);
    if (Dataset *ds = FilterDataset(FilterTable::Dances); ds && ds->active()) ds->First();
    ShowRecordCount(FilterTable::Dances);
    ui.ShowDance();
}

// ---- finds ----------------------------------------------------------------------

void FindEventClick() {
    FilterUi &ui = CurrentFilterUi();
    ui.ShowPage(FilterTable::Events);
    WriteLog(QStringLiteral("Find Event"));
    Dataset *events = FilterDataset(FilterTable::Events);
    if (!g_eventChooser || !events->active()) return;
    const std::optional<EventChoice> choice = g_eventChooser();
    if (!choice) return;
    // Two events of one Org and Event can share a day: the chosen record
    // is the one to show.
    if (choice->bookmark > 0 && events->BookmarkValid(choice->bookmark)) {
        events->CheckBrowseMode();
        events->GotoBookmark(choice->bookmark);
    } else {
        const double date = ParseDate(choice->dateText);
        if (date == 0) return;
        if (!SeekEventDay(*events, date, EventDayMatch{choice->org, choice->event})) return;
    }
    ui.ShowEvent();
    ui.SetGridView(FilterTable::Events, false);
}

void FindDanceClick() {
    WriteLog(QStringLiteral("Find Dance"));
    const QString text = InputBox(QStringLiteral("Enter part of dance in this event"), QString(), QString());
    if (text.isEmpty()) return;
    FilterUi &ui = CurrentFilterUi();
    const int row = FindDanceRowByText(ui.ProgrammeRows(), text);
    if (row >= 0) ui.SelectProgrammeRow(row);
}

// ---- tags ------------------------------------------------------------------------

TagsMenuState TagsClick() {
    TagsMenuState s;
    s.selectEnabled = !TagSetNames().isEmpty();
    s.deleteCaption = QStringLiteral("Delete set ") + TagSetName;
    const bool current = !TagSetName.isEmpty();
    s.deleteEnabled = current;
    s.noSetEnabled = current;
    s.filterEnabled = current;
    return s;
}

void SetTagSet(const QString &name) {
    TagSetName = name;
    LoadTagSet();
    tagSetChanged();
    SetFilter(FilterTable::Dances, 1);
    TagFilterOn = false;
    tagSetChanged();
    if (name.isEmpty())
        ShowMsg(QStringLiteral("No current Tag Set."));
    else
        ShowMsg(QStringLiteral("Tag Set is now ") + name + QStringLiteral(".\rDances tagged: ") +
                QString::number(TaggedCount));
}

void CreateSetClick() {
    const QString name = InputBox(QStringLiteral("Quillary"), QStringLiteral("Enter name of new set"), QString()).trimmed();
    if (name.isEmpty()) return;
    const QString fault = TagSetNameFault(name);
    if (!fault.isEmpty()) {
        ShowMsg(fault);
        return;
    }
    if (TagSetExists(name) && !YesNo(name + QStringLiteral("\rSet already exists.\rOpen this set?"))) return;
    SetTagSet(name);
    // The placeholder keeps an empty set's section; a set with tags needs none.
    if (IniFile->ReadSection(TagSetSection(name)).isEmpty()) WriteTagPlaceholder(name);
    CurrentFilterUi().ShowDance();
}

void SelectSetClick() {
    if (!g_tagSetChooser) return;
    const std::optional<QString> chosen = g_tagSetChooser(TagSetNames());
    if (chosen) SetTagSet(*chosen);
    CurrentFilterUi().ShowDance();
}

void DeleteSetClick() {
    if (TagSetName.isEmpty()) return;
    if (!YesNo(TagSetName + QStringLiteral("\rDances tagged: ") + QString::number(TaggedCount) +
               QStringLiteral("\rAre you sure you want to delete these tags?")))
        return;
    EraseTagSet(TagSetName);
    NoSetClick();
}

void NoSetClick() {
    TagSetName.clear();
    LoadTagSet();
    dropTagFilter();
    g_dancesHint.clear();
    CurrentFilterUi().ShowIndicator(FilterTable::Dances, FilterDataset(FilterTable::Dances) &&
                                                             FilterDataset(FilterTable::Dances)->Filtered(),
                                    QString());
    tagSetChanged();
}

void TagFilterClick(bool checked) {
    TagFilterOn = checked && !TagSetName.isEmpty();
    if (TagFilterOn) {
        SetFilter(FilterTable::Dances, 3);
        ShowRecordCount(FilterTable::Dances);
    } else {
        SetFilter(FilterTable::Dances, 1);
    }
    tagSetChanged();
    CurrentFilterUi().ShowDance();
}

QString ShownDanceTagKey() {
    Dataset *dances = FilterDataset(FilterTable::Dances);
    if (!dances->active() || dances->IsEmpty()) return {};
    return TagKey(dances->FieldByName(QStringLiteral("Title")).AsString(),
                  dances->FieldByName(QStringLiteral("Format")).AsString(),
                  dances->FieldByName(QStringLiteral("Style")).AsString());
}

bool ShownDanceTagged() {
    const QString key = ShownDanceTagKey();
    return !TagSetName.isEmpty() && !key.isEmpty() && IsTagged(key);
}

void TagOffClick() {
    const QString key = ShownDanceTagKey();
    if (TagSetName.isEmpty() || key.isEmpty()) return;
    AddTag(key);
    tagSetChanged();
}

void TagOnClick() {
    const QString key = ShownDanceTagKey();
    if (TagSetName.isEmpty() || key.isEmpty()) return;
    RemoveTag(key);
    tagSetChanged();
}
