#pragma once
// The full-screen display: a borderless window that shows one programme item
// at a time, large, with the time to the session's start or end, the
// recording line, the notes, the square-sequence steps and the playback
// controls; and the notes view, which edits a notes box full-screen. It
// reaches the main window only through MainWindowLink.

#include "presentation/fullscreen/FullControls.h"
#include "presentation/fullscreen/SquareSequence.h"
#include "presentation/fullscreen/TechniqueNotes.h"

#include <QDialog>

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSlider;
class QTimer;
class QToolButton;
class RichEdit;

class TFull : public QDialog {
    Q_OBJECT
public:
    explicit TFull(QWidget *parent = nullptr);
    ~TFull() override;

    RichEdit *FullText;
    QFrame *TimePnl;
    QLabel *TimeLab;
    QFrame *HPanel;
    QLabel *H1, *H2, *H3, *H4;
    QLabel *BFPanel, *InitPnl, *NotesPnl, *NumLock, *QuoteMsg;
    QFrame *SpeedBox, *VolBox;
    QToolButton *SpeedUp, *SpeedDown, *VolUp, *VolDown;
    QLineEdit *SpeedVal, *VolVal;
    QSlider *TrackBar;
    QLabel *SHPanel, *ClosePanel;
    QMenu *Pop;
    QAction *S100, *S150, *S200, *S250, *S300, *Custom, *ShowSize, *FullWidth, *FullHeight, *FullSize,
        *Special, *ExitM;
    QTimer *Timer, *VolTimer, *SpeedTimer;

    // Display state.
    bool SequenceMode = false;
    bool SwapShown = false;
    bool NotesJumped = false;
    bool TouchMode = false;
    bool Fading = false;
    SquareSequence Sequence;
    HeldButton VolumeButton = HeldButton::None;
    HeldButton SpeedButton = HeldButton::None;

    // Shows the window modally over the programme; returns when it closes.
    void RunNormal();
    // Shows it modally on a notes box: editable; Esc copies the text back.
    void RunNotes(QPlainTextEdit *memo);
    // What RunNormal and RunNotes do before exec(): tests show the window so.
    void PrepareNormal();
    void PrepareNotes(QPlainTextEdit *memo);
    bool NotesMode() const { return notesSource != nullptr; }

    void FormShow();
    // Lays out the current item; fromStep: a Space step chose it.
    void ShowItem(bool fromStep = false);
    // The display's keys; true when the key was taken.
    bool FormShortcut(QKeyEvent *event);
    void ShowMins();
    void UpdateHeader();

    // Controls.
    void SizeClick(QAction *item);
    void ApplyZoom(int zoom);
    int Zoom() const { return zoom; }
    void ShowSizeClick();
    void Popup();
    void FullWidthClick();
    void FullHeightClick();
    void FullSizeClick();
    void SetScreen();
    void VTimer();
    void STimer();
    void VolValChange();
    void SpeedValChange();
    void TrackBarChange();
    void SeekToMark();
    void MDown(QMouseEvent *event);
    void ToggleControls();
    void ExitMClick();
    void SpecialClick();
    // A button of the special-character panel: its character at the caret.
    void SBClick(const QString &caption);
    // Hides the speed controls and puts the speed back to 100.
    void ResetSpeed();
    void ShowNumLock(bool on);
    // The playback clock's percentage, unless the bar is being dragged.
    void SetTrackPosition(int percent);
    // F11 / F12.
    void StepHeading(bool forward);
    // Maintainer mode: the technique notes of the current dance in the browser.
    void NotesPnlClick();
    // The technique-notes index (maintainer mode; empty otherwise).
    QList<TechniqueEntry> Technique;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void LayOutPanels();
    void ShowText(const QString &rtf, const QColor &background);
    void ScrollTo(int textPos);
    void ShowControls(bool on);

    QPlainTextEdit *notesSource = nullptr;
    int zoom = 100;
    bool ctrlAlone = false;
    bool formShown = false;
};

// The display, made on first use and kept; null before.
extern TFull *Full;
TFull &FullWindow(QWidget *owner = nullptr);
// The display is showing (made and not closed).
bool FullScreenShowing();
// The full-screen command's part: the display over the programme.
void RunFullScreen(QWidget *owner);
// The notes view of a notes box: the one entry point for a double-click on
// notes that is not on a link.
void RunNotesView(QPlainTextEdit *memo, QWidget *owner);
// The programme walk: the speed controls hidden and the speed back to 100.
void ResetFullScreenSpeed();
void ShowFullScreenNumLock(bool on);
// The playback clock's percentage for the position bar.
void SetFullScreenTrackBar(int percent);
