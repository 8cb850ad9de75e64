#pragma once
// Everything about the programme on show that is computed rather than
// stored: the dances' field columns, the running clock with the start time of
// every dance and heading, suggested times for a bare pause heading, each
// dance's history in the diary, and the average level with the finish time.
//
// Evaluate only reads (the rows, the catalogue through DanceLookup, the other
// events through EventHistory) and gives back what the rows should show; the
// main window applies it.

#include "programme/evaluation/ProgrammeData.h"
#include "programme/rows/RowLayout.h"
#include "programme/text/ProgrammeItem.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Minutes a dance of level 0 to 9 takes when its Timing is empty.
using TimeTable = std::array<int, 10>;
inline constexpr TimeTable DefaultTimeTable{10, 10, 10, 10, 10, 10, 10, 10, 10, 10};

// The table from the lines ("key=value") of the [Timings] section: every
// entry 10, unless there are exactly nine lines, which give levels 1 to 9 from
// their third character on. A value that is no whole number leaves its entry
// at 10 and is logged. Level 0 is always 10.
TimeTable LoadTimeTable(const QStringList &timingLines);

// The pause length written in a heading: the one or two digits directly
// before the first "min" (one blank may stand between; a leading "0" is not
// part of the number); 0 when there is none.
int StatedPauseLength(const QString &headingText);

struct EvaluationSettings {
    TimeTable timeTable = DefaultTimeTable;
    int CPeriod = 18;  // [System] months that count as recent
    int Interval = 30; // [User] minutes of a bare "Interval"
    int Break = 30;    // [User] minutes of a bare "Break"
};

struct EvaluationInputs {
    QList<ProgrammeItem> rows; // as shown, the average-level note last
    DisplayColumns columns;    // [Display]: the labels of a dance row
    QString ETime;             // the shown event's time text
    QDate EDate;               // the shown event's date (1 January 4900 when none)
    QString Org;               // the Org box of the shown event
    QChar separator;           // the programme separator
    EvaluationSettings settings;
    const DanceLookup *dances = nullptr;   // none: every dance reads as blank
    const EventHistory *history = nullptr; // none: no other events
};

// What one label of a row should show. Unset colours and bold leave the
// label as it is.
struct LabelValue {
    QString text;
    std::optional<Rgb> colour; // the label's background
    std::optional<Rgb> fontColour;
    std::optional<bool> bold;

    bool operator==(const LabelValue &) const = default;
};

struct RowEvaluation {
    // By column name as [Display] spells it; only labels the row carries (a
    // dance row: every column; a heading: "Time"), only those evaluated.
    QMap<QString, LabelValue> labels;
    std::optional<QString> caption;   // a heading's new caption
    std::optional<QString> lastCHint; // shown as the hint of "LastC"

    // The text of a label (found ignoring case), "" when not given.
    QString text(const QString &name) const;
    const LabelValue *label(const QString &name) const;
};

struct EvaluationResult {
    // One per input row. After a stop, the rows up to and including the one
    // that stopped carry what was done; the rest are empty.
    QList<RowEvaluation> rows;

    enum class AverageNote { Unchanged, Set, Remove };
    AverageNote averageNote = AverageNote::Unchanged; // for the last row
    QString averageText;                              // with Set

    // Not empty: the evaluation stopped at row stoppedAt; show this message
    // and abandon the action. The history and the average are not done.
    QString stopMessage;
    int stoppedAt = -1;

    bool stopped() const { return !stopMessage.isEmpty(); }
};

EvaluationResult Evaluate(const EvaluationInputs &inputs);
