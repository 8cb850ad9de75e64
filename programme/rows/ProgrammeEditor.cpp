#include "programme/rows/ProgrammeEditor.h"

#include "base/Cp1252.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/ProgrammeText.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString NextTime = QStringLiteral("Next time");

QString WithItems(const QString &progText, QChar sep) { return progText.isEmpty() ? QString(sep) : progText; }

QList<int> Descending(int from, int to) {
    QList<int> out;
    for (int i = to - 1; i >= from; --i) out.append(i);
    return out;
}

} // namespace

// The average row never reaches the string, wherever Shift+Down put it.
int WrittenIndex(const QList<ProgrammeItem> &rows, int index) {
    int written = 0;
    for (int i = 0; i < index && i < rows.size(); ++i)
        if (ItemIsWritten(rows[i])) ++written;
    return written;
}

bool IsSessionRow(const ProgrammeItem &row) { return row.isHeading() && IsSessionHeading(row.text); }

bool IsAverageRow(const ProgrammeItem &row) { return !ItemIsWritten(row); }

int SectionStart(const QList<ProgrammeItem> &rows, int from) {
    if (rows.isEmpty()) return -1;
    from = std::clamp(from, 0, int(rows.size()) - 1);
    while (from > 0 && !IsSessionRow(rows[from])) --from;
    return from;
}

ClipResult CopyToClip(ClipCommand command, const QList<ProgrammeItem> &rows, const QList<bool> &marks,
                      int thisIndex, const QString &progText, QChar sep, const QString &clip, bool keepClip) {
    ClipResult result;
    result.clip = keepClip ? clip : QString();
    const qsizetype before = result.clip.size();
    const bool anyMark = marks.contains(true);
    const bool selected = thisIndex >= 0 && thisIndex < rows.size();
    if (command == ClipCommand::Selected && anyMark) {
        for (int i = 0; i < rows.size() && i < marks.size(); ++i)
            if (marks[i]) AppendToClip(result.clip, rows[i], sep);
    } else if ((command == ClipCommand::Section || command == ClipCommand::CutSection) && selected) {
        const int start = SectionStart(rows, thisIndex);
        for (int i = start; i < rows.size(); ++i) {
            if (i > start && IsSessionRow(rows[i])) break;
            if (IsAverageRow(rows[i])) continue;
            AppendToClip(result.clip, rows[i], sep);
            if (command == ClipCommand::CutSection) result.released.prepend(i);
        }
    } else if (progText.size() > 1) {
        result.clip += progText.chopped(1);
    }
    // Nothing to copy leaves the clipboard as the user had it.
    if (result.clip.size() == before) result.clip = clip;
    return result;
}

QString PasteClip(const QString &progText, QChar sep, int thisIndex, const QString &clip) {
    QString text = WithItems(progText, sep);
    const int pos = ItemEndPos(text, sep, thisIndex);
    text.insert(pos - 1, sep + QStringLiteral("N|") + InsertedNote + clip + sep + QStringLiteral("N|")
                             + EndInsertedNote);
    return text;
}

QString InsertBeforeRow(const QString &progText, QChar sep, int headingIndex, const QString &clip) {
    QString text = WithItems(progText, sep);
    text.insert(ItemEndPos(text, sep, headingIndex - 1) - 1, clip);
    return text;
}

QList<int> EraseSectionRows(const QList<ProgrammeItem> &rows, int thisIndex) {
    const int start = SectionStart(rows, thisIndex > 0 ? thisIndex - 1 : 0);
    if (start < 0 || IsAverageRow(rows[start])) return {};
    int end = start + 1;
    while (end < rows.size() && !IsSessionRow(rows[end]) && !IsAverageRow(rows[end])) ++end;
    return Descending(start, end);
}

QList<int> MarkedRows(const QList<bool> &marks) {
    QList<int> out;
    for (int i = int(marks.size()) - 1; i >= 0; --i)
        if (marks[i]) out.append(i);
    return out;
}

QList<int> EmptyDanceRows(const QList<ProgrammeItem> &rows) {
    QList<int> out;
    for (int i = int(rows.size()) - 1; i >= 0; --i)
        if (rows[i].isDance() && rows[i].key.Title.isEmpty()) out.append(i);
    return out;
}

int SelectionAfterDelete(int rowsLeft, int thisIndex) {
    if (rowsLeft <= 0) return -2;
    return thisIndex >= rowsLeft ? rowsLeft - 1 : thisIndex;
}

BlankResult BlankDances(const QList<ProgrammeItem> &rows) {
    BlankResult result;
    result.rows = rows;
    bool underNextTime = false;
    for (ProgrammeItem &row : result.rows) {
        if (row.isDance() && !underNextTime) {
            // A blank row chooses no recording either.
            row.key = DanceKey();
            row.recording = 0;
        } else if (row.isHeading()) {
            underNextTime = row.text.contains(NextTime);
            if (underNextTime) row.text = QStringLiteral("Extras");
        }
    }
    result.lastWasNextTime = underNextTime;
    return result;
}

QString AddExtras(const QString &progText, QChar sep, const QList<ProgrammeItem> &rows, bool lastWasNextTime) {
    QString block = lastWasNextTime ? QString() : sep + QStringLiteral("O|Extras");
    for (int i = 0; i < 4; ++i) block += sep + QStringLiteral("D|||");
    QString text = WithItems(progText, sep);
    text.insert(text.size() - 1, block);
    for (int i = int(rows.size()) - 1; i >= 1; --i) {
        if (!IsSessionRow(rows[i])) continue;
        text.insert(ItemEndPos(text, sep, WrittenIndex(rows, i) - 1) - 1, block);
    }
    return text;
}

QString NextTimeProgramme(const QString &programme, QChar sep) {
    const QString cut = sep + QStringLiteral("O|");
    QStringList kept;
    for (const QString &piece : programme.split(cut)) {
        if (!piece.startsWith(NextTime)) continue;
        // The whole heading goes, also one with more after "Next time".
        const qsizetype s = piece.indexOf(sep);
        kept.append(s < 0 ? QString() : piece.mid(s));
    }
    QString result = kept.join(cut);
    while (result.endsWith(sep)) result.chop(1);
    return result.isEmpty() ? QString() : result + sep;
}

QString EnteredHeading(const QString &text) {
    QString out = text;
    if (out.startsWith(QLatin1String("interval")) || out.startsWith(QLatin1String("break")))
        out[0] = out[0].toUpper();
    if (HeadingPause(out) != PauseKind::None) out.remove(Guillemet);
    return out;
}

bool AsksReplace(const ProgrammeItem &target, const QString &chosenTitle) {
    return target.kind == ItemKind::Dance && !target.key.Title.isEmpty() && target.key.Title != chosenTitle;
}

bool AlreadyOnProgramme(const QList<ProgrammeItem> &rows, int target, const QString &chosenTitle) {
    if (chosenTitle == QLatin1String("Waltz")) return false;
    for (int i = 0; i < rows.size(); ++i)
        if (i != target && rows[i].kind == ItemKind::Dance && rows[i].key.Title == chosenTitle) return true;
    return false;
}

int NextBlankDance(const QList<ProgrammeItem> &rows, int target) {
    const int next = target + 1;
    if (next <= 0 || next >= rows.size()) return -1;
    return rows[next].kind == ItemKind::Dance && rows[next].key.Title.isEmpty() ? next : -1;
}
