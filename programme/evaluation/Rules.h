#pragma once
// Rule sets about a programme: the rule line the editor builds and the parser
// reads back, the sets kept as settings-file sections "#" + name, the choice
// of a set from the event's text, and the programme test that checks the
// rows against one set.
//
// Rule line: optional "Session n: ", then "Level " numbers, "Total dances "
// numbers, numbers + " dance(s)" or nothing, then field=value conditions for
// Style, Rhythm, Format and Author in that order. Numbers: n or n " to " m.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class DanceLookup;
class TIniFile;

// The four kinds of Box2, and the fields of the four selection boxes.
const QStringList &RuleKinds();
const QStringList &RuleFields();
inline const QString KindLevel = QStringLiteral("Level");
inline const QString KindTotal = QStringLiteral("Total dances");
inline const QString KindAll = QStringLiteral("All dances");
inline const QString KindSome = QStringLiteral("Some dances");

struct ParsedRule {
    QChar session = QLatin1Char(' ');  // ' ' = every session, else the digit
    QString kind;
    bool hasLow = false, hasHigh = false;
    int low = 0;   // the first number, 0 when none
    int high = 0;  // the second number, or low when there is none
    std::array<QString, 4> conditions;  // by RuleFields order; empty = unset
};

// What the editor's boxes hold.
struct RuleEditorState {
    int session = -1;  // Box1's index, -1 for every session
    QString kind;      // Box2's text, empty without choice
    QString num1, num2;
    std::array<QString, 4> choices;  // the selection boxes' values past their first item
};

struct BuiltRule {
    enum class Focus { None, Box2, NumBox1 };
    QString line;
    QString message;  // empty when the line was built
    Focus focus = Focus::None;
    bool clearNum2 = false;  // both numbers equal: the second box is emptied
};

// Which controls a kind shows: the number boxes with "to", the selection boxes.
bool KindShowsNumbers(const QString &kind);
bool KindShowsSelections(const QString &kind);

BuiltRule BuildRule(const RuleEditorState &state);

struct RuleParse {
    ParsedRule rule;
    QString error;  // "Incomplete rule" or the position error; empty when parsed
    bool ok() const { return error.isEmpty(); }
};
// boxItems: the four selection boxes' items, each beginning with its field name.
RuleParse ParseRule(const QString &rule, const QList<QStringList> &boxItems);
QString RulePositionError(int position, const QString &rule);

// The name of the set open on the Rules page, empty when none.
QString RuleSetName();
void SetRuleSetName(const QString &name);
// The window caption while the Rules page shows: "Quillary: Rules for " +
// the name, or "Quillary" when no set is open.
QString RulesCaption();

// ---- sets in the settings file -------------------------------------------------
namespace RuleSetSection {
QString section(const QString &name);
// Set names in file order, without the "#".
QStringList names(TIniFile &ini);
// The same sorted through the program's case fold (the Open list).
QStringList sortedNames(TIniFile &ini);
// The rules in key file order, empty ones dropped.
QStringList read(TIniFile &ini, const QString &name);
// Keys "0" to "n-1", empty lines kept, in one write. A name holding "["
// throws std::runtime_error with 'Rule name cannot contain "[".'.
void save(TIniFile &ini, const QString &name, const QStringList &lines);
void remove(TIniFile &ini, const QString &name);
} // namespace RuleSetSection

// The set whose upper-cased name, padded with blanks, occurs in the search
// text: names of several words first, the last match in file order; else
// "Dance" when such a set exists (any case); else empty. names: as stored.
QString ChooseRuleSet(const QString &searchText, const QStringList &names);

// Where the programme test writes.
class RuleReport {
public:
    virtual ~RuleReport() = default;
    virtual void addLine(const QString &text) = 0;
    virtual void addError(const QString &text) = 0;
};

struct ProgrammeTestInput {
    QList<ProgrammeItem> rows;
    int thisIndex = -1;
    QString eventText;
    QStringList setNames;  // as stored, file order, without "#"
    // The key lines ("key=rule") of the named set, in file order.
    std::function<QStringList(const QString &name)> readSet;
    QList<QStringList> boxItems;
    const DanceLookup *dances = nullptr;
};

enum class ProgrammeTestEnd { Done, NoSet, Stopped };
struct ProgrammeTestResult {
    ProgrammeTestEnd end = ProgrammeTestEnd::Done;
    QString message;  // the parser's message when stopped
};
ProgrammeTestResult RunProgrammeTest(const ProgrammeTestInput &input, RuleReport &report);
