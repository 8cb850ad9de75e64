#pragma once
// The progress box of long runs: made at start-up and reused by every run
// (core/dialogs/Progress.h holds the logic of a run).

#include "core/dialogs/Progress.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TProgBox : public QDialog, public ProgressView {
    Q_OBJECT
public:
    // Installs itself as the view of every run (and as ProgBox when none is set).
    explicit TProgBox(QWidget *parent = nullptr);
    ~TProgBox() override;

    QPlainTextEdit *ProgText;
    QLabel *ELabel;
    QPushButton *CancelBtn;
    QPushButton *PrintBtn;
    QFrame *Gauge;
    QFrame *Filler;

    void CancelBtnClick();
    void PrintBtnClick();

    // ProgressView
    void startRun(const QString &caption, int width) override;
    void setBoxWidth(int width) override;
    void showBox() override;
    void appendLine(const QString &line) override;
    int lineCount() const override { return int(lines.size()); }
    void setErrorLabel(const QString &text) override;
    void showGauge(int percent) override;
    void startClosing(bool verticalScrollBar) override;
    void showPrint() override;
    void review() override;
    void endRun() override;

    const QStringList &shownLines() const { return lines; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool event(QEvent *event) override;

private:
    bool reviewing() const;
    // Keeps the window with its frame and title bar on the screen's free area.
    void fitToScreen();
    QStringList lines;
};

extern TProgBox *ProgBox;
