#include "core/filter/Filter.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/TextRoutines.h"
#include "core/filter/Tags.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/JetSql.h"

#include <QRegularExpression>
#include <limits>

FilterDef EventsFilter;
FilterDef DancesFilter;
bool DFilterOn = false;
QString OrgName;
NotSelection NotChecked = NotSelection::None;
int EventsShownCount = 0;
int DancesShownCount = 0;
FocusControlInfo FilterFocus;
QString SessionKeyList;
QSet<QString> SessionKeys;
bool SessionSelection = false;

void ResetFilterState() {
    EventsFilter = FilterDef{};
    DancesFilter = FilterDef{};
    DFilterOn = false;
    OrgName.clear();
    NotChecked = NotSelection::None;
    EventsShownCount = 0;
    DancesShownCount = 0;
    FilterFocus = FocusControlInfo{};
    SessionKeyList.clear();
    SessionKeys.clear();
    SessionSelection = false;
    SharedPlainTextCache().bindStore(nullptr);
    SharedPlainTextCache().clear();
}

bool operator==(const FilterDef &a, const FilterDef &b) {
    return a.Field == b.Field && a.Value == b.Value && a.CaseSensitive == b.CaseSensitive &&
           a.FullMatch == b.FullMatch && a.NonBlank == b.NonBlank && a.Count == b.Count;
}

FilterDef &FilterOf(FilterTable table) {
    return table == FilterTable::Events ? EventsFilter : DancesFilter;
}

int &ShownCountOf(FilterTable table) {
    return table == FilterTable::Events ? EventsShownCount : DancesShownCount;
}

bool IsYesNoField(const QString &field) {
    static const char *const names[] = {"Printed", "Callit", "OwnTune", "Prv", "Updated", "Acknowledged", "IsRec"};
    for (const char *n : names)
        if (SameText(field, QLatin1String(n))) return true;
    return false;
}

// ---- plain text -------------------------------------------------------------------

QString InstructionPlainText(const QString &rtf) {
    return rtfPlainText(rtf);
}

PlainTextCache::PlainTextCache(Converter c) : convert(std::move(c)) {}

PlainTextCache::Entry &PlainTextCache::entry(const QString &stored, Key *out) {
    const Key key{qHash(stored, 0x51u), qHash(stored, 0x9E3779B9u), stored.size()};
    if (out) *out = key;
    auto it = entries.find(key);
    if (it != entries.end()) return *it;
    ++converted;
    return *entries.insert(key, Entry{convert(stored), QString(), false});
}

QString PlainTextCache::text(Entry &e, bool fold) {
    if (!fold) return e.plain;
    if (!e.hasFolded) {
        e.folded = UpperCaseDE(e.plain);
        e.hasFolded = true;
    }
    return e.folded;
}

QString PlainTextCache::plain(const QString &stored) {
    if (stored.isEmpty()) return stored;
    return entry(stored).plain;
}

QString PlainTextCache::folded(const QString &stored) {
    if (stored.isEmpty()) return stored;
    return text(entry(stored), true);
}

QString PlainTextCache::rowText(qint64, const QString &instructions, const QString &footer,
                                bool fold) {
    QString parts[2];
    const QString *stored[2] = {&instructions, &footer};
    for (int i = 0; i < 2; ++i)
        if (!stored[i]->isEmpty()) parts[i] = text(entry(*stored[i]), fold);
    return parts[1].isEmpty() ? parts[0] : parts[0] + parts[1];
}

void PlainTextCache::clear() {
    entries.clear();
    fresh.clear();
    rows.clear();
    rowsValid = passTrusted = false;
    storeRead = false;
}

void PlainTextCache::bindStore(Database *db) {
    // Another catalogue opened on the same connection is read afresh too.
    const QString path = db ? db->path() : QString();
    if (db == store && path == storePath) return;
    store = db;
    storePath = path;
    clear();
}

PlainTextCache &SharedPlainTextCache() {
    static PlainTextCache cache;
    return cache;
}

FilterContext CurrentFilterContext(bool debug) {
    FilterContext c;
    c.Debug = debug;
    c.DFilterOn = DFilterOn;
    c.TagFilter = TagFilterOn;
    c.TagSetName = TagSetName;
    c.TagKeys = &TagKeySet;
    c.SessionSelection = SessionSelection;
    c.SessionKeys = &SessionKeys;
    c.PlainText = &SharedPlainTextCache();
    return c;
}

// ---- the rule ---------------------------------------------------------------------

bool ParseNumericValue(const QString &value, NumericTest *test) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(<>|<=|>=|<|>)?\\s*([-+]?(?:\\d+\\.?\\d*|\\.\\d+))\\s*$"));
    const QRegularExpressionMatch m = form.match(value);
    if (!m.hasMatch()) return false;
    static const QHash<QString, NumericTest::Op> ops = {
        {QString(), NumericTest::Eq},         {QStringLiteral("<>"), NumericTest::Ne}, {QStringLiteral("<="), NumericTest::Le},
        {QStringLiteral(">="), NumericTest::Ge}, {QStringLiteral("<"), NumericTest::Lt},  {QStringLiteral(">"), NumericTest::Gt}};
    if (test) {
        test->op = ops.value(m.captured(1), NumericTest::Eq);
        test->x = m.captured(2).toDouble();
        test->opText = m.captured(1);
        test->numberText = m.captured(2);
    }
    return true;
}

RecordFilter::RecordFilter(const FilterDef &def, FilterTable t, const FilterContext &ctx)
    : table(t), context(ctx) {
    conditionsOn = def.HasConditions();
    const int count = std::min(def.Count, FilterDef::MaxConditions);
    if (conditionsOn) {
        for (int i = 1; i <= count; ++i) {
            Condition c;
            c.field = def.Field[size_t(i)];
            if (c.field.isEmpty()) continue;
            const QString v = def.Value[size_t(i)];
            c.caseSensitive = def.CaseSensitive[size_t(i)];
            c.fullMatch = def.FullMatch[size_t(i)];
            c.nonBlank = def.NonBlank[size_t(i)];
            c.instructions = table == FilterTable::Dances && !context.Debug &&
                             SameText(c.field, QStringLiteral("Instructions"));
            c.blankTest = v.isEmpty() || v == PendingValue;
            if (!v.isEmpty()) {
                c.numericParsed = ParseNumericValue(v, &c.numeric);
                c.numericBad = !c.numericParsed;
            }
            if (!c.blankTest) {
                QString folded = c.caseSensitive ? v : UpperCaseDE(v);
                if (folded.startsWith(QLatin1String("<>"))) {
                    c.negate = true;
                    folded = folded.mid(2);
                }
                c.value = folded;
            }
            conditions.append(c);
        }
    }
    oddFormat = table == FilterTable::Dances && count >= 1 &&
                SameText(def.Value[size_t(count)], OddFormatMarker);
}

int RecordFilter::lookUp(const FilterRow &row, const QString &name, int &cached) const {
    if (cached == -2) cached = row.fieldIndex(name);
    if (cached < 0) throw std::runtime_error(("No field " + name).toStdString());
    return cached;
}

bool RecordFilter::passes(const Condition &c, const FilterRow &row) const {
    const int index = lookUp(row, c.field, c.index);
    const FilterFieldClass cls = row.fieldClass(index);
    if (cls == FilterFieldClass::Numeric && !c.blankTest) {
        if (c.numericBad)
            throw FilterValueError(("Non-numeric value for " + c.field).toStdString());
        const std::optional<double> n = row.number(index);
        // A blank compares as 0, except that "<>" wants a value.
        if (c.numeric.op == NumericTest::Ne) return n.has_value() && *n != c.numeric.x;
        const double x = n.value_or(0);
        switch (c.numeric.op) {
        case NumericTest::Eq:
            return x == c.numeric.x;
        case NumericTest::Lt:
            return x < c.numeric.x;
        case NumericTest::Le:
            return x <= c.numeric.x;
        case NumericTest::Gt:
            return x > c.numeric.x;
        case NumericTest::Ge:
            return x >= c.numeric.x;
        case NumericTest::Ne:
            break;
        }
        return false;
    }
    QString s;
    bool folded = false;
    if (c.instructions) {
        const bool fold = context.PlainText && !c.caseSensitive && !c.blankTest;
        const qint64 id = context.PlainText ? row.rowid() : 0;
        if (!context.PlainText || !context.PlainText->rowText(id, fold, &s)) {
            s = row.text(index);
            const QString f = row.text(lookUp(row, QStringLiteral("Footer"), c.footer));
            // Folding keeps each character's place, so the folded parts
            // joined are the joined text folded.
            s = context.PlainText ? context.PlainText->rowText(id, s, f, fold)
                                  : InstructionPlainText(s) + InstructionPlainText(f);
        }
        folded = fold;
    } else {
        s = row.text(index);
    }
    if (c.blankTest) return c.nonBlank ? !s.isEmpty() : s.isEmpty();
    if (!c.caseSensitive && !folded) s = UpperCaseDE(s);
    const bool found = c.fullMatch ? s == c.value : s.contains(c.value);
    return found != c.negate;
}

bool RecordFilter::Accept(const FilterRow &row) const {
    bool accept = true;
    for (const Condition &c : conditions) {
        if (!accept) break;
        accept = passes(c, row);
    }
    if (table == FilterTable::Dances) {
        if (context.DFilterOn)
            accept = accept && SameText(row.text(lookUp(row, QStringLiteral("DFilter"), dfilterIndex)),
                                        QStringLiteral("Y"));
        if (accept && context.TagFilter && !context.TagSetName.isEmpty()) {
            const QString key = TagKey(row.text(lookUp(row, QStringLiteral("Title"), titleIndex)),
                                       row.text(lookUp(row, QStringLiteral("Format"), formatIndex)),
                                       row.text(lookUp(row, QStringLiteral("Style"), styleIndex)));
            accept = context.TagKeys && context.TagKeys->contains(FoldUpper(key));
        }
        if (oddFormat)
            accept = SameText(row.text(lookUp(row, QStringLiteral("DFilter"), dfilterIndex)), QStringLiteral("Y"));
    } else if (context.SessionSelection) {
        const QString key = EventTagKey(row.text(lookUp(row, QStringLiteral("Org"), orgIndex)),
                                        row.text(lookUp(row, QStringLiteral("EDate"), dateIndex)),
                                        row.text(lookUp(row, QStringLiteral("Event"), eventIndex)));
        accept = context.SessionKeys && context.SessionKeys->contains(FoldUpper(key));
    }
    return accept;
}

QStringList RecordFilter::Columns(bool instructionTexts) const {
    QStringList cols;
    auto add = [&cols](const QString &name) {
        for (const QString &c : cols)
            if (SameText(c, name)) return;
        cols.append(name);
    };
    for (const Condition &c : conditions) {
        if (c.instructions && !instructionTexts) continue;
        add(c.field);
        if (c.instructions) add(QStringLiteral("Footer"));
    }
    if (table == FilterTable::Dances) {
        if (context.DFilterOn || oddFormat) add(QStringLiteral("DFilter"));
        if (context.TagFilter && !context.TagSetName.isEmpty()) {
            add(QStringLiteral("Title"));
            add(QStringLiteral("Format"));
            add(QStringLiteral("Style"));
        }
    } else if (context.SessionSelection) {
        add(QStringLiteral("Org"));
        add(QStringLiteral("EDate"));
        add(QStringLiteral("Event"));
    }
    return cols;
}

bool FilterRecord(const FilterDef &def, FilterTable table, const FilterRow &row, const FilterContext &context) {
    return RecordFilter(def, table, context).Accept(row);
}

QString InstructionsHighlightValue(const FilterDef &def) {
    if (!def.HasConditions()) return {};
    const int count = std::min(def.Count, FilterDef::MaxConditions);
    for (int i = 1; i <= count; ++i) {
        if (!SameText(def.Field[size_t(i)], QStringLiteral("Instructions"))) continue;
        const QString v = def.Value[size_t(i)];
        if (v.isEmpty() || v == PendingValue || v.startsWith(QLatin1String("<>"))) continue;
        return v;
    }
    return {};
}

// ---- descriptions ---------------------------------------------------------------

QString FilterDescription(FilterDef &def, const DescriptionInput &in) {
    QString d;
    if (in.table == FilterTable::Dances) {
        switch (in.notItem) {
        case NotSelection::Recent:
            d = QStringLiteral("Not recent");
            break;
        case NotSelection::Both:
            d = QStringLiteral("Not recent for ") + in.orgName;
            break;
        case NotSelection::This:
            d = QStringLiteral("Not called for ") + in.orgName;
            break;
        case NotSelection::None:
            break;
        }
        if (!in.tagDescription.isEmpty()) d += (d.isEmpty() ? QString() : QStringLiteral(" and ")) + in.tagDescription;
    }
    if (def.HasConditions()) {
        const int count = std::min(def.Count, FilterDef::MaxConditions);
        for (int i = 1; i <= count; ++i) {
            const QString field = def.Field[size_t(i)];
            if (field.isEmpty()) continue;
            if (!d.isEmpty()) d += QStringLiteral(", and ");
            QString &value = def.Value[size_t(i)];
            if (IsYesNoField(field)) {
                if (value == PendingValue)
                    d = QStringLiteral("Pending Print");
                else
                    d += field + (value.isEmpty() ? QStringLiteral(" not checked") : QStringLiteral(" checked"));
                continue;
            }
            const bool numeric = in.isNumeric && in.isNumeric(field);
            if (def.NonBlank[size_t(i)]) {
                value.clear();
                d += field + QStringLiteral(" non-blank");
            } else if (numeric && (value.startsWith('<') || value.startsWith('>'))) {
                d += field + ' ' + value;
            } else if (value.startsWith(QLatin1String("<>"))) {
                d += field + QStringLiteral(" does not contain ") + value.mid(2);
            } else if (def.FullMatch[size_t(i)] || (numeric && ParseNumericValue(value, nullptr))) {
                d += field + QStringLiteral(" = ") + value;
            } else {
                d += field + QStringLiteral(" contains ") + value;
            }
        }
    }
    if (in.table == FilterTable::Dances) {
        if (!in.separator.isNull() && d.contains(in.separator)) d = QStringLiteral("containing recorded music");
        if (d.size() < 100) d = QStringLiteral("Dances are filtered:  ") + d;
    } else {
        if (in.sessionSelection) d = QStringLiteral("by Session title");
        d = QStringLiteral("Events are filtered:  ") + d;
    }
    return d;
}

QString TagDescription(bool tagFilter, const QString &setName) {
    if (!tagFilter || setName.isEmpty()) return {};
    return QStringLiteral("Dances are in Tag Set ") + setName;
}

QString RecordCountCaption(int count, bool filtered, const QString &hint) {
    QString c = count == 1 ? QStringLiteral("Quillary displaying 1 record       ")
                           : QStringLiteral("Quillary displaying ") + QString::number(count) +
                                 QStringLiteral(" records      ");
    if (filtered) c += hint;
    return c;
}

// ---- "Not" selections ----------------------------------------------------------

double NotReferenceDate(double shownDate, double today) {
    return shownDate == NoDate ? today : shownDate;
}

double NotWindowStart(NotSelection item, double reference, int periodMonths) {
    switch (item) {
    case NotSelection::Recent:
        return reference - double(periodMonths) * 30;
    case NotSelection::Both:
        return reference - 1475;
    case NotSelection::This:
    case NotSelection::None:
        break;
    }
    return -std::numeric_limits<double>::infinity();
}

QString NotTitleList(const QList<EventHistoryRow> &events, int shown, NotSelection item, double windowStart,
                     const QString &org, QChar sep) {
    QString list = QStringLiteral("|");
    QSet<QString> seen;
    const QString marker = QString(sep) + QStringLiteral("D|");
    const bool ownOrg = item == NotSelection::This || item == NotSelection::Both;
    for (int k = std::min(shown, int(events.size())) - 1; k >= 0; --k) {
        const EventHistoryRow &e = events[k];
        if (!(e.date > windowStart)) break;
        if (ownOrg && (e.date == NoDate || !SameText(e.org, org))) continue;
        const QString &p = e.programme;
        qsizetype at = p.indexOf(marker);
        while (at >= 0) {
            const qsizetype start = at + marker.size();
            qsizetype end = p.indexOf('|', start);
            if (end < 0) end = p.size();
            const QString title = p.mid(start, end - start);
            if (!title.isEmpty() && !seen.contains(title)) {
                seen.insert(title);
                list += title + '|';
            }
            at = p.indexOf(marker, start);
        }
    }
    return list;
}

bool TitleListed(const QString &list, const QString &title) {
    return list.contains('|' + title + '|');
}

QStringList ListedTitles(const QString &list) {
    QStringList titles = list.split('|');
    titles.removeAll(QString());
    return titles;
}

QString NotItemName(NotSelection item) {
    switch (item) {
    case NotSelection::Recent:
        return QStringLiteral("Not recent");
    case NotSelection::This:
        return QStringLiteral("Not this Org");
    case NotSelection::Both:
        return QStringLiteral("Not both");
    case NotSelection::None:
        break;
    }
    return {};
}

// ---- Session selection --------------------------------------------------------

QString EventTagKey(const QString &org, const QString &dateText, const QString &event) {
    return '|' + org + '|' + dateText + '|' + event + '|';
}

bool ProgrammeHasHeading(const QString &programme, const QString &text, QChar sep) {
    const QString marker = QString(sep) + QStringLiteral("O|");
    const QString folded = FoldUpper(text);
    qsizetype at = programme.indexOf(marker);
    while (at >= 0) {
        const qsizetype start = at + marker.size();
        qsizetype end = programme.indexOf(sep, start);
        if (end < 0) end = programme.size();
        if (FoldUpper(programme.mid(start, end - start)).contains(folded)) return true;
        at = programme.indexOf(marker, start);
    }
    return false;
}

QString BuildSessionKeyList(const QList<SessionEventRow> &events, const QString &text, QChar sep,
                            QSet<QString> *keys) {
    QString list = QStringLiteral("|");
    if (keys) keys->clear();
    for (const SessionEventRow &e : events) {
        if (!ProgrammeHasHeading(e.programme, text, sep)) continue;
        list += e.org + '|' + e.dateText + '|' + e.event + '|';
        if (keys) keys->insert(FoldUpper(EventTagKey(e.org, e.dateText, e.event)));
    }
    return list;
}

// ---- odd formats --------------------------------------------------------------

QString OddFormatStatement(const QList<FormatCount> &counts) {
    QStringList terms;
    for (const FormatCount &f : counts)
        if (f.count < OddFormatLimit) terms.append(QStringLiteral("Format = ") + DoubleQuotes(f.format));
    if (terms.isEmpty()) return {};
    return QStringLiteral("Update Dances Set DFilter = \"Y\" where (not Style alike \"Scottish%\") and (") +
           terms.join(QStringLiteral(" or ")) + ')';
}

// ---- finds --------------------------------------------------------------------

int FindDanceRowByText(const QList<ProgrammeItem> &rows, const QString &text) {
    const QString folded = FoldUpper(text);
    for (int i = 0; i < rows.size(); ++i) {
        const ProgrammeItem &r = rows[i];
        if (!r.isDance()) continue;
        if (FoldUpper(r.key.Title).contains(folded) || FoldUpper(DisplayTitle(r.key.Title)).contains(folded))
            return i;
    }
    return -1;
}

bool RecordFilter::ReadsInstructions() const {
    for (const Condition &c : conditions)
        if (c.instructions) return true;
    return false;
}
