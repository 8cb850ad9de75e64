#include "programme/evaluation/Evaluation.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/ProgrammeText.h"

#include <QHash>
#include <QSet>
#include <QStringView>

namespace {

const QString Waltz = QStringLiteral("Waltz");
// A month of the "Recent" period, in days.
constexpr double MonthDays = 30.4375;
// How near (days) a call must be to turn "LastC" red or orange.
constexpr int NearDays = 21;

bool isDigit(QChar c) {
    return c >= '0' && c <= '9';
}

// A whole number, blanks around it and a sign allowed; nothing for any other
// text. An empty text is no number either, nor one of more than six digits,
// so that sums of minutes and levels stay far from overflowing.
std::optional<int> WholeNumber(const QString &text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    if (i == t.size() || t.size() - i > 6) return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k)
        if (!isDigit(t[k])) return std::nullopt;
    return t.toInt();
}

// A field read as a number: empty gives nothing; a text that is no number
// counts as empty, with one log line.
std::optional<int> FieldNumber(const QString &text, const QString &field, const QString &title) {
    if (text.trimmed().isEmpty()) return std::nullopt;
    const std::optional<int> n = WholeNumber(text);
    if (!n)
        WriteLog(QStringLiteral("Not a number in ") + field + QStringLiteral(" of ") + title +
                 QStringLiteral(": ") + text);
    return n;
}

// "Sun 6-Dec-26" without its first word; a text of one word stays whole.
QString DateWithoutWeekday(const QString &shown) {
    const qsizetype blank = shown.indexOf(' ');
    return blank < 0 ? shown : shown.mid(blank + 1);
}

class Evaluator {
public:
    explicit Evaluator(const EvaluationInputs &in) : in(in) {
        out.rows.resize(in.rows.size());
        computed.resize(in.rows.size());
        for (const DisplayColumn &c : in.columns) {
            const int tag = ColumnTag(c.name);
            if (tag == FieldTag) fieldColumns.append(c.name);
            if (tag == TimeTag && timeColumn.isNull()) timeColumn = c.name;
        }
        shownDay = DateToDayNumber(in.EDate);
    }

    EvaluationResult run() {
        startClock();
        if (!firstPass()) return std::move(out);
        historyBackwards();
        historyForwards();
        finish();
        return std::move(out);
    }

private:
    // The history of one dance row, kept also when [Display] has no label
    // for it, since later steps read it.
    struct Computed {
        int recent = 0;
        QString lastC;
        QString lastH;
    };

    const EvaluationInputs &in;
    EvaluationResult out;
    QList<Computed> computed;
    QStringList fieldColumns;
    QString timeColumn;
    double shownDay = 0;

    QChar sep{'.'};
    int clock = 0;
    int sessionStart = 0;
    int eventEnd = 0;
    bool previousPause = false;
    bool spare = false;
    bool extrasPassed = false;
    int levelSum = 0;
    int levelCount = 0;

    QString time(int minutes) const { return spare ? QString() : FormatHourMin(minutes, sep); }

    // The label of that name on row i, when the row carries one.
    LabelValue *label(int i, const QString &name) {
        const ProgrammeItem &item = in.rows[i];
        QString column;
        if (item.isHeading()) {
            if (!timeColumn.isNull() && SameText(name, timeColumn)) column = timeColumn;
        } else if (item.isDance()) {
            for (const DisplayColumn &c : in.columns)
                if (SameText(c.name, name)) {
                    column = c.name;
                    break;
                }
        }
        if (column.isNull()) return nullptr;
        return &out.rows[i].labels[column];
    }

    void setText(int i, const QString &name, const QString &text) {
        if (LabelValue *l = label(i, name)) l->text = text;
    }

    void setColour(int i, const QString &name, const Rgb &colour) {
        if (LabelValue *l = label(i, name)) l->colour = colour;
    }

    void setHint(int i, const QString &hint) {
        if (label(i, QStringLiteral("LastC"))) out.rows[i].lastCHint = hint;
    }

    void startClock() {
        const FoundTime found = FindTimeRange(in.ETime);
        clock = found.start;
        eventEnd = found.end;
        if (!found.separator.isNull()) sep = found.separator;
        sessionStart = clock;
    }

    bool firstPass() {
        QSet<QString> titlesSeen;
        for (int i = 0; i < in.rows.size(); ++i) {
            const ProgrammeItem &item = in.rows[i];
            switch (item.kind) {
            case ItemKind::Dance:
                if (item.key.Title.isEmpty()) break;
                if (!danceRow(i, titlesSeen)) {
                    out.stoppedAt = i;
                    return false;
                }
                titlesSeen.insert(item.key.Title);
                break;
            case ItemKind::Note:
                if (item.text.contains('|')) clock += 10;
                break;
            case ItemKind::Heading:
                if (IsExtrasHeading(item.text) || IsNextTimeHeading(item.text)) extrasPassed = true;
                headingRow(i);
                break;
            }
        }
        return true;
    }

    bool danceRow(int i, const QSet<QString> &titlesSeen) {
        const DanceKey &key = in.rows[i].key;
        for (const char *name : {"Recent", "LastC", "LastH", "Time"})
            setText(i, QLatin1String(name), QString());
        if (titlesSeen.contains(key.Title) && key.Title != Waltz) {
            computed[i].lastH = QStringLiteral("Today");
            setText(i, QStringLiteral("LastH"), computed[i].lastH);
            setColour(i, QStringLiteral("LastH"), Red);
        }

        std::optional<DanceFields> fields;
        if (in.dances) fields = in.dances->find(key);
        const auto field = [&](const QString &name) {
            return fields ? fields->value(name) : QString();
        };
        for (const QString &name : fieldColumns)
            setText(i, name, field(name));

        const std::optional<int> level =
            FieldNumber(field(QStringLiteral("Lvl")), QStringLiteral("Lvl"), key.Title);
        if (!timeColumn.isNull()) {
            int duration = 0;
            if (clock > 0) {
                duration = FieldNumber(field(QStringLiteral("Timing")), QStringLiteral("Timing"),
                                       key.Title)
                               .value_or(0);
                setText(i, timeColumn, time(clock));
            }
            if (level && field(QStringLiteral("Lvl")).trimmed().size() > 1) {
                out.stopMessage = key.Title + QStringLiteral("\rLevel must be 1-9");
                return false;
            }
            if (clock > 0 && !spare) {
                if (duration > 0)
                    clock += duration;
                else if (!key.Style.contains(QLatin1String("Break")))
                    clock += in.settings.timeTable[std::size_t(level.value_or(0))];
            }
        }
        if (!extrasPassed && level.value_or(0) > 0) {
            ++levelCount;
            levelSum += *level;
        }
        return true;
    }

    void headingRow(int i) {
        const QString &text = in.rows[i].text;
        if (!timeColumn.isNull()) setText(i, timeColumn, QString());
        spare = false;
        const int previous = clock;
        const FoundTime found = FindTimeRange(text);
        if (found.start > 0) {
            clock = found.start;
            if (!found.separator.isNull()) sep = found.separator;
        }
        const int end = found.end;
        const PauseKind kind = HeadingPause(text);

        if (kind != PauseKind::None && !previousPause && sessionStart > 0) {
            const int stated = StatedPauseLength(text);
            const int standard =
                kind == PauseKind::Interval ? in.settings.Interval : in.settings.Break;
            if (stated > 0)
                clock = previous + stated;
            else if (end == 0)
                clock = previous + standard;
            else if (previous == 0)
                clock = 0;
            else
                clock = previous + (end - found.start);
            previousPause = true;
            if (text.size() < 9) out.rows[i].caption = suggestedCaption(text, stated, standard);
        } else {
            setText(i, timeColumn, time(clock));
            if (IsSessionHeading(text)) sessionStart = clock;
            if (end > 0) eventEnd = end;
            previousPause = false;
        }

        if (text.isEmpty()) return;
        if (kind != PauseKind::None && clock > 0 && !timeColumn.isNull()) {
            LabelValue *l = label(i, timeColumn);
            l->text = time(previous);
            l->fontColour = Black;
            l->bold = false;
        }
        if (IsExtrasHeading(text) || IsNextTimeHeading(text)) spare = true;
    }

    // A bare pause heading with a place for the pause: half-way through what
    // is left of the event after the session start, rounded to ten minutes
    // when within two minutes or so of a multiple of ten.
    QString suggestedCaption(const QString &text, int stated, int standard) const {
        QString t = text;
        const qsizetype mark = t.indexOf(Guillemet);
        if (mark >= 0) t = t.left(std::max<qsizetype>(0, mark - 1));
        int length = standard;
        if (stated > 0) {
            length = stated;
            const qsizetype blank = t.indexOf(' ');
            if (blank >= 0) t = t.left(blank);
        }
        const int offset = (eventEnd - sessionStart - length + 15) / 2;
        int start = sessionStart + offset;
        const int r = start % 10;
        if (r >= 7)
            start += 10 - r;
        else if (r <= 2)
            start -= r;
        if (stated == 0) t += QStringLiteral(" ") + Guillemet;
        return t + ' ' + time(start) + QStringLiteral(" - ") + time(start + length);
    }

    QList<int> titledDanceRows() const {
        QList<int> rows;
        for (int i = 0; i < in.rows.size(); ++i)
            if (in.rows[i].isDance() && !in.rows[i].key.Title.isEmpty()) rows.append(i);
        return rows;
    }

    void historyBackwards() {
        if (!in.history) return;
        // The rows by title: each earlier programme is walked once, item by
        // item, and only a dance whose title is on show is searched for.
        QHash<QStringView, QList<int>> byTitle;
        QList<int> waltzes;
        for (int i : titledDanceRows()) {
            const QString &title = in.rows[i].key.Title;
            if (title == Waltz)
                waltzes.append(i);
            else
                byTitle[QStringView(title)].append(i);
        }
        if (byTitle.isEmpty() && waltzes.isEmpty()) return;
        const QString danceMark = in.separator + QStringLiteral("D|");
        QList<int> seenIn(in.rows.size(), -1); // the event a row last looked at
        int eventNumber = 0;
        in.history->eachBefore([&](const EventRecord &event) {
            const double day = DateToDayNumber(event.EDate);
            // Undated events sort last: one met here means no dated one follows.
            if (day == NoDate) return false;
            ++eventNumber;
            for (int i : waltzes) {
                setText(i, QStringLiteral("Lvl"), QString());
                setText(i, QStringLiteral("Called"), QString());
            }
            const QString &programme = event.Programme;
            CalledAt called{event, day, shownDay - day, {}, {}};
            qsizetype at = 0;
            while ((at = programme.indexOf(danceMark, at)) >= 0) {
                const qsizetype title = at + danceMark.size();
                const qsizetype bar = programme.indexOf('|', title);
                if (bar < 0) break;
                const auto found =
                    byTitle.constFind(QStringView(programme).sliced(title, bar - title));
                if (found != byTitle.cend())
                    for (int i : *found) {
                        // Only the first place that could hold the dance is looked at.
                        if (seenIn[i] == eventNumber) continue;
                        seenIn[i] = eventNumber;
                        calledBefore(i, programme, int(at) + 1, called);
                    }
                at = bar;
            }
            return true;
        });
    }

    // An earlier event being looked at; its date texts are made when needed.
    struct CalledAt {
        const EventRecord &event;
        double day;
        double daysBefore;
        QString dateShown;
        QString dateText;
    };

    // Row i against an earlier programme holding its title from position from.
    void calledBefore(int i, const QString &programme, int from, CalledAt &event) {
        const int at = FindDanceItem(programme, in.separator, in.rows[i].key, from);
        if (at == 0) return;
        // Dances kept for a later event were not called there.
        if (at > 1) {
            const qsizetype heading =
                PosBackNoCase(in.separator + QStringLiteral("O|"), programme, at - 1);
            if (heading > 0 && programme.mid(heading + 2, 9) == QLatin1String("Next time")) return;
        }
        if (event.dateShown.isNull()) {
            event.dateShown = FormatEventDate(event.day);
            event.dateText = DateWithoutWeekday(event.dateShown);
        }
        Computed &c = computed[i];
        if (event.daysBefore <= in.settings.CPeriod * MonthDays) {
            ++c.recent;
            setText(i, QStringLiteral("Recent"), QString::number(c.recent));
            if (c.recent > 6) setColour(i, QStringLiteral("Recent"), Green);
        }
        if (c.lastC.isEmpty()) {
            c.lastC = event.dateText;
            setText(i, QStringLiteral("LastC"), c.lastC);
            setHint(i, QStringLiteral("Last called: ") + event.dateShown + QStringLiteral(" for ") +
                           event.event.Org);
        }
        if (event.daysBefore <= NearDays) setColour(i, QStringLiteral("LastC"), Red);
        if (c.lastH.isEmpty() && event.event.Org == in.Org) {
            c.lastH = event.dateText;
            setText(i, QStringLiteral("LastH"), c.lastH);
        }
    }

    void historyForwards() {
        if (!in.history) return;
        QList<int> rows;
        QStringList marks;
        for (int i : titledDanceRows()) {
            if (in.rows[i].key.Title == Waltz) continue;
            rows.append(i);
            marks.append(in.separator + QStringLiteral("D|") + in.rows[i].key.Title + '|');
        }
        if (rows.isEmpty()) return;
        const QString nextTime = in.separator + QStringLiteral("O|Next time");
        const QString extras = in.separator + QStringLiteral("O|Extras");
        in.history->eachAfter([&](const EventRecord &event) {
            const double day = DateToDayNumber(event.EDate);
            if (day - shownDay > NearDays) return false;
            const QString &programme = event.Programme;
            // Only the dances above a "Next time" (else "Extras") heading are booked.
            qsizetype limit = programme.indexOf(nextTime);
            if (limit < 0) limit = programme.indexOf(extras);
            if (limit < 0) limit = programme.size();
            QString hint;
            for (int k = 0; k < rows.size(); ++k) {
                const qsizetype at = programme.indexOf(marks[k]);
                if (at < 0 || at >= limit) continue;
                if (hint.isNull())
                    hint = QStringLiteral("To be called: ") + FormatEventDate(day) +
                           QStringLiteral(" for ") + event.Org;
                setColour(rows[k], QStringLiteral("LastC"), Orange);
                setHint(rows[k], hint);
            }
            return true;
        });
    }

    void finish() {
        if (in.rows.isEmpty()) return;
        const ProgrammeItem &last = in.rows.last();
        if (!last.isNote() || !IsAverageLevelNote(last.text)) return;
        spare = false;
        if (levelCount == 0) {
            out.averageNote = EvaluationResult::AverageNote::Remove;
            return;
        }
        QString text = extrasPassed ? QStringLiteral("Average Level (ignoring Extras): ")
                                    : QStringLiteral("Average Level: ");
        const int tenths = levelSum * 10 / levelCount;
        text += QString::number(tenths / 10);
        if (tenths % 10 != 0) text += '.' + QString::number(tenths % 10);
        if (clock > 0) text += QStringLiteral("    Calculated finish time: ") + time(clock);
        out.averageNote = EvaluationResult::AverageNote::Set;
        out.averageText = text;
    }
};

} // namespace

TimeTable LoadTimeTable(const QStringList &timingLines) {
    TimeTable table = DefaultTimeTable;
    if (timingLines.size() != 9) return table;
    for (int level = 1; level <= 9; ++level) {
        const QString &line = timingLines[level - 1];
        if (const std::optional<int> minutes = WholeNumber(line.mid(2)))
            table[std::size_t(level)] = *minutes;
        else
            WriteLog(QStringLiteral("Not a number in Timings: ") + line);
    }
    return table;
}

int StatedPauseLength(const QString &headingText) {
    const qsizetype min = headingText.indexOf(QLatin1String("min"));
    if (min <= 0) return 0;
    qsizetype i = min - 1;
    if (headingText[i] == ' ') --i;
    if (i < 0 || !isDigit(headingText[i])) return 0;
    int length = headingText[i].unicode() - '0';
    if (i > 0 && headingText[i - 1] >= '1' && headingText[i - 1] <= '9')
        length += 10 * (headingText[i - 1].unicode() - '0');
    return length;
}

const LabelValue *RowEvaluation::label(const QString &name) const {
    for (auto it = labels.constBegin(); it != labels.constEnd(); ++it)
        if (SameText(it.key(), name)) return &it.value();
    return nullptr;
}

QString RowEvaluation::text(const QString &name) const {
    const LabelValue *l = label(name);
    return l ? l->text : QString();
}

EvaluationResult Evaluate(const EvaluationInputs &inputs) {
    return Evaluator(inputs).run();
}
