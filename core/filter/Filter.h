#pragma once
// The record filter of the Events and Dances tables: the two definitions and
// the state around them, the rule that admits a row (the datasets' filter
// hook), the descriptions shown in the indicators' hints and the caption,
// and the pure parts of the ready-made selections ("Not" lists, session keys,
// odd formats) and of the finds.

#include "core/filter/FilterDef.h"
#include "platform/sqlite/Database.h"
#include "programme/text/ProgrammeItem.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <stdexcept>

enum class FilterTable { Events, Dances };

// The three "Not" selections of the Dances table; at most one is checked.
enum class NotSelection { None, Recent, This, Both };

// Same conditions, flags and count.
bool operator==(const FilterDef &a, const FilterDef &b);

// ---- state kept for the run ---------------------------------------------------

extern FilterDef EventsFilter;
extern FilterDef DancesFilter;
// While set, the Dances filter also requires DFilter = "Y".
extern bool DFilterOn;
// The organisation of the event shown when the last "Not" selection was made.
extern QString OrgName;
// The checked "Not" item.
extern NotSelection NotChecked;
// Each dataset's count of shown records, 0 = unknown.
extern int EventsShownCount;
extern int DancesShownCount;

// The control whose field was last filtered on; painted in the filter colour.
struct FocusControlInfo {
    FilterTable table = FilterTable::Dances;
    QString name;  // objectName of the control (or the grid)
    QString field; // its data field
    bool checkBox = false;
};
extern FocusControlInfo FilterFocus;

// The Session selection: the events whose programmes hold a matching heading.
// The key list is "|" followed by Org "|" date text "|" Event "|" for each;
// SessionKeys holds each "|Org|date text|Event|" folded. SessionSelection is
// on while this selection is the Events filter.
extern QString SessionKeyList;
extern QSet<QString> SessionKeys;
extern bool SessionSelection;

// Puts every filter state back to its start (tests, a new database).
void ResetFilterState();

FilterDef &FilterOf(FilterTable table);
int &ShownCountOf(FilterTable table);

// ---- constants ------------------------------------------------------------------

inline const QString OddFormatMarker = QStringLiteral("[Odd format]");
inline const QString PendingValue = QStringLiteral("Pending");

// The fields offered as Checked/Blank instead of a typed value.
bool IsYesNoField(const QString &field);

// ---- the rule ---------------------------------------------------------------------

enum class FilterFieldClass { Text, Memo, Numeric, Date };

// A read-only view of the candidate row.
class FilterRow {
public:
    virtual ~FilterRow() = default;
    // The field's index by name, ignoring case; -1 when the row has none.
    virtual int fieldIndex(const QString &name) const = 0;
    virtual FilterFieldClass fieldClass(int index) const = 0;
    // The field as shown: "" when blank, a date as its display text.
    virtual QString text(int index) const = 0;
    // A numeric field's value; nothing when blank.
    virtual std::optional<double> number(int index) const = 0;
    // The row's rowid in its table; 0 when it has none.
    virtual qint64 rowid() const { return 0; }
};

// The plain text of stored instructions (RTF), as the filter searches it.
QString InstructionPlainText(const QString &rtf);

// Plain text kept per stored text, so that a second switch of an
// Instructions condition does not convert the same RTF again. Texts met one
// at a time are found by the stored text itself (two hashes and its length),
// so an edit made anywhere, by this program or another, simply misses.
// Bound to a catalogue, the cache also keeps each dance's text in the file,
// by rowid beside a digest of the stored RTF it was made from: the first
// switch after a start reads the stored texts raw, and takes the kept text
// of every dance whose digest still matches instead of converting it again.
// The table of the catalogue that keeps the converted texts: a cache only,
// which a copy given to others (the release) leaves out.
inline constexpr const char *InstructionTextsTable = "InstructionTexts";

class PlainTextCache {
public:
    using Converter = std::function<QString(const QString &)>;
    explicit PlainTextCache(Converter convert = InstructionPlainText);
    QString plain(const QString &stored);
    // The plain text folded by UpperCaseDE, kept beside it.
    QString folded(const QString &stored);
    // Forgets what is held in memory (the file's texts are read again).
    void clear();
    int size() const { return int(entries.size()); }
    int conversions() const { return converted; }
    // The catalogue whose kept texts are read on first use; null for none.
    void bindStore(Database *db);
    // Writes the texts converted since the last call into the catalogue.
    // A failure (a lock held elsewhere) loses nothing: they are converted
    // again next time.
    void keep();

    // A pass of the rule over the Dances table. BeginPass makes every
    // dance's text current by rowid, reading the stored texts again unless
    // nothing can have changed them since the last pass (the same
    // connection, no change made on it, no commit by another connection, no
    // schema change nor VACUUM). It answers false, and the pass converts
    // what it meets, while a transaction is open (what it wrote could still
    // be undone) or when the texts cannot be read.
    bool beginPass();
    void endPass();
    // Whether the texts held by rowid are current without reading anything.
    bool rowsCurrent() const;
    // The instructions and footer joined, folded by UpperCaseDE or plain;
    // false when the dance is not held or the pass may not use them.
    bool rowText(qint64 rowid, bool fold, QString *text);
    // The same from the stored texts, converted or found by content.
    QString rowText(qint64 rowid, const QString &instructions, const QString &footer, bool fold);

    // A digest of a dance's stored instructions and footer (the bytes as
    // the file holds them): what a kept text is checked against.
    struct Digest {
        quint64 h1 = 0, h2 = 0;
        qint64 bytes = -1;
        bool operator==(const Digest &) const = default;
    };
    static Digest DigestOf(const char *instructions, qsizetype instructionBytes, const char *footer,
                           qsizetype footerBytes);

private:
    struct Key {
        size_t h1, h2;
        qsizetype length;
        bool operator==(const Key &) const = default;
    };
    struct Entry {
        QString plain, folded;
        bool hasFolded = false;
    };
    struct Row {
        Digest digest;
        Entry text;
        quint32 seen = 0; // the refresh that last met the dance
    };
    friend size_t qHash(const Key &k, size_t seed) { return qHashMulti(seed, k.h1, k.h2, k.length); }
    using Stamp = Database::ChangeStamp;
    Entry &entry(const QString &stored, Key *key = nullptr);
    static QString text(Entry &e, bool fold);
    Stamp currentStamp() const;
    bool heldRowsUsable(const Stamp &now) const;
    bool refreshRows();
    bool refreshWritten();
    void convertInto(Row &row, const char *instructions, qsizetype instructionBytes,
                     const char *footer, qsizetype footerBytes);
    void noteWrite(Database *db, const char *table, qint64 rowid);
    QHash<qint64, Row> rows; // every dance by rowid, after a pass began
    Stamp rowsStamp, passStamp;
    bool rowsValid = false, passTrusted = false;
    quint32 refreshes = 0;
    // Dances written through the store's own connection since the rows were
    // made current; past a limit the whole table is read again instead.
    QSet<qint64> written;
    bool writtenOverflow = false;
    Converter convert;
    QHash<Key, Entry> entries; // texts met one at a time
    QList<qint64> fresh;       // rows converted, not yet kept in the file
    Database *store = nullptr;
    QString storePath;
    bool storeRead = false; // the file's kept texts were read since the last clear
    int converted = 0;
};
// The cache the datasets' hooks use.
PlainTextCache &SharedPlainTextCache();

// What the rule needs besides the definition and the row.
struct FilterContext {
    bool Debug = false;     // the Debug option: Instructions searched as stored
    bool DFilterOn = false;
    bool TagFilter = false; // "Filter!" checked
    QString TagSetName;     // the current tag set, "" for none
    const QSet<QString> *TagKeys = nullptr; // folded keys of the current set
    bool SessionSelection = false;
    const QSet<QString> *SessionKeys = nullptr;
    PlainTextCache *PlainText = nullptr; // null: convert every time
};
// The context from the state above and the tag set (core/filter/Tags.h).
FilterContext CurrentFilterContext(bool debug);

// A value on a numeric field that is not one of its forms.
class FilterValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A numeric condition: "<" x, "<=" x, ">" x, ">=" x, "<>" x or a bare x, x
// a decimal number with an optional sign (blanks around allowed).
struct NumericTest {
    enum Op { Eq, Ne, Lt, Le, Gt, Ge } op = Eq;
    double x = 0;
    QString opText;     // the operator as typed, "" for a bare number
    QString numberText; // x as typed
};
// False when the value is not one of the forms.
bool ParseNumericValue(const QString &value, NumericTest *test);

// The rule prepared for one definition: field look-ups and folded values are
// worked out once, so that a switch over many rows only compares.
class RecordFilter {
public:
    RecordFilter(const FilterDef &def, FilterTable table, const FilterContext &context);
    // Whether the row is admitted. A value on a numeric field that is not a
    // number throws FilterValueError; a field the row lacks throws
    // std::runtime_error. Never shows a box.
    bool Accept(const FilterRow &row) const;
    // The columns Accept reads; without the instructions and footer that an
    // Instructions condition reads when the texts are remembered by rowid.
    QStringList Columns(bool instructionTexts = true) const;
    bool ReadsInstructions() const;

private:
    struct Condition {
        QString field;
        QString value;  // folded unless case-sensitive, "<>" removed
        bool negate = false;
        bool blankTest = false; // empty value or "Pending"
        bool nonBlank = false;
        bool fullMatch = false;
        bool caseSensitive = false;
        bool instructions = false;
        bool numericParsed = false;
        bool numericBad = false;
        NumericTest numeric;
        mutable int index = -2, footer = -2; // -2: not yet looked up
    };
    bool passes(const Condition &c, const FilterRow &row) const;
    int lookUp(const FilterRow &row, const QString &name, int &cached) const;

    FilterTable table;
    FilterContext context;
    bool conditionsOn = false;
    bool oddFormat = false;
    QList<Condition> conditions;
    mutable int dfilterIndex = -2, titleIndex = -2, formatIndex = -2, styleIndex = -2;
    mutable int orgIndex = -2, dateIndex = -2, eventIndex = -2;
};

// The rule for one row: RecordFilter(def, table, context).Accept(row).
bool FilterRecord(const FilterDef &def, FilterTable table, const FilterRow &row,
                  const FilterContext &context);

// The value of a condition on "Instructions" for the dance display's
// highlight; "" when there is none (or it is negated).
QString InstructionsHighlightValue(const FilterDef &def);

// ---- descriptions ---------------------------------------------------------------

struct DescriptionInput {
    FilterTable table = FilterTable::Dances;
    NotSelection notItem = NotSelection::None;
    QString orgName;
    QString tagDescription; // "" when the tag set does not restrict
    bool sessionSelection = false;
    QChar separator;
    std::function<bool(const QString &field)> isNumeric;
};
// The text for the indicator's hint. A condition with NonBlank has its stored
// value emptied, as the rule then tests for a non-blank field.
QString FilterDescription(FilterDef &def, const DescriptionInput &input);
// "Dances are in Tag Set " + name while "Filter!" restricts to a set, else "".
QString TagDescription(bool tagFilter, const QString &setName);
// The main window's caption with the shown count, and the hint while filtered.
QString RecordCountCaption(int count, bool filtered, const QString &hint);

// ---- "Not" selections ----------------------------------------------------------

struct EventHistoryRow {
    double date = 0;
    QString org;
    QString programme;
};
// The date the window is counted back from: the shown event's date, or today
// for an event without one.
double NotReferenceDate(double shownDate, double today);
// The window start: reference - period x 30 days ("Not recent"), reference -
// 1475 days ("Not both"), the beginning of time ("Not this Org").
double NotWindowStart(NotSelection item, double reference, int periodMonths);
// The titles danced at the events before the shown one (events in table
// order, shown = the shown event's index), going back while an event's date
// is after the window start: "|T1|...|Tn|", each title once. "Not this Org"
// and "Not both" count only events of org with a real date.
QString NotTitleList(const QList<EventHistoryRow> &events, int shown, NotSelection item,
                     double windowStart, const QString &org, QChar sep);
// Whether a title is in such a list (exact case).
bool TitleListed(const QString &list, const QString &title);
// The titles of a list, in order.
QStringList ListedTitles(const QString &list);
// The log and menu name of an item: "Not recent", "Not this Org", "Not both".
QString NotItemName(NotSelection item);

// ---- Session selection --------------------------------------------------------

struct SessionEventRow {
    QString org;
    QString dateText;
    QString event;
    QString programme;
};
// "|" + Org + "|" + date text + "|" + Event + "|".
QString EventTagKey(const QString &org, const QString &dateText, const QString &event);
// Whether a programme holds a heading containing the text, ignoring case.
bool ProgrammeHasHeading(const QString &programme, const QString &text, QChar sep);
// The key list of the events with such a heading; keys also gets the folded
// keys when given.
QString BuildSessionKeyList(const QList<SessionEventRow> &events, const QString &text, QChar sep,
                            QSet<QString> *keys);

// ---- odd formats --------------------------------------------------------------

struct FormatCount {
    QString format;
    int count = 0;
};
// Formats with fewer dances than this are odd.
inline constexpr int OddFormatLimit = 20;
// The statement that marks DFilter = "Y" on the dances of the odd formats,
// Scottish styles left out; "" when no format is odd.
QString OddFormatStatement(const QList<FormatCount> &counts);

// ---- finds --------------------------------------------------------------------

// The first dance row whose title (as stored or as shown) contains the text,
// ignoring case; -1 when none.
int FindDanceRowByText(const QList<ProgrammeItem> &rows, const QString &text);
