// The Dances menu's lists, the history of a dance ("When") and the working
// sets that filter the dances through their marks: the window's side. The
// lists and marks themselves are in publishing/lists/DanceLists.h.

#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/dances/DanceLocate.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/services/Help.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/DataSource.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/editor/IntEForm.h"
#include "programme/rows/ProgrammeRows.h"
#include "publishing/lists/DanceLists.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>

namespace {

constexpr int RankHelp = 55530;
constexpr int WhenWidth = 200;

// The history's entries: the current organiser's on yellow, the text 3
// pixels in. Other pick lists draw as usual.
class PopDraw : public QStyledItemDelegate {
public:
    explicit PopDraw(TOrgForm *form) : QStyledItemDelegate(form), f(form) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        if (!f->PopListShowsEvents) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        const QString text = index.data().toString();
        const qsizetype colon = text.indexOf(QStringLiteral(": "));
        const bool current = colon >= 0 && text.mid(colon + 2) == f->Org->text();
        p->save();
        QColor back = current ? QColor(Qt::yellow) : option.palette.base().color();
        if (option.state & QStyle::State_Selected) back = option.palette.highlight().color();
        p->fillRect(option.rect, back);
        p->setPen((option.state & QStyle::State_Selected) ? option.palette.highlightedText().color()
                                                          : option.palette.text().color());
        p->drawText(option.rect.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        p->restore();
    }

private:
    TOrgForm *f;
};

} // namespace

void TOrgForm::buildListCommands() {
    auto item = [this](QMenu *menu, const QString &caption, const char *name, auto handler) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    ListD = DancesM->addMenu(QStringLiteral("List"));
    ListD->setObjectName(QStringLiteral("ListD"));
    ByFormat = item(ListD, QStringLiteral("By Format"), "ByFormat", [this] { ByFormatClick(); });
    ByDate = item(ListD, QStringLiteral("By Date"), "ByDate", [this] { ByDateClick(); });
    Alpha = item(ListD, QStringLiteral("Alphabetically"), "Alpha", [this] { AlphaClick(); });
    ByAuthor = item(ListD, QStringLiteral("By Author"), "ByAuthor", [this] { ByAuthorClick(); });
    Rank = item(ListD, QStringLiteral("Rank field"), "Rank", [this] { RankClick(); });
    Rank->setProperty("HelpContext", RankHelp);
    WhenM = item(DancesM, QStringLiteral("When"), "WhenM", [this] { WhenClick(WhenM); });
    NoKey = item(DancesM, QStringLiteral("No key sig."), "NoKey", [this] { NoKeyClick(); });
    if (ListM) Cards = item(ListM, QStringLiteral("Cards"), "Cards", [this] { PendingClick(Cards); });
    connect(Pending, &QPushButton::clicked, this, [this] { PendingClick(Pending); });
    Contra = item(EventsM, QStringLiteral("Test Contra"), "Contra", [this] { ContraClick(); });
    PopList->setItemDelegate(new PopDraw(this));
}

void TOrgForm::ByFormatClick() {
    REDClick(DancesM);
    if (!SameText(DancesData.indexName(), QStringLiteral("FST"))) {
        SetDOrderBox(0);
        DOrderChange();
    }
    ByFormatList();
}

void TOrgForm::ByDateClick() {
    REDClick(DancesM);
    ByDateList();
}

void TOrgForm::AlphaClick() {
    REDClick(DancesM);
    AlphaList();
}

void TOrgForm::ByAuthorClick() {
    REDClick(DancesM);
    ByAuthorList();
}

void TOrgForm::RankClick() {
    QWidget *box = focusWidget();
    auto *edit = qobject_cast<QLineEdit *>(box);
    const bool bound = edit && DancePage->isAncestorOf(edit) && !DSource->fieldOf(edit).isEmpty();
    if (!bound || !RankList(edit->objectName())) OpenHelp(RankHelp);
}

void TOrgForm::WhenClick(QObject *Sender, TDance *row) {
    WriteLog(QStringLiteral("WhenClick"));
    ClosePopList();
    const DanceKey key = row ? row->key() : (DancesData.active() ? CurrentDanceKey(DancesData) : DanceKey{});
    if (key.Title.isEmpty() || !EventsData.active()) return;
    SetFilter(FilterTable::Events, 1);
    ShowRecordCount(FilterTable::Events);
    // The diary is read without moving Events: its position and handlers stay.
    const QStringList entries =
        WhenEntries(ReadWhenEvents(Conn, EventsData.VisibleBookmarks()), key, ProgrammeSeparator, EventDay());
    Q_UNUSED(Sender);
    QWidget *host = this;
    if (PopList->parentWidget() != host) {
        PopList->setParent(host);
        PopList->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
    }
    PopList->clear();
    PopList->addItems(entries);
    QWidget *page = PC->currentWidget();
    const QPoint topRight = page->mapTo(host, QPoint(page->width(), 0));
    const int top = topRight.y();
    const int bottom = centralWidget() ? centralWidget()->mapTo(host, QPoint(0, centralWidget()->height())).y()
                                       : host->height();
    PopList->setGeometry(topRight.x() - WhenWidth, top, WhenWidth, std::max(bottom - top - 4, 0));
    PopListShowsEvents = true;
    PopList->raise();
    PopList->setVisible(true);
    PopList->setFocus();
}

void TOrgForm::PendingClick(QObject *Sender) {
    WriteLog(QStringLiteral("Pending"));
    if (!OptionChecked(QStringLiteral("IntEditor"))) {
        ShowMsg(QStringLiteral("To use this, change your settings to use the Internal Editor."));
        return;
    }
    QList<DanceKey> keys;
    if (Sender == Cards && Rows)
        for (const ProgrammeItem &item : Rows->RowItems())
            if (item.isDance() && !item.key.Title.isEmpty()) keys.append(item.key);
    REDClick(DancesM);
    SetFilter(FilterTable::Dances, 1);
    if (Sender == Cards) MarkDancesByRowid(ProgrammeDanceRowids(Conn, keys));
    else MarkPendingDances();
    FilterClick(FilterSender::Pending);
    if (!DancesData.Filtered() || DancesData.VisibleCount() == 0) {
        SetFilter(FilterTable::Dances, 1);
        ShowRecordCount(FilterTable::Dances);
        ShowMsg(QStringLiteral("No dances waiting to be printed"));
        return;
    }
    DancesData.First();
    ShowDance();
    IntEFormWindow().ShowModal();
    SetFilter(FilterTable::Dances, 1);
    ShowRecordCount(FilterTable::Dances);
    ShowDance();
}

void TOrgForm::NoKeyClick() {
    WriteLog(QStringLiteral("No key sig."));
    REDClick(DancesM);
    SetFilter(FilterTable::Dances, 1);
    MarkNoKeyDances();
    NotChecked = NotSelection::Recent;
    NotRecent->setChecked(true);
    DFilterOn = true;
    SetFilter(FilterTable::Dances, 3);
    ShowRecordCount(FilterTable::Dances);
    EnsureGridView();
    ShowInEditor(NoKeyText(ReadListDances(Conn, DancesData)));
}

void TOrgForm::LastCRClick(TDance *row, QLabel *label) {
    if (!row) return;
    WhenClick(label, row);
}
