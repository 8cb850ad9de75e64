#include "core/database/DanceFilterSql.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/JetSql.h"

#include <stdexcept>

namespace {

const QString DFilterTerm = QStringLiteral("DFilter = ") + DoubleQuotes(QStringLiteral("Y"));

// A numeric condition: an operator ("<", "<=", ">", ">=", "<>" or none)
// and a number. A blank field counts as 0, except under "<>", as the
// record filter counts it.
QString numericTerm(const QString &field, const QString &value) {
    NumericTest test;
    if (!ParseNumericValue(value, &test)) throw std::runtime_error("Non-numeric value specified.");
    const QString term = field + (test.opText.isEmpty() ? QStringLiteral("=") : test.opText) + test.numberText;
    bool zeroPasses = false;
    switch (test.op) {
    case NumericTest::Eq: zeroPasses = 0 == test.x; break;
    case NumericTest::Lt: zeroPasses = 0 < test.x; break;
    case NumericTest::Le: zeroPasses = 0 <= test.x; break;
    case NumericTest::Gt: zeroPasses = 0 > test.x; break;
    case NumericTest::Ge: zeroPasses = 0 >= test.x; break;
    case NumericTest::Ne: break;
    }
    return zeroPasses ? QStringLiteral("(") + term + QStringLiteral(" or ") + field + QStringLiteral(" is Null)") : term;
}

// The text a condition compares: the field upper-cased unless case counts;
// a date as its display text.
QString subject(const QString &column, bool caseSensitive) {
    return caseSensitive ? column : QStringLiteral("UCase(") + column + QLatin1Char(')');
}

QString textTerm(const QString &column, const QString &value, bool caseSensitive, bool fullMatch, bool negate) {
    const QString v = caseSensitive ? value : FoldUpper(value);
    if (fullMatch) {
        const QString op = negate ? QStringLiteral(" <> ") : QStringLiteral(" = ");
        return caseSensitive ? column + op + DoubleQuotes(v) + QStringLiteral(" COLLATE BINARY")
                             : subject(column, false) + op + DoubleQuotes(v);
    }
    // "%" and "_" in the value are its own text, not wildcards: such a value
    // is looked for as it stands.
    if (caseSensitive || v.contains(QLatin1Char('%')) || v.contains(QLatin1Char('_')))
        return QStringLiteral("instr(") + subject(column, caseSensitive) + QStringLiteral(", ") + DoubleQuotes(v) +
               (negate ? QStringLiteral(") = 0") : QStringLiteral(") > 0"));
    return (negate ? QStringLiteral("Not ") : QString()) + subject(column, false) + QStringLiteral(" alike ") +
           DoubleQuotes(QLatin1Char('%') + v + QLatin1Char('%'));
}

QString blankTerm(const QString &column, bool nonBlank) {
    return nonBlank ? QStringLiteral("(") + column + QStringLiteral(" <> '' and ") + column + QStringLiteral(" is not Null)")
                    : QStringLiteral("(") + column + QStringLiteral(" = '' or ") + column + QStringLiteral(" is Null)");
}

} // namespace

void AddWhereTerm(const QString &term) {
    if (PosNoCase(QStringLiteral("Where "), MyQuery.text()) == 0) MyQuery.SQL.append(QStringLiteral("Where ") + term);
    else MyQuery.SQL.append(QStringLiteral("and ") + term);
}

void BuildDanceFilterSql(Dataset &dataset, const FilterDef &filter, bool dfilterOption) {
    bool marked = false; // the DFilter term is there
    if (dataset.Filtered() && filter.Count >= 1) {
        const int count = std::min(filter.Count, FilterDef::MaxConditions);
        // An odd-format selection as the last condition decides alone.
        const bool oddFormatLast = SameText(filter.Value[size_t(count)], QStringLiteral("[Odd format]"));
        for (int i = oddFormatLast ? count : 1; i <= count; ++i) {
            const QString f = filter.Field[size_t(i)];
            const QString v = filter.Value[size_t(i)];
            if (f.isEmpty()) {
                if (!marked) AddWhereTerm(DFilterTerm);
                marked = true;
                continue;
            }
            const Field *field = dataset.FindField(f);
            const FieldType type = field ? field->DataType() : FieldType::Text;
            if (field && field->IsNumeric()) {
                if (!v.trimmed().isEmpty()) AddWhereTerm(numericTerm(f, v));
                else AddWhereTerm(f + (filter.NonBlank[size_t(i)] ? QStringLiteral(" is not Null") : QStringLiteral(" is Null")));
                continue;
            }
            if (SameText(v, QStringLiteral("[Odd format]"))) {
                if (!marked) AddWhereTerm(DFilterTerm);
                marked = true;
                continue;
            }
            const bool instructions = SameText(f, QStringLiteral("Instructions"));
            if (instructions && i != 1) ShowMsg(QStringLiteral("Filtering on Instructions must have this as the FIRST filter field."));
            // The columns the condition looks at: the footer too for the
            // instructions, their visible text in both.
            QStringList columns;
            if (instructions) {
                columns = {QStringLiteral("PlainText([Instructions])"), QStringLiteral("PlainText([Footer])")};
            } else if (type == FieldType::DateTime) {
                columns = {QStringLiteral("DateText([") + f + QStringLiteral("])")};
            } else {
                columns = {QLatin1Char('[') + f + QLatin1Char(']')};
            }
            QString term;
            if (v.isEmpty() || v == QLatin1String("Pending")) {
                const bool nonBlank = filter.NonBlank[size_t(i)];
                if (columns.size() == 1) {
                    term = blankTerm(columns[0], nonBlank);
                } else {
                    // Blank means both are blank; non-blank, either is not.
                    const QString both = QStringLiteral("(") + blankTerm(columns[0], false) + QStringLiteral(" and ") +
                                         blankTerm(columns[1], false) + QStringLiteral(")");
                    term = nonBlank ? QStringLiteral("Not ") + both : both;
                }
            } else {
                const bool negate = v.startsWith(QLatin1String("<>"));
                const QString value = negate ? v.mid(2) : v;
                const bool cs = filter.CaseSensitive[size_t(i)], full = filter.FullMatch[size_t(i)];
                if (columns.size() == 1) {
                    term = textTerm(columns[0], value, cs, full, negate);
                } else {
                    // Instructions or footer: either may hold the value.
                    term = QStringLiteral("(") + textTerm(columns[0], value, cs, full, false) + QStringLiteral(" or ") +
                           textTerm(columns[1], value, cs, full, false) + QStringLiteral(")");
                    if (negate) term = QStringLiteral("Not ") + term;
                }
            }
            AddWhereTerm(term);
        }
    }
    if (dfilterOption && !marked && SameText(dataset.tableName(), QStringLiteral("Dances"))) AddWhereTerm(DFilterTerm);
}
