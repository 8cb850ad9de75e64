// The main window's keyboard table: one watch over the window and its
// children acts on each key press once, before controls and menus see it.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/startup/SplashForm.h"
#include "core/views/ListForm.h"
#include "platform/sqlite/DBNavigator.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/music/RecordingsGrid.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/KeyTable.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

namespace {

// Whether the action's shortcut can run in the window: it hangs in the
// window itself, in its menu bar or in a menu under them.
bool ReachableIn(const QAction *action, const QWidget *window, int depth = 0) {
    if (!action || depth > 8) return false;
    for (QObject *owner : action->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(owner)) {
            if (ReachableIn(menu->menuAction(), window, depth + 1)) return true;
        } else if (auto *w = qobject_cast<QWidget *>(owner); w && w->window() == window) {
            return true;
        }
    }
    return false;
}

// The shortcuts of the window's commands that can run now.
QList<QKeySequence> WindowCommandKeys(const QWidget *window) {
    QList<QKeySequence> keys;
    for (const QAction *a : window->findChildren<QAction *>()) {
        if (!a->isEnabled() || !a->isVisible() || a->shortcuts().isEmpty() || !ReachableIn(a, window)) continue;
        keys += a->shortcuts();
    }
    return keys;
}

// Qt offers a press first as a shortcut override, then as a key press, each
// to the focus widget and then up to its parents: the table decides once, at
// the first delivery to the focus widget, and its answer holds for the rest.
class ShortcutWatch : public QObject {
public:
    explicit ShortcutWatch(TOrgForm *form) : QObject(form), form(form) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
        QWidget *focus = QApplication::focusWidget();
        if (watched != (focus ? focus : form) || (focus && focus->window() != form)) return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (type == QEvent::ShortcutOverride) {
            swallow = form->FormShortcut(key);
            overrideCame = true;
            if (swallow) {
                key->accept();
                return true;
            }
            // A menu command's key that the focused box would take for its
            // own use (Ctrl+E in a line edit on X11) runs the command: the box
            // never sees the override, so the shortcut map acts on the key.
            if ((key->modifiers() & Qt::ControlModifier) &&
                WindowKeyWins(key->keyCombination(), WindowCommandKeys(form))) {
                key->ignore();
                overrideCame = false;
                return true;
            }
            return false;
        }
        // The press of a key decided at its override, or one that came alone.
        const bool taken = overrideCame ? swallow : form->FormShortcut(key);
        overrideCame = swallow = false;
        return taken;
    }

private:
    bool overrideCame = false;
    bool swallow = false;
    TOrgForm *form;
};

KeyPage PageOf(const TOrgForm *f) {
    const QWidget *page = f->PC->currentWidget();
    if (page == f->EventPage) return KeyPage::Events;
    if (page == f->DancePage) return KeyPage::Dances;
    if (page == f->RecPage) return KeyPage::Recordings;
    if (page == f->FolderPage) return KeyPage::Folders;
    return KeyPage::Rules;
}

// A group is a run of records with the same first field; with the filter's
// one condition on Format (all one format), the same second field.
int GroupField(const FilterDef &filter) {
    return filter.Count == 1 && SameText(filter.Field[1], QStringLiteral("Format")) ? 1 : 0;
}

void MoveToGroup(Dataset &data, bool forward, int field) {
    if (forward) {
        const QString group = data.Fields(field).AsString();
        while (!data.Eof() && data.Fields(field).AsString() == group) data.Next();
        return;
    }
    data.Prior();
    const QString group = data.Fields(field).AsString();
    while (true) {
        data.Prior();
        if (data.Bof()) break;
        if (data.Fields(field).AsString() != group) {
            data.Next();
            break;
        }
    }
}

// The recordings grid's next or previous "In folder" row.
void MoveToFolderRow(RecordingsGrid *grid, bool down) {
    int row = grid->currentRow();
    const int last = grid->rowCount() - 1;
    auto isFolder = [grid](int r) {
        return grid->text(r, 0).contains(QLatin1String("In folder"));
    };
    if (down) {
        do ++row;
        while (row < last && !isFolder(row));
        row = std::min(row, last);
    } else {
        // Up to the first row at most: it is the first folder's own row.
        do --row;
        while (row > 0 && !isFolder(row));
        row = std::max(row, 0);
    }
    if (row >= 0 && row <= last) grid->setCurrentCell(row, 0);
}

} // namespace

void InstallFormShortcut(TOrgForm *form) { new ShortcutWatch(form); }

bool TOrgForm::FormShortcut(QKeyEvent *event) {
    if (CheckAllRunning()) {
        DancesData.Last();
        EventsData.Last();
    }
    if (!isActiveWindow()) return false;
    QWidget *focus = QApplication::focusWidget();
    KeyContext c;
    c.page = PageOf(this);
    c.gridShowing = Grid->isVisible();
    c.gridMemoFocus = c.gridShowing && focus && MPanel->isVisible() && MPanel->isAncestorOf(focus);
    c.splashShowing = SplashForm && SplashForm->isVisible();
    c.fieldEntered = FieldEntered;
    c.popListShowing = PopList->isVisible();
    c.memoFocus = qobject_cast<QPlainTextEdit *>(focus) != nullptr;
    c.newTextShowing = NewText->isVisible();
    c.danceRowSelected = ThisIndex >= 0 && ThisIndex < Rows->ItemList.size() &&
                         qobject_cast<TDance *>(Rows->ItemList[ThisIndex]);
    c.key = event->key();
    c.modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const KeyDecision d = DecideKey(c);
    if (d.taken) ChooserTypedChar.clear();
    Dataset &gridData = GridOnEvents ? EventsData : DancesData;
    const int gridPage = Grid->height() / 19 - 1;
    QList<TItem *> &rows = Rows->ItemList;
    const int count = int(rows.size());
    auto moveRow = [&](int to) {
        if (ThisIndex < 0 || ThisIndex >= count || to < 0 || to >= count || to == ThisIndex) return false;
        rows.move(ThisIndex, to);
        ThisIndex = to;
        Rows->LayOutRows();
        return true;
    };
    auto pageRow = [&](bool down) {
        QList<int> heights;
        for (const TItem *row : rows) heights.append(row->height());
        return PageRow(heights, std::max(ThisIndex, 0), Body->viewport()->height(), down);
    };
    switch (d.command) {
    case KeyCommand::None: break;
    case KeyCommand::HideNewText: NewText->hide(); break;
    case KeyCommand::NewTextEnter: NewTextEnter(); break;
    case KeyCommand::PasteMemo:
        WriteLog(QStringLiteral("PasteMemoClick"));
        PasteMemo->trigger();
        break;
    case KeyCommand::GridFirst: gridData.First(); break;
    case KeyCommand::GridLast: gridData.Last(); break;
    case KeyCommand::GridPageUp: gridData.MoveBy(-gridPage); break;
    case KeyCommand::GridPageDown: gridData.MoveBy(gridPage); break;
    case KeyCommand::GridPrior: Grid->clearSelection(); gridData.Prior(); break;
    case KeyCommand::GridNext: Grid->clearSelection(); gridData.Next(); break;
    case KeyCommand::GridPriorGroup:
        Grid->clearSelection();
        MoveToGroup(gridData, false, GroupField(DancesFilter));
        break;
    case KeyCommand::GridNextGroup:
        Grid->clearSelection();
        MoveToGroup(gridData, true, GroupField(DancesFilter));
        // The group's first record comes to the top of the grid.
        if (Grid->model() && gridData.RecordIndex() >= 0)
            Grid->scrollTo(Grid->model()->index(gridData.RecordIndex(), 0), QAbstractItemView::PositionAtTop);
        break;
    case KeyCommand::PreviousPage: NextTabClick(false); break;
    case KeyCommand::PickEnter:
        if (PopList->currentItem()) PopListClick(PopList->currentItem());
        break;
    case KeyCommand::PickDown:
        if (!PopList->hasFocus()) {
            HeldExit = focus;
            auto *edit = qobject_cast<QLineEdit *>(focus);
            HeldModified = edit && edit->isModified();
            PopList->setFocus();
            if (!PopList->hasFocus()) HeldExit = nullptr;
            PopList->setCurrentRow(0);
        } else if (PopList->currentRow() + 1 < PopList->count()) {
            PopList->setCurrentRow(PopList->currentRow() + 1);
        }
        break;
    case KeyCommand::PickUp:
        if (PopList->currentRow() > 0) PopList->setCurrentRow(PopList->currentRow() - 1);
        break;
    case KeyCommand::RowPrior: --ThisIndex; break;
    case KeyCommand::RowNext: ++ThisIndex; break;
    case KeyCommand::RowMoveUp:
    case KeyCommand::RowMoveDown:
        if (moveRow(ThisIndex + (d.command == KeyCommand::RowMoveDown ? 1 : -1))) EventsChange();
        break;
    case KeyCommand::SessionPrior:
        do --ThisIndex;
        while (ThisIndex > 0 && !Rows->ItemIsSessionHeading(rows[ThisIndex]));
        break;
    case KeyCommand::SessionNext:
        do ++ThisIndex;
        while (ThisIndex < count && !Rows->ItemIsSessionHeading(rows[ThisIndex]));
        break;
    case KeyCommand::RowPageUp: ThisIndex = pageRow(false); break;
    case KeyCommand::RowPageDown: ThisIndex = pageRow(true); break;
    case KeyCommand::RowMovePageUp:
    case KeyCommand::RowMovePageDown:
        if (moveRow(pageRow(d.command == KeyCommand::RowMovePageDown))) {
            const int keep = ThisIndex;
            SaveERec(SaveSender::None);
            ShowEvent(false);
            ThisIndex = keep;
            EventsChange();
        }
        break;
    case KeyCommand::RowFirst: ThisIndex = 0; break;
    case KeyCommand::RowLast: ThisIndex = count - 1; break;
    case KeyCommand::EventPrior: ENav->click(NavButton::Prior); break;
    case KeyCommand::EventFirst: ENav->click(NavButton::First); break;
    case KeyCommand::EventNext: ENav->click(NavButton::Next); break;
    case KeyCommand::EventLast: ENav->click(NavButton::Last); break;
    case KeyCommand::EventPriorOfOrg: OrgPNClick(GroupP); break;
    case KeyCommand::EventNextOfOrg: OrgPNClick(GroupN); break;
    case KeyCommand::InsertDance:
        InsItemClick(DPopup->findChild<QAction *>(QStringLiteral("InsD")));
        break;
    // A row deleted by its key is a change to save, as from the menu.
    case KeyCommand::DeleteRow: DelItemClick(true); break;
    case KeyCommand::Details: DetailsClick(); break;
    case KeyCommand::ChooseForRow:
        ChooserTypedChar = d.typed;
        TitleClick(qobject_cast<TDance *>(rows[ThisIndex]));
        break;
    case KeyCommand::FindEvent:
        ChooserTypedChar = d.typed;
        FindEventClick();
        break;
    case KeyCommand::DancePrior: DNav->click(NavButton::Prior); break;
    case KeyCommand::DanceFirst: DNav->click(NavButton::First); break;
    case KeyCommand::DanceNext: DNav->click(NavButton::Next); break;
    case KeyCommand::DanceLast: DNav->click(NavButton::Last); break;
    case KeyCommand::DancePriorInProgramme: ProgPNClick(ProgP); break;
    case KeyCommand::DanceNextInProgramme: ProgPNClick(ProgN); break;
    case KeyCommand::FindDance:
        ChooserTypedChar = d.typed;
        FindClick();
        break;
    case KeyCommand::RecordingsNextFolder: MoveToFolderRow(RecGrid, true); break;
    case KeyCommand::RecordingsPriorFolder: MoveToFolderRow(RecGrid, false); break;
    case KeyCommand::FoldersRefill: InitFolders(); break;
    }
    const bool leftRight = c.key == Qt::Key_Left || c.key == Qt::Key_Right;
    if (d.taken && c.page == KeyPage::Events && !c.gridShowing && !c.fieldEntered && !leftRight) {
        const int rowsNow = int(Rows->ItemList.size());
        const bool aboveFirst = ThisIndex < 0;
        ThisIndex = std::clamp(ThisIndex, 0, std::max(rowsNow - 1, 0));
        if (aboveFirst && c.key == Qt::Key_Up) Rows->SelectItem(Rows->TitleRow);
        else if (rowsNow > 0) Rows->SelectItem(Rows->ItemList[ThisIndex]);
    }
    if (d.reachedTable) LockKeys(c.key);
    return d.taken;
}
