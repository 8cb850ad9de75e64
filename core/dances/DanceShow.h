#pragma once
// What the Dances page shows for a dance, worked out without the window: the
// music box and the play controls from the music text, the rich text of the
// instructions and footer, the filter highlight, the notes box's height, and
// small helpers of the page.

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// ---- state of the shown dance ---------------------------------------------------

// Set while the page's boxes are being filled: their change handlers ignore
// the changes then.
extern bool ShowingDance;
// The instructions and footer rich text last composed for the editor.
extern QString LastInstructions;
extern QString LastFooter;
// "N" or "T" after each show ("T": the instructions hold a non-breaking
// space); "D" is set elsewhere and left alone.
extern QChar NbspState;

// Puts the state of this file back to its start (tests).
void ResetDanceShowState();

class Dataset;
// A box of the dance that is not bound to a field changed: the record is
// put in edit with Printed written back with its own value, so that it counts
// as modified and is posted (or cancelled) when it is left. Nothing while a
// dance is being shown, when the record is already modified, or when the
// table is closed.
void MarkDanceChanged(Dataset &dances);

// ---- music ---------------------------------------------------------------------

// The play controls' state, read by playback and the music dialog.
extern QString PlayFile;         // location of the recording to play
extern bool CdTrack;             // it is a CD track ("X:" or ".M4A")
extern bool MidFile;             // it ends in ".MID"
extern QString CurrentMusicLine; // the recordings part of the music text
// The recording line chosen in the music dialog (0 = none).
extern int ChosenMusicLine;
// The music text being edited for the shown dance.
extern QString MusicText;

struct MusicInput {
    QString music;            // the Music field
    QChar sep;                // the programme separator
    int chosenLine = 0;       // the recording line asked for (below 1 counts as 1)
    bool isRec = false;       // the event's band is recorded music
    int locationColumn = -1;  // the Location column, -1 for none
    QStringList recordedKeys; // the column names, in order
    bool playing = false;
    bool fullScreen = false;  // the full-screen display exists
};

struct MusicShown {
    QString boxText;           // what the music box shows
    QString musicText;         // MusicText afterwards
    QString currentMusicLine;  // CurrentMusicLine afterwards (the chosen line when one was picked)
    bool moreThanOneLine = false; // the live text had several lines: musicText keeps the first
    QString multiLineText;     // the live text as it was, for the log and the message
    QString message;           // the message to show then
    QString playFile;
    bool cdTrack = false;
    bool midFile = false;
    QString playHint;          // the Play button's hint ("" when it stays as it was)
    QString pauseHint;
    bool panelVisible = false;
    int panelHeight = 75;
};

// The music box and play controls for a music text. The location is read
// from the first line of the recordings only (a line break ends it), so a
// line without a location never borrows one from the next line.
MusicShown ShowMusic(const MusicInput &in);

// ---- rich text -------------------------------------------------------------------

// Primary-font header of the shown instructions.
QString DanceRtfHead(const QString &font);
// Paragraph start: "\sa" + gap + "\simult0\fs" + half-points + " " CR LF.
QString DanceRtfParagraph(const QString &gap, const QString &halfPoints);
// Plain text made rich: each CR LF gains "\par ", each tab becomes "\tab ",
// wrapped as prefix + text + CR LF "}" CR LF. Text starting "{" is returned
// as it is.
QString WrapPlainText(const QString &text, const QString &prefix);
// The size rule: when the card size is not 12 and the first "\fs" of the
// text gives 24, that value becomes halfPoints.
QString FixFirstFontSize(const QString &rtf, int cardSize, const QString &halfPoints);
// "T" when the text holds a non-breaking space ("\~"), else "N"; a "D"
// stays "D".
QChar NbspStateFor(const QString &rtf, QChar current);
// The instructions as stored for the editor: trimmed + CR LF "\par }" CR LF.
QString CloseRtf(const QString &trimmed);
// The instructions and footer in one text: the trimmed instructions,
// "\plain\par \par", then the closed footer from its first CR on (the footer
// without its header line).
QString JoinFooter(const QString &trimmedInstructions, const QString &closedFooter);

// Where each occurrence of value stands in text (start, length), found
// through the program's case fold, without overlaps; none for an empty value.
QList<QPair<int, int>> HighlightRanges(const QString &text, const QString &value);

// ---- notes box -------------------------------------------------------------------

// The height the notes box's text wants for a measured text height:
// measured + 1, one line when that is 1 or above 100000, plus one line when
// the text ends in CR LF; one line for an empty text. A line is 14 pixels in
// the old box's font; the window passes its own font's line height.
int NotesWantedHeight(int measured, const QString &text, int lineHeight = 14);
struct NotesBox {
    int height;
    bool scrollBar;
};
// Up to notesLines lines + 1 the box grows; above it, it keeps that height
// with a vertical scroll bar.
NotesBox NotesBoxFor(int wanted, int notesLines, int lineHeight = 14);

// Widget texts use "\n" for line breaks; the catalogue stores CR LF (a lone
// CR counts too).
QString ToWidgetText(const QString &stored);
QString FromWidgetText(const QString &shown);

// ---- helpers -----------------------------------------------------------------------

// DataFolder + [User] Template.
QString TemplatePath();
// A whole number as typed: blanks around it, an optional sign, decimal
// digits, within 32 bits.
bool ParseNumberText(const QString &text, int *n);
