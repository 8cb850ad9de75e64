#include "core/dances/DanceShow.h"

#include "core/dances/MusicText.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"

bool ShowingDance = false;
QString LastInstructions;
QString LastFooter;
// NbspState itself lives with the instruction boxes (presentation/InstructionEdit.cpp).

QString PlayFile;
bool CdTrack = false;
bool MidFile = false;
QString CurrentMusicLine;
int ChosenMusicLine = 0;
QString MusicText;

void ResetDanceShowState() {
    ShowingDance = false;
    LastInstructions.clear();
    LastFooter.clear();
    NbspState = QLatin1Char('N');
    PlayFile.clear();
    CdTrack = MidFile = false;
    CurrentMusicLine.clear();
    ChosenMusicLine = 0;
    MusicText.clear();
}

void MarkDanceChanged(Dataset &dances) {
    if (dances.Modified() || ShowingDance || !dances.active()) return;
    dances.Edit();
    Field &printed = dances.FieldByName(QStringLiteral("Printed"));
    printed.SetValue(printed.Value());
}

namespace {

const QString CrLf = QStringLiteral("\r\n");

qsizetype lineBreak(const QString &s) {
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i] == QLatin1Char('\r') || s[i] == QLatin1Char('\n')) return i;
    return -1;
}

QString firstLine(const QString &s) {
    const qsizetype at = lineBreak(s);
    return at < 0 ? s : s.left(at);
}

} // namespace

MusicShown ShowMusic(const MusicInput &in) {
    MusicShown out;
    out.musicText = in.music;
    const qsizetype sepAt = in.music.indexOf(in.sep);
    const bool hasSep = sepAt >= 0;
    QString current = hasSep ? in.music.mid(sepAt + 1) : QString();

    if (hasSep && in.isRec) {
        current = RecordingLine(in.music, in.sep, in.chosenLine);
        out.boxText = current;
    } else {
        const QString live = hasSep ? in.music.left(sepAt) : in.music;
        if (lineBreak(live) >= 0) {
            const QString first = firstLine(live);
            out.moreThanOneLine = true;
            out.multiLineText = live;
            out.message = QStringLiteral("Music field is more than one line:\r") + live +
                          QStringLiteral("\r\rUsing first line only.");
            out.musicText = first + (hasSep ? in.music.mid(sepAt) : QString());
            out.boxText = first;
        } else {
            out.boxText = live;
        }
    }
    out.currentMusicLine = current;

    out.panelHeight = in.playing ? 116 : 75;
    out.pauseHint = QStringLiteral("Pause");
    out.panelVisible = in.playing;
    if (hasSep && in.locationColumn >= 0) {
        // Only the chosen (else the first) recording line counts: a missing
        // column gives no location rather than one from the next line.
        const QString line = in.isRec ? current : RecordingLine(in.music, in.sep, 1);
        const QStringList columns = line.split(in.sep);
        const QString location = in.locationColumn < columns.size() ? columns[in.locationColumn] : QString();
        if (!location.isEmpty()) {
            out.playFile = location;
            out.panelVisible = true;
            out.playHint = in.fullScreen ? QStringLiteral("NOTE:  You can also Play and Stop by pressing [Return].\r")
                                         : QStringLiteral("Play...");
            for (int i = 0; i < in.recordedKeys.size() && i < columns.size(); ++i)
                if (!columns[i].isEmpty())
                    out.playHint += QLatin1Char('\r') + in.recordedKeys[i] + QStringLiteral(": ") + columns[i];
        }
    }
    const QString upper = FoldUpper(out.playFile);
    // Only a drive is a CD: M4A files play in the program's own player.
    out.cdTrack = out.playFile.size() == 2 && out.playFile[1] == QLatin1Char(':');
    out.midFile = upper.endsWith(QLatin1String(".MID"));
    return out;
}

QString DanceRtfHead(const QString &font) {
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 ") + font +
           QStringLiteral(";}{\\f1\\fnil\\fcharset0 Arial Black;}{\\f2\\froman\\fcharset0 Times New Roman;}}") +
           QStringLiteral("{\\colortbl ;\\red128\\green255\\blue255;\\red\\green0\\blue0;}\\viewkind4\\uc1\\pard");
}

QString DanceRtfParagraph(const QString &gap, const QString &halfPoints) {
    return QStringLiteral("\\sa") + gap + QStringLiteral("\\simult0\\fs") + halfPoints + QLatin1Char(' ') + CrLf;
}

QString WrapPlainText(const QString &text, const QString &prefix) {
    if (text.startsWith(QLatin1Char('{'))) return text;
    QString body = text;
    body.replace(CrLf, CrLf + QStringLiteral("\\par "));
    body.replace(QLatin1Char('\t'), QStringLiteral("\\tab "));
    return prefix + body + CrLf + QLatin1Char('}') + CrLf;
}

QString FixFirstFontSize(const QString &rtf, int cardSize, const QString &halfPoints) {
    if (cardSize == 12) return rtf;
    const qsizetype at = rtf.indexOf(QLatin1String("\\fs"));
    if (at < 0) return rtf;
    const qsizetype digits = at + 3;
    qsizetype end = digits;
    while (end < rtf.size() && rtf[end].isDigit() && rtf[end].unicode() < 128) ++end;
    if (QStringView(rtf).mid(digits, end - digits) != QLatin1String("24")) return rtf;
    QString out = rtf;
    out.replace(digits, end - digits, halfPoints);
    return out;
}

QChar NbspStateFor(const QString &rtf, QChar current) {
    if (current == QLatin1Char('D')) return current;
    return rtf.contains(QLatin1String("\\~")) ? QLatin1Char('T') : QLatin1Char('N');
}

QString CloseRtf(const QString &trimmed) { return trimmed + CrLf + QStringLiteral("\\par }") + CrLf; }

QString JoinFooter(const QString &trimmedInstructions, const QString &closedFooter) {
    const qsizetype cr = closedFooter.indexOf(QLatin1Char('\r'));
    return trimmedInstructions + QStringLiteral("\\plain\\par \\par") + (cr < 0 ? closedFooter : closedFooter.mid(cr));
}

QList<QPair<int, int>> HighlightRanges(const QString &text, const QString &value) {
    QList<QPair<int, int>> out;
    if (value.isEmpty()) return out;
    qsizetype at = 1;
    while (at <= text.size() && (at = PosNoCase(value, text, at)) > 0) {
        out.append({int(at - 1), int(value.size())});
        at += value.size();
    }
    return out;
}

int NotesWantedHeight(int measured, const QString &text, int lineHeight) {
    if (text.isEmpty()) return lineHeight;
    int h = measured + 1;
    if (h == 1 || h > 100000) h = lineHeight;
    if (text.endsWith(CrLf)) h += lineHeight;
    return h;
}

NotesBox NotesBoxFor(int wanted, int notesLines, int lineHeight) {
    const int most = notesLines * lineHeight + 1;
    if (most >= wanted) return {wanted, false};
    return {most, true};
}

QString ToWidgetText(const QString &stored) {
    QString s = stored;
    s.replace(CrLf, QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString FromWidgetText(const QString &shown) {
    QString s = ToWidgetText(shown);
    s.replace(QLatin1Char('\n'), CrLf);
    return s;
}

QString TemplatePath() {
    QString name = SettingText(QStringLiteral("User"), QStringLiteral("Template"));
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return DataFolder + name;
}

bool ParseNumberText(const QString &text, int *n) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    if (i == t.size()) return false;
    for (qsizetype j = i; j < t.size(); ++j)
        if (t[j] < QLatin1Char('0') || t[j] > QLatin1Char('9')) return false;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX) return false;
    if (n) *n = int(v);
    return true;
}
