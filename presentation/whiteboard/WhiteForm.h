#pragma once
// The whiteboard window: the board with its control panel (steps, play,
// save) and option panel, the chooser of items, and the pop-up menu. The
// item, step and play logic is WhiteboardItem, WhiteboardEditor and
// WhiteboardPlayer; the window reads its controls, calls them and shows the
// result.

#include "presentation/whiteboard/WhiteBoard.h"
#include "presentation/whiteboard/WhiteboardPlayer.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <memory>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// A picture that acts as a button (the play and go images).
class TImageButton : public QLabel {
public:
    TImageButton(const QString &name, const QString &hint, QWidget *parent);
    void showImage(const QString &imageName);
    QString shownImage;
    std::function<void()> onClick, onRightClick;

protected:
    void mousePressEvent(QMouseEvent *) override;
};

class TWhiteForm : public QDialog {
public:
    // clock: the animation's clock; null for the window's own timer.
    explicit TWhiteForm(QWidget *parent = nullptr, AnimationClock *clock = nullptr);
    ~TWhiteForm() override;

    WhiteboardEditor editor;
    TWhiteBoard *Board;
    QWidget *CPanel, *RPanel;
    QLabel *DanceName, *MaxStepD;
    QLineEdit *StepNo, *Comment;
    QPushButton *SaveStep, *AddBtn, *DelBtn, *CancelBtn, *Save, *SaveAs, *DelDance, *View;
    TImageButton *GoFirst, *GoPrev, *GoNext, *GoLast, *Play, *PlayAll, *Stop;
    QCheckBox *ShowGrid, *Centre, *Pauses, *Slow;
    QPlainTextEdit *Lines;
    QMenu *PopupMenu;
    QAction *ExitM, *RestoreM, *LargeM, *DescM, *ImageM, *TextM, *ImportM, *FigureM, *HandM,
        *DebugM, *TimingsM;

    QString itemName;    // the open item ("" when none)
    bool named = false;  // saved under its name
    bool addFigureOn = false;

    // Chooser buttons: the start screen's ("Open", "New", "Figure") and the
    // items of the last chooser.
    QList<QPushButton *> chooserButtons() const;

    void FormActivate();
    // The start screen (mode empty) or the chooser of "Open", "New", "Figure".
    void NewOpen(const QString &mode);
    // A chooser button: opens an item, shows a chooser or adds a figure.
    void ButtonClick(const QString &name, bool startScreen = false);
    void ResetAll();
    void CheckSave();
    void SaveClick(bool saveAs);
    void DelDanceClick();
    void RestoreClick();
    void ImportClick();
    void AddFigure(const QString &name);
    void ShowInfo();
    void ShowImage();
    void ShowChanged(bool stepChanged);
    void MyClick(int number, int turn);
    void SaveStepClick();
    void AddBtnClick();
    void DelBtnClick();
    void DelBtnRClick();
    void CancelBtnClick();
    // target: "GoFirst", "GoPrev", "GoNext", "GoLast" or "StepNo".
    void GoClick(const QString &target);
    void StepNoChange();
    void ViewClick();
    void ReView();
    void ImageMClick();
    void TextMClick();
    void DescClick();
    void HandClick();
    void PlayClick(WhiteboardPlayer::Start how);
    void PlayRClick(bool playAll);
    void StopClick();
    void OnTimer();
    // Space and Esc; true when the key was used.
    bool FormShortCut(int key);

    WhiteboardPlayer &player() { return *playerPtr; }

protected:
    void showEvent(QShowEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void openItem(const QString &name);
    void refresh();
    void showPlayImages();
    void syncOptions();
    void buzz();
    int S(int v) const;

    std::unique_ptr<AnimationClock> ownClock;
    std::unique_ptr<WhiteboardPlayer> playerPtr;
    QList<QPushButton *> startButtons, itemButtons;
    bool activated = false;
};

// The whiteboard open now (null when none); the main window closes it when
// another program asks for an item.
TWhiteForm *OpenWhiteboard();
