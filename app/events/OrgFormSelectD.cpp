// Putting dances into the shown programme: the Dances page's current dance
// (or every dance selected in its table) from the button and the menu, or a
// dance chosen for a programme row from the chooser.

#include "app/OrgForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/views/ListForm.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DatasetModel.h"
#include "programme/rows/ProgrammeEditor.h"
#include "programme/rows/ProgrammeRows.h"
#include "app/views/LayoutHolding.h"

#include <QBoxLayout>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <utility>

namespace {

const char *const SelectHint = "Put the current dance(s) of the Dances page into the programme";

// The dances selected in the Dances table, in their order there; fewer than
// two: none (the current dance is meant).
QList<DanceKey> GridSelection(const QTableView *grid, bool gridOnEvents) {
    auto *model = qobject_cast<DatasetModel *>(grid->model());
    if (!grid->isVisible() || gridOnEvents || !model || !grid->selectionModel()) return {};
    QList<int> rows;
    for (const QModelIndex &i : grid->selectionModel()->selectedIndexes()) rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() < 2) return {};
    int title = -1, format = -1, style = -1;
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString f = model->fieldAt(c);
        if (SameText(f, QStringLiteral("Title"))) title = c;
        else if (SameText(f, QStringLiteral("Format"))) format = c;
        else if (SameText(f, QStringLiteral("Style"))) style = c;
    }
    auto cell = [model](int row, int column) {
        return column < 0 ? QString() : model->data(model->index(row, column)).toString();
    };
    QList<DanceKey> keys;
    for (int r : rows) keys.append({cell(r, title), cell(r, format), cell(r, style)});
    return keys;
}

void FillRow(TDance *row, const DanceKey &key) {
    // The chosen dance starts without a recording choice or old colours.
    row->clearForReuse();
    row->setKey(key);
}

} // namespace

void TOrgForm::buildSelectDance() {
    SelectD = new QPushButton(QStringLiteral("Put in"), DPanel);
    SelectD->setObjectName(QStringLiteral("SelectD"));
    SelectD->setToolTip(QLatin1String(SelectHint));
    // Beside Find Dance, as narrow as its caption allows.
    SelectD->setMinimumWidth(SelectD->fontMetrics().horizontalAdvance(SelectD->text()) + 12);
    SelectD->setSizePolicy(QSizePolicy::Preferred, SelectD->sizePolicy().verticalPolicy());
    if (QBoxLayout *box = LayoutHolding(DPanel->layout(), TitleBtn))
        box->insertWidget(box->indexOf(TitleBtn) + 1, SelectD);
    connect(SelectD, &QPushButton::clicked, this, [this] { SelectDClick(SelectD); });
    SelectM = DancesM->addAction(QStringLiteral("Put into Programme"));
    SelectM->setObjectName(QStringLiteral("SelectM"));
    SelectM->setStatusTip(QLatin1String(SelectHint));
    connect(SelectM, &QAction::triggered, this, [this] { SelectDClick(SelectM); });
    // A selection kept for the menu lasts while the menu is open; the
    // command picked from it runs before this.
    connect(DancesM, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, [this] { KeptSelection.clear(); }); });
}

void TOrgForm::KeepTableSelection() { KeptSelection = GridSelection(Grid, GridOnEvents); }

void TOrgForm::TitleClick(TDance *row) { SelectDClick(row); }

void TOrgForm::SelectDClick(QObject *sender) {
    const auto notOnDance = [] { OKHelpCancel(QStringLiteral("You are not positioned on a dance."), 85900); };
    // From the menu the table has already given way to the form: its
    // selection is the one kept when the menu opened.
    const QList<DanceKey> kept = std::exchange(KeptSelection, {});
    QList<TItem *> &rows = Rows->ItemList;
    if (rows.isEmpty()) return notOnDance();
    ThisIndex = std::clamp(ThisIndex, 0, int(rows.size()) - 1);
    WriteLog(QStringLiteral("SelectD"));
    auto *fromRow = qobject_cast<TDance *>(sender);
    if (fromRow && rows.contains(fromRow)) ThisIndex = int(rows.indexOf(fromRow));
    Rows->SelectItem(rows[ThisIndex]);
    if (!qobject_cast<TDance *>(rows[ThisIndex])) return notOnDance();
    if (DancesData.active()) DancesData.CheckBrowseMode();

    DanceKey chosen;
    if (!fromRow) {
        const QList<DanceKey> several =
            sender == SelectM && !kept.isEmpty() ? kept : GridSelection(Grid, GridOnEvents);
        if (!several.isEmpty()) {
            QAction *insertDance = DPopup->findChild<QAction *>(QStringLiteral("InsD"));
            for (const DanceKey &key : several) {
                InsItemClick(insertDance);
                if (auto *row = qobject_cast<TDance *>(Rows->ThisItem)) FillRow(row, key);
            }
            Rows->RecolourRows();
            Evaluate();
            ShowEventsPage();
            EventsChange();
            return;
        }
        if (!DancesData.active() || DancesData.IsEmpty()) return notOnDance();
        chosen = {DancesData.FieldByName(QStringLiteral("Title")).AsString(),
                  DancesData.FieldByName(QStringLiteral("Format")).AsString(),
                  DancesData.FieldByName(QStringLiteral("Style")).AsString()};
    } else {
        TListForm *chooser = CreateListForm(this);
        const int result = chooser->Choose(ChooserMode::Dances);
        if (result == TListForm::New) return NewDanceClick();
        if (result == TListForm::NoneChosen) {
            // "None": the row becomes a blank dance.
            if (auto *row = qobject_cast<TDance *>(rows[ThisIndex])) FillRow(row, {});
            Rows->RecolourRows();
            QPalette white = palette();
            white.setColor(QPalette::Window, Qt::white);
            setPalette(white);
            EventsChange();
            return;
        }
        // Cancel, Esc or the close box: the programme stays as it was.
        if (result != TListForm::Selected) return;
        chosen = {chooser->Chosen(QStringLiteral("Title")), chooser->Chosen(QStringLiteral("Format")),
                  chooser->Chosen(QStringLiteral("Style"))};
    }

    // Rows may be built anew below (an inserted blank dance): work by index.
    const TDance *target = static_cast<TDance *>(rows[ThisIndex]);
    if (AsksReplace(ProgrammeItem::dance(target->key()), chosen.Title) &&
        !YesNo(QStringLiteral("Replace ") + DisplayTitle(target->key().Title) + QStringLiteral("?")))
        InsItemClick(DPopup->findChild<QAction *>(QStringLiteral("InsD")));
    if (AlreadyOnProgramme(Rows->RowItems(), ThisIndex, chosen.Title) &&
        !YesNo(QStringLiteral("Warning:\r") + DisplayTitle(chosen.Title) +
               QStringLiteral(" is already on the programme.\rDo you want it again?")))
        return;
    auto *row = qobject_cast<TDance *>(rows[ThisIndex]);
    if (!row) return;
    FillRow(row, chosen);
    const int next = NextBlankDance(Rows->RowItems(), ThisIndex);
    if (next >= 0) Rows->SelectItem(rows[next]);
    else Rows->RecolourRows();
    Evaluate();
    ShowEventsPage();
    EventsChange();
}
