#include "programme/evaluation/Rules.h"

#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "platform/ini/IniFile.h"
#include "programme/evaluation/ProgrammeData.h"
#include "programme/text/HeadingRoles.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <stdexcept>

const QStringList &RuleKinds() {
    static const QStringList kinds = {KindLevel, KindTotal, KindAll, KindSome};
    return kinds;
}

const QStringList &RuleFields() {
    static const QStringList fields = {QStringLiteral("Style"), QStringLiteral("Rhythm"),
                                       QStringLiteral("Format"), QStringLiteral("Author")};
    return fields;
}

bool KindShowsNumbers(const QString &kind) {
    return kind == KindLevel || kind == KindTotal || kind == KindSome;
}

bool KindShowsSelections(const QString &kind) {
    return kind == KindSome || kind == KindAll;
}

// ---- building --------------------------------------------------------------------

namespace {

std::optional<int> numberOf(const QString &text) {
    if (text.isEmpty()) return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    return text.toInt();
}

BuiltRule refused(const QString &message, BuiltRule::Focus focus) {
    BuiltRule b;
    b.message = message;
    b.focus = focus;
    return b;
}

} // namespace

BuiltRule BuildRule(const RuleEditorState &state) {
    using Focus = BuiltRule::Focus;
    if (state.kind.isEmpty() || !RuleKinds().contains(state.kind))
        return refused(QStringLiteral("Second drop-down box cannot be left blank."), Focus::Box2);

    BuiltRule built;
    QString numbers;
    if (KindShowsNumbers(state.kind)) {
        const std::optional<int> first = numberOf(state.num1);
        std::optional<int> second = numberOf(state.num2);
        if (first && second && *first == *second) {
            built.clearNum2 = true;
            second.reset();
        }
        if (!first) {
            BuiltRule b = refused(QStringLiteral("First number must be specified."), Focus::NumBox1);
            b.clearNum2 = built.clearNum2;
            return b;
        }
        if (second && *first > *second)
            return refused(QStringLiteral("Second number cannot be less than first."), Focus::None);
        numbers = QString::number(*first);
        if (second) numbers += QStringLiteral(" to ") + QString::number(*second);
        if (state.kind == KindSome)
            numbers += (*first == 1 && !second) ? QStringLiteral(" dance") : QStringLiteral(" dances");
    }

    QString line;
    if (state.session >= 0) line = QStringLiteral("Session ") + QString::number(state.session + 1) + QStringLiteral(": ");
    if (state.kind == KindSome) line += numbers;
    else if (state.kind != KindAll) line += state.kind + QLatin1Char(' ') + numbers;

    if (KindShowsSelections(state.kind)) {
        for (int k = 0; k < 4; ++k) {
            if (state.choices[k].isEmpty()) continue;
            if (!line.isEmpty() && !line.endsWith(QLatin1Char(' '))) line += QLatin1Char(' ');
            line += RuleFields()[k] + QLatin1Char('=') + state.choices[k];
        }
    }
    built.line = line;
    return built;
}

// ---- parsing -----------------------------------------------------------------------

QString RulePositionError(int position, const QString &rule) {
    return QStringLiteral("Error in rule at position ") + QString::number(position) +
           QStringLiteral(": \r\r") + rule;
}

namespace {

struct RuleParser {
    const QString &r;
    const QList<QStringList> &boxes;
    int p = 1;  // counts from 1
    RuleParse out;

    QString at(int n) const { return p >= 1 ? r.mid(p - 1, n) : QString(); }
    bool fail(int position) {
        out.error = RulePositionError(position, r);
        return false;
    }

    // Digits at p, then a blank when the text goes on. Nothing read leaves
    // number unset.
    bool readNumber(std::optional<int> &number) {
        if (p > r.size()) {
            out.error = QStringLiteral("Incomplete rule");
            return false;
        }
        int q = p;
        while (q <= r.size() && r[q - 1].isDigit() && r[q - 1].unicode() < 128) ++q;
        if (q == p) return true;
        const QString digits = r.mid(p - 1, q - p);
        if (digits.size() > 9) return fail(p);
        if (q <= r.size()) {
            if (r[q - 1] != QLatin1Char(' ')) return fail(q);
            ++q;
        }
        number = digits.toInt();
        p = q;
        return true;
    }

    bool run() {
        ParsedRule &rule = out.rule;
        if (r.startsWith(QLatin1String("Session"))) {
            // Only the digits 0 to 9, as for the numbers.
            if (r.size() < 9 || !r[8].isDigit() || r[8].unicode() >= 128) return fail(9);
            rule.session = r[8];
            p = 12;
        }
        if (at(5) == QLatin1String("Level")) {
            p += 6;
            rule.kind = KindLevel;
        }
        if (at(5) == QLatin1String("Total")) {
            p += 13;
            rule.kind = KindTotal;
        }
        std::optional<int> first;
        if (!readNumber(first)) return false;
        if (first) {
            if (rule.kind.isEmpty()) rule.kind = KindSome;
            rule.hasLow = true;
            rule.low = rule.high = *first;
            if (at(3) == QLatin1String("to ")) {
                p += 3;
                const int secondAt = p;
                std::optional<int> second;
                if (!readNumber(second)) return false;
                if (!second) return fail(secondAt);
                rule.hasHigh = true;
                rule.high = *second;
            }
        }
        if (rule.kind.isEmpty()) rule.kind = KindAll;
        if (at(6) == QLatin1String("dances")) p += 7;
        else if (at(5) == QLatin1String("dance")) p += 6;

        while (p < r.size()) {
            int eq = r.indexOf(QLatin1Char('='), p - 1) + 1;
            if (eq == 0) eq = r.size() + 1;
            const QString name = r.mid(p - 1, eq - p);
            p = eq + 1;
            int box = -1;
            for (int k = 0; k < boxes.size() && k < 4; ++k)
                if (!boxes[k].isEmpty() && boxes[k].first() == name) box = k;
            if (box < 0) return fail(eq > r.size() ? r.size() + 1 : eq + 1);
            const int valueAt = p;
            int next = r.indexOf(QLatin1Char('='), p - 1) + 1;
            QString value;
            if (next == 0) {
                value = r.mid(p - 1);
                p = r.size() + 1;
            } else {
                value = r.mid(p - 1, next - p);
                const int blank = value.lastIndexOf(QLatin1Char(' '));
                if (blank < 0) return fail(next);
                value = value.left(blank);
                p += blank + 1;
            }
            if (!boxes[box].contains(value)) return fail(valueAt + int(value.size()));
            rule.conditions[box] = value == boxes[box].first() ? QString() : value;
        }
        return true;
    }
};

} // namespace

RuleParse ParseRule(const QString &rule, const QList<QStringList> &boxItems) {
    RuleParser parser{rule, boxItems, 1, {}};
    parser.run();
    return parser.out;
}

namespace {
QString openSetName;
}

QString RuleSetName() {
    return openSetName;
}

void SetRuleSetName(const QString &name) {
    openSetName = name;
}

QString RulesCaption() {
    return openSetName.isEmpty() ? QStringLiteral("Quillary") : QStringLiteral("Quillary: Rules for ") + openSetName;
}

// ---- sets ----------------------------------------------------------------------------

namespace RuleSetSection {

QString section(const QString &name) {
    return QLatin1Char('#') + name;
}

QStringList names(TIniFile &ini) {
    QStringList out;
    for (const QString &s : ini.ReadSections())
        if (s.startsWith(QLatin1Char('#'))) out.append(s.mid(1));
    return out;
}

QStringList sortedNames(TIniFile &ini) {
    QStringList out = names(ini);
    std::stable_sort(out.begin(), out.end(),
                     [](const QString &a, const QString &b) { return CompareText(a, b) < 0; });
    return out;
}

QStringList read(TIniFile &ini, const QString &name) {
    QStringList rules;
    for (const QString &line : ini.ReadSectionValues(section(name))) {
        const QString rule = line.mid(line.indexOf(QLatin1Char('=')) + 1);
        if (!rule.isEmpty()) rules.append(rule);
    }
    return rules;
}

void save(TIniFile &ini, const QString &name, const QStringList &lines) {
    if (name.contains(QLatin1Char('[')))
        throw std::runtime_error("Rule name cannot contain \"[\".");
    QList<QPair<QString, QString>> values;
    values.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i)
        values.append({QString::number(i), lines[i]});
    ini.ReplaceSection(section(name), values);
}

void remove(TIniFile &ini, const QString &name) {
    ini.EraseSection(section(name));
}

} // namespace RuleSetSection

QString ChooseRuleSet(const QString &searchText, const QStringList &names) {
    for (int pass = 1; pass <= 2; ++pass) {
        QString taken;
        for (const QString &stored : names) {
            const QString name = UpperCaseDE(stored);
            if (pass == 1 && !name.contains(QLatin1Char(' '))) continue;
            if (searchText.contains(QLatin1Char(' ') + name + QLatin1Char(' '))) taken = name;
        }
        if (!taken.isEmpty()) return taken;
    }
    for (const QString &stored : names)
        if (SameText(stored, QStringLiteral("Dance"))) return QStringLiteral("Dance");
    return QString();
}

// ---- the programme test ---------------------------------------------------------------

namespace {

bool IsRowSessionHeading(const ProgrammeItem &row) {
    return row.isHeading() && IsSessionHeading(row.text);
}

bool BeginsNoCase(const QString &text, const QString &start) {
    return SameText(text.left(start.size()), start);
}

// Lists each failing rule once, then one "  => " line per failure.
struct RuleErrors {
    RuleReport &report;
    QString lastRule;
    void add(const QString &rule, const QString &message) {
        if (rule != lastRule) {
            report.addLine(rule);
            lastRule = rule;
        }
        report.addError(QStringLiteral("  => ") + message);
    }
};

bool LevelOutside(const QString &level, const ParsedRule &rule) {
    bool numeric = false;
    const int n = level.trimmed().toInt(&numeric);
    if (numeric) return n < rule.low || n > rule.high;
    return level < QString::number(rule.low) || level > QString::number(rule.high);
}

} // namespace

ProgrammeTestResult RunProgrammeTest(const ProgrammeTestInput &in, RuleReport &report) {
    ProgrammeTestResult result;
    const QList<ProgrammeItem> &rows = in.rows;
    if (rows.isEmpty()) return result;

    const QString eventText = QLatin1Char(' ') + UpperCaseDE(in.eventText) + QLatin1Char(' ');
    QString search = eventText;
    int first = 0;
    int last = int(rows.size()) - 1;
    if (eventText.contains(QLatin1String("FESTIVAL")) || eventText.contains(QLatin1String("WEEK")) ||
        eventText.contains(QLatin1String("CAMP"))) {
        // Only the session around the selected row; the selection may be gone.
        first = std::clamp(in.thisIndex, 0, last);
        while (first > 0 && !IsRowSessionHeading(rows[first])) --first;
        if (IsRowSessionHeading(rows[first])) {
            report.addLine(rows[first].text);
            search = QLatin1Char(' ') + UpperCaseDE(rows[first].text) + QLatin1Char(' ');
        }
        for (int i = first + 1; i <= last; ++i)
            if (IsRowSessionHeading(rows[i])) {
                last = i - 1;
                break;
            }
    }

    const QString name = ChooseRuleSet(search, in.setNames);
    if (name.isEmpty()) {
        report.addLine(QStringLiteral("No rule called \"Dance\"."));
        result.end = ProgrammeTestEnd::NoSet;
        return result;
    }
    report.addLine(QStringLiteral("Rule set used: ") + name);

    // Each row's dance is looked up at most once in the run.
    QHash<int, std::optional<DanceFields>> located;
    auto danceAt = [&](int i) -> const std::optional<DanceFields> & {
        auto it = located.find(i);
        if (it == located.end())
            it = located.insert(i, in.dances ? in.dances->find(rows[i].key) : std::nullopt);
        return *it;
    };

    RuleErrors errors{report, {}};
    const QStringList keyLines = in.readSet ? in.readSet(name) : QStringList();
    for (const QString &keyLine : keyLines) {
        const QString text = keyLine.mid(keyLine.indexOf(QLatin1Char('=')) + 1);
        if (text.isEmpty()) continue;
        const RuleParse parse = ParseRule(text, in.boxItems);
        if (!parse.ok()) {
            result.end = ProgrammeTestEnd::Stopped;
            result.message = parse.error;
            return result;
        }
        const ParsedRule &rule = parse.rule;
        const bool anySession = rule.session == QLatin1Char(' ');
        QChar current = QLatin1Char('1');
        int count = 0;
        bool afterExtras = false;

        for (int i = first; i <= last; ++i) {
            const ProgrammeItem &row = rows[i];
            if (row.isHeading()) {
                afterExtras = BeginsNoCase(row.text, QStringLiteral("Extras")) ||
                              BeginsNoCase(row.text, QStringLiteral("Next time"));
                if (i != first && !anySession) {
                    if (current == rule.session) break;
                    current = QChar(current.unicode() + 1);
                    count = 0;
                }
                continue;
            }
            if (!row.isDance() || row.key.Title.isEmpty() || afterExtras) continue;
            if (row.key.Style == QLatin1String("Technique")) continue;
            if (!anySession && rule.session != current) continue;

            // Every dance taking part is located, so that one the catalogue
            // lacks gets its choices whatever the rule; one still missing
            // afterwards has no fields to judge.
            const std::optional<DanceFields> &dance = danceAt(i);
            if (rule.kind == KindTotal) {
                ++count;
                continue;
            }
            if (!dance) continue;
            const DanceFields &fields = *dance;
            const QString title = DisplayTitle(row.key.Title);
            if (rule.kind == KindLevel) {
                const QString level = fields.value(QStringLiteral("Lvl"));
                if (!level.isEmpty() && LevelOutside(level, rule))
                    errors.add(text, QStringLiteral("Wrong Level for ") + title + QStringLiteral(" (") +
                                         level + QLatin1Char(')'));
                continue;
            }
            QString failure;
            for (int k = 0; k < 4; ++k) {
                if (rule.conditions[k].isEmpty()) continue;
                const QString value = fields.value(RuleFields()[k]);
                if (value != rule.conditions[k])
                    failure = title + QStringLiteral("  (") + value + QLatin1Char(')');
            }
            if (failure.isEmpty()) ++count;
            else if (rule.kind == KindAll) errors.add(text, failure);
        }

        if ((anySession || rule.session == current) && (rule.kind == KindTotal || rule.kind == KindSome) &&
            (count < rule.low || count > rule.high))
            errors.add(text, QStringLiteral("Wrong number of dances (") + QString::number(count) +
                                 QLatin1Char(')'));
    }
    return result;
}
