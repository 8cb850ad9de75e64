#include "platform/sqlite/DBNavigator.h"

#include "base/Messages.h"
#include "platform/picture/StandardIcon.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace {

struct ButtonLook {
    const char *name;
    QStyle::StandardPixmap icon;
    const char *text; // when there is no icon
    const char *hint;
};

const ButtonLook Looks[] = {
    {"First", QStyle::SP_MediaSkipBackward, "|<", "First record"},
    {"Prior", QStyle::SP_MediaSeekBackward, "<", "Prior record"},
    {"Next", QStyle::SP_MediaSeekForward, ">", "Next record"},
    {"Last", QStyle::SP_MediaSkipForward, ">|", "Last record"},
    {"Insert", QStyle::SP_CustomBase, "+", "Insert record"},
    {"Delete", QStyle::SP_CustomBase, "\u2212", "Delete record"},
    {"Post", QStyle::SP_DialogApplyButton, "\u2713", "Post edit"},
    {"Cancel", QStyle::SP_DialogCancelButton, "\u2717", "Cancel edit"},
};

} // namespace

TDBNavigator::TDBNavigator(QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    int i = 0;
    for (const ButtonLook &look : Looks) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(look.name));
        if (look.icon != QStyle::SP_CustomBase) b->setIcon(LazyStandardIcon(look.icon, this));
        else b->setText(QString::fromUtf8(look.text));
        b->setToolTip(QLatin1String(look.hint));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumSize(26, 24);
        const auto which = NavButton(i++);
        connect(b, &QToolButton::clicked, this, [this, which] { click(which); });
        layout->addWidget(b);
        buttons.append(b);
    }
    updateButtons();
}

TDBNavigator::~TDBNavigator() {
    if (ds) ds->removeObserver(this);
}

void TDBNavigator::setDataset(Dataset *dataset) {
    if (ds == dataset) return;
    if (ds) ds->removeObserver(this);
    ds = dataset;
    if (ds) ds->addObserver(this);
    updateButtons();
}

void TDBNavigator::setVisibleButtons(const QList<NavButton> &shown) {
    for (int i = 0; i < buttons.size(); ++i) buttons[i]->setVisible(shown.contains(NavButton(i)));
}

void TDBNavigator::setHints(const QStringList &hints) {
    for (int i = 0; i < buttons.size() && i < hints.size(); ++i) buttons[i]->setToolTip(hints[i]);
}

QToolButton *TDBNavigator::button(NavButton which) const {
    return buttons.at(int(which));
}

void TDBNavigator::datasetChanged(Dataset &, DatasetChange) {
    updateButtons();
}

void TDBNavigator::updateButtons() {
    const bool active = ds && ds->active();
    const bool editing = active && (ds->State() == DatasetState::Edit ||
                                    ds->State() == DatasetState::Insert);
    const bool up = active && (editing || !ds->Bof());
    const bool down = active && (editing || !ds->Eof());
    button(NavButton::First)->setEnabled(up);
    button(NavButton::Prior)->setEnabled(up);
    button(NavButton::Next)->setEnabled(down);
    button(NavButton::Last)->setEnabled(down);
    button(NavButton::Insert)->setEnabled(active);
    button(NavButton::Delete)->setEnabled(active && !ds->IsEmpty());
    button(NavButton::Post)->setEnabled(editing);
    button(NavButton::Cancel)->setEnabled(editing);
}

void TDBNavigator::click(NavButton which) {
    if (!ds || !ds->active()) return;
    if (BeforeAction) BeforeAction(which);
    switch (which) {
    case NavButton::First:
        ds->First();
        break;
    case NavButton::Prior:
        ds->Prior();
        break;
    case NavButton::Next:
        ds->Next();
        break;
    case NavButton::Last:
        ds->Last();
        break;
    case NavButton::Insert:
        ds->Insert();
        break;
    case NavButton::Delete:
        if (ConfirmDelete && !YesNo(QStringLiteral("Delete record?"))) return;
        ds->Delete();
        break;
    case NavButton::Post:
        ds->Post();
        break;
    case NavButton::Cancel:
        ds->Cancel();
        break;
    }
    updateButtons();
    emit clicked(which);
}
