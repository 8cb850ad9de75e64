#pragma once
// A row of buttons that moves through a dataset and edits it: First, Prior,
// Next, Last, Insert, Delete, Post and Cancel. Each button is enabled only
// when its action makes sense for the dataset's position and state. A hook
// runs before the action (throwing there stops it) and a signal follows it.

#include "platform/sqlite/Dataset.h"

#include <QList>
#include <QStringList>
#include <QWidget>
#include <functional>

class QToolButton;

enum class NavButton { First, Prior, Next, Last, Insert, Delete, Post, Cancel };

class TDBNavigator : public QWidget, public DatasetObserver {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget *parent = nullptr);
    ~TDBNavigator() override;

    // The dataset moved and edited (not owned); null for none.
    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return ds; }

    // Which buttons show, in the fixed order; all by default.
    void setVisibleButtons(const QList<NavButton> &buttons);
    // Hints for the eight buttons, in the fixed order.
    void setHints(const QStringList &hints);
    QToolButton *button(NavButton which) const;

    // Runs before a button's action; an exception thrown here stops the
    // action and reaches the caller.
    std::function<void(NavButton)> BeforeAction;
    // Delete asks first.
    bool ConfirmDelete = true;

    // What a press of the button does.
    void click(NavButton which);
    // Sets each button's enabled state from the dataset.
    void updateButtons();

    void datasetChanged(Dataset &dataset, DatasetChange change) override;

signals:
    // After the button's action.
    void clicked(NavButton which);

private:
    Dataset *ds = nullptr;
    QList<QToolButton *> buttons;
};
