#pragma once
// "Recordings": the match list of the Music dialog's search, a tool window
// that stays on top. A click on a match puts its path into the dialog's
// Location cell, or, in the third column, plays it.

#include <QDialog>
#include <QList>
#include <functional>

class QPushButton;
class QTableWidget;
struct SearchMatch;

class TRecsForm : public QDialog {
public:
    explicit TRecsForm(QWidget *parent = nullptr);

    QTableWidget *Matches;
    QPushButton *ExitBtn;
    // Where a chosen path goes (the Music dialog's Location cell).
    std::function<void(const QString &path)> OnChoose;

    // Fills the list with the matches (lines of RecordingFileList).
    void ShowMatches(const QList<SearchMatch> &matches);
    void MatchesClick(int row, int column);
    void ExitBtnClick();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QList<int> lines; // each row's line of RecordingFileList
};
