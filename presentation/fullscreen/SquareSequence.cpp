#include "presentation/fullscreen/SquareSequence.h"

#include "presentation/fullscreen/FullTimes.h"

namespace {

bool IsBreak(const ProgrammeItem &row) { return row.key.Style == QLatin1String("Break"); }
bool IsSquare(const ProgrammeItem &row) { return row.isDance() && row.key.Format == QLatin1String("Square"); }
bool HasLetter(const ProgrammeItem &row, QChar letter) {
    return row.isDance() && !letter.isNull() && row.key.Format.startsWith(letter);
}

} // namespace

bool InNoWalkThroughSession(const QList<ProgrammeItem> &rows, int current) {
    const int heading = NearestSessionHeading(rows, current);
    return heading >= 0 && rows[heading].text.contains(QLatin1String("without a walk"), Qt::CaseInsensitive);
}

QString SquareSequence::Initialise(const QList<ProgrammeItem> &rows, int current) {
    *this = SquareSequence();
    if (current < 0 || current >= rows.size() || !rows[current].isDance()) return QString();
    const QString &format = rows[current].key.Format;
    FormatLetter = format.isEmpty() ? QChar() : format.at(0);
    if (FormatLetter != QLatin1Char('S') && FormatLetter != QLatin1Char('L')) {
        FormatLetter = QChar();
        return QString();
    }
    if (!InNoWalkThroughSession(rows, current)) return QString();
    blockFirst = current;
    while (blockFirst > 0 && HasLetter(rows[blockFirst - 1], FormatLetter)) --blockFirst;
    FirstFigure = blockFirst;
    panelShown = true;
    if (FormatLetter == QLatin1Char('L')) return QString();
    if (IsBreak(rows[FirstFigure])) {
        FirstBreak = FirstFigure;
        while (FirstFigure < rows.size() && !(IsSquare(rows[FirstFigure]) && !IsBreak(rows[FirstFigure]))) {
            if (!rows[FirstFigure].isDance()) break;
            ++FirstFigure;
        }
        if (FirstFigure >= rows.size() || !rows[FirstFigure].isDance()) {
            panelShown = false;
            return QStringLiteral("No figure found after break(s)");
        }
    }
    SavedPlace = FirstBreak;
    SavedFigure = FirstFigure;
    int count = 1;
    for (int i = FirstFigure + 1; i < rows.size() && IsSquare(rows[i]); ++i, ++count) {
        if (IsBreak(rows[i])) {
            panelShown = false;
            return QStringLiteral("The Breaks all need to come before the Figures.");
        }
    }
    if (count != 4) {
        panelShown = false;
        return QStringLiteral("No-walkthrough square should have 4 figures, not ") + QString::number(count);
    }
    return QString();
}

QString SquareSequence::PanelText(const QList<ProgrammeItem> &rows, int current) const {
    if (ended) return QStringLiteral("Sequence ended");
    if (FormatLetter == QLatin1Char('S') && IsBreak(rows[current]) && FirstBreak >= 0)
        return QStringLiteral("Br") + QString::number(current - FirstBreak + 1);
    return QString::number(current - FirstFigure + 1);
}

int SquareSequence::Step(const QList<ProgrammeItem> &rows, int current) {
    if (!panelShown || ended) return current;
    if (FormatLetter == QLatin1Char('L')) {
        const int next = current + 1;
        return next < rows.size() && HasLetter(rows[next], FormatLetter) ? next : blockFirst;
    }
    const auto letter = [this](const char *set) { return QByteArray(set).contains(StepLetter.toLatin1()); };
    // Without breaks the steps that go to a break are skipped.
    if (FirstBreak < 0 && letter("ACFIL")) StepLetter = QChar(StepLetter.unicode() + 1);
    int next = current;
    if (StepLetter > QLatin1Char('L')) {
        ended = true;
        return current;
    }
    if (letter("ADGJ")) {
        SavedPlace = current;
        next = letter("AJ") ? FirstFigure : FirstFigure + 2;
    } else if (letter("BEHK")) {
        next = current + 1;
    } else {
        SavedFigure = current;
        next = SavedPlace + 1;
        if (next >= rows.size() || !IsBreak(rows[next])) next = FirstBreak;
    }
    StepLetter = QChar(StepLetter.unicode() + 1);
    return next;
}

bool SquareSequence::SwapDue() const {
    return !ended && QByteArray("EFKL").contains(StepLetter.toLatin1());
}
