// The main window's steps through records: an organiser's events, the
// programme's dances, and the full-screen display over the programme.

#include "app/OrgForm.h"
#include "presentation/fullscreen/Full.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/views/Navigation.h"
#include "platform/sqlite/Dataset.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

QList<bool> TOrgForm::TitledRows() const {
    QList<bool> titled;
    for (TItem *row : Rows->ItemList) {
        auto *dance = qobject_cast<TDance *>(row);
        titled.append(dance && !dance->key().Title.isEmpty());
    }
    return titled;
}

bool TOrgForm::SelectTitleRow(const QString &title) {
    for (TItem *row : Rows->ItemList)
        if (auto *dance = qobject_cast<TDance *>(row); dance && dance->key().Title == title) {
            Rows->SelectItem(row);
            return true;
        }
    return false;
}

void TOrgForm::OrgPNClick(QToolButton *sender) {
    WriteLog(QStringLiteral("OrgPN"));
    if (!EventsData.active() || EventsData.IsEmpty()) return;
    EventsData.CheckBrowseMode();
    const Dataset::Bookmark before = EventsData.GetBookmark();
    auto afterScroll = std::exchange(EventsData.AfterScroll, nullptr);
    EventsData.DisableControls();
    bool moved = false;
    try {
        moved = StepWithinOrg(EventsData, sender == GroupN ? 1 : -1);
    } catch (...) {
        EventsData.AfterScroll = afterScroll;
        EventsData.EnableControls();
        throw;
    }
    EventsData.AfterScroll = afterScroll;
    EventsData.EnableControls();
    if (!moved) {
        WriteLog(QStringLiteral("No more for this Org"));
        sender->setEnabled(false);
    }
    if (EventsData.GetBookmark() != before) {
        (sender == GroupN ? GroupP : GroupN)->setEnabled(true);
        ShowEvent(true);
    }
}

void TOrgForm::ProgPNClick(QToolButton *sender) {
    WriteLog(QStringLiteral("ProgPN"));
    SavedPage = EventPage;
    if (FullScreenShowing()) ResetFullScreenSpeed();
    FocusIfPossible(TitleBtn);
    const QList<bool> titled = TitledRows();
    const int direction = sender == ProgN ? 1 : sender == ProgP ? -1 : 0;
    ProgP->setEnabled(true);
    ProgN->setEnabled(true);
    const RowWalk walk = WalkProgramme(titled, ThisIndex, direction, FullScreenShowing());
    if (!walk.found) {
        if (sender) sender->setEnabled(false);
        return;
    }
    Rows->SelectItem(Rows->ItemList[walk.index]);
    DetailsClick();
}

void TOrgForm::FullScreenClick() {
    const bool notRecent = NotRecent->isChecked(), notThis = NotThis->isChecked();
    CommandItem = FullScreenItem;
    if (Rows->ItemList.isEmpty()) {
        CommandItem = nullptr;
        return;
    }
    if (!ProgText.isEmpty() && EventsData.active() && EventsData.State() != DatasetState::Browse)
        SaveERec(SaveSender::Other);
    SavedPage = PC->currentWidget();
    if (SavedPage == DancePage) {
        const QList<bool> titled = TitledRows();
        int i = std::max(ThisIndex, 0);
        while (i < titled.size() && !titled[i]) ++i;
        if (i < titled.size()) Rows->SelectItem(Rows->ItemList[i]);
    } else if (SavedPage != FolderPage) {
        ProgPNClick(nullptr);
    }
    const QPalette old = PlayPnl->palette();
    QPalette white = old;
    white.setColor(QPalette::Window, Qt::white);
    PlayPnl->setPalette(white);
    PlayPnl->hide();
    RunFullScreen(this);
    QPalette back = old;
    back.setColor(QPalette::Window, QColor(214, 211, 206));
    PlayPnl->setPalette(back);
    PlayPnl->show();
    if (notRecent && !NotRecent->isChecked()) NotRecent->trigger();
    if (notThis && !NotThis->isChecked()) NotThis->trigger();
    if (SavedPage != FolderPage) {
        ShowDance();
        if (SavedPage == DancePage) EnsureFormView();
        else PC->setCurrentWidget(SavedPage);
    }
    CommandItem = nullptr;
}
