#pragma once
// The list of tag sets to choose the current one from.

#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;

class TTagForm : public QDialog {
    Q_OBJECT
public:
    explicit TTagForm(QWidget *parent = nullptr);

    // Lists the names; a click on one chooses it, Cancel (or Esc) chooses none.
    std::optional<QString> Execute(const QStringList &names);

    QListWidget *TList;
    QPushButton *ExitBtn;

private:
    QString chosen;
};

// Shows a TTagForm made for the occasion and frees it again.
std::optional<QString> ChooseTagSet(const QStringList &names);
