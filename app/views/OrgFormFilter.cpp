// The main window's filter, find and tag controls: the items and buttons,
// the two filter indicators, the tag pictures, and the window's side of the
// filter commands (core/filter/FilterCommands.h).

#include "app/OrgForm.h"
#include "app/views/LayoutHolding.h"
#include "platform/rtf/RichEdit.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Messages.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/FiltForm.h"
#include "core/filter/TagForm.h"
#include "core/filter/Tags.h"
#include "core/services/Help.h"
#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "core/views/ListForm.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/Dataset.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/text/ProgrammeText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QColor FilterColour(255, 255, 128);
const QColor CheckBoxColour(214, 211, 206);
const QColor InstructionsColour(210, 255, 255);
constexpr int TagsHelp = 55540;

// The filter indicator: a funnel.
QIcon FunnelIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(1, 2);
    path.lineTo(15, 2);
    path.lineTo(9.5, 8);
    path.lineTo(9.5, 14);
    path.lineTo(6.5, 12);
    path.lineTo(6.5, 8);
    path.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(255, 200, 40));
    p.drawPath(path);
    return QIcon(pm);
}

// A luggage tag, filled when the dance is in the set, outlined when not.
QIcon TagIcon(bool filled) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(1, 5);
    path.lineTo(5, 1);
    path.lineTo(15, 1);
    path.lineTo(15, 9);
    path.lineTo(5, 9);
    path.closeSubpath();
    QTransform t;
    t.translate(0, 3);
    path = t.map(path);
    p.setPen(QPen(QColor(90, 60, 20), 1.2));
    p.setBrush(filled ? QColor(40, 160, 60) : QColor(Qt::transparent));
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(4.5, 8), 1.2, 1.2);
    return QIcon(pm);
}

void paintBackground(QWidget *w, const QColor &colour) {
    if (!w) return;
    QPalette pal = w->palette();
    if (qobject_cast<QCheckBox *>(w)) {
        pal.setColor(QPalette::Window, colour);
        w->setAutoFillBackground(true);
    } else {
        pal.setColor(QPalette::Base, colour);
    }
    w->setPalette(pal);
}

// The data field of a box of the pages; "" for controls that hold none.
QString FieldOfBox(const QWidget *w) {
    const QString name = w->objectName();
    if (name == QLatin1String("DateBox")) return QStringLiteral("EDate");
    return name;
}

bool IsDataBox(const QWidget *w) {
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QCheckBox *>(w) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QTextEdit *>(w) ||
           qobject_cast<const QPlainTextEdit *>(w);
}

// The chooser in events mode.
std::optional<EventChoice> ChooseEventFromList() {
    TListForm *chooser = ListForm ? ListForm : CreateListForm(OrgForm);
    if (chooser->Choose(ChooserMode::Events) != TListForm::Selected) return std::nullopt;
    return EventChoice{chooser->Chosen(QStringLiteral("Org")), chooser->Chosen(QStringLiteral("Date")),
                       chooser->Chosen(QStringLiteral("Event")), chooser->ChosenBookmark()};
}

} // namespace

// The window's side of the filter commands.
class OrgFormFilterUi : public QObject, public FilterUi {
public:
    // Watches the boxes of the Events and Dances pages for the focus.
    explicit OrgFormFilterUi(TOrgForm *form) : QObject(form), f(form) {
        for (QWidget *page : {f->EventPage, f->DancePage})
            for (QWidget *w : page->findChildren<QWidget *>())
                if (IsDataBox(w) && !w->objectName().isEmpty()) w->installEventFilter(this);
        f->TagsM->installEventFilter(this);
    }
    ~OrgFormFilterUi() override {
        if (&CurrentFilterUi() == this) SetFilterUi(nullptr);
    }

    bool EventsPageActive() const override { return f->PC->currentWidget() == f->EventPage; }
    FocusControlInfo LastFocusedBox() const override {
        return EventsPageActive() ? lastEventsBox : lastDancesBox;
    }
    FocusControlInfo BoxOf(FilterTable table, const QString &field) const override {
        FocusControlInfo info;
        info.table = table;
        info.field = field;
        QWidget *page = table == FilterTable::Events ? f->EventPage : f->DancePage;
        const QString name = field == QLatin1String("EDate") ? QStringLiteral("DateBox") : field;
        if (QWidget *w = page->findChild<QWidget *>(name)) {
            info.name = w->objectName();
            info.checkBox = qobject_cast<QCheckBox *>(w) != nullptr;
        }
        return info;
    }
    QString BandText() const override { return f->Band->text(); }
    bool DebugOption() const override { return OptionChecked(QStringLiteral("Debug")); }
    // The rows as shown (with any edit not yet saved), else the stored
    // programme.
    QList<ProgrammeItem> ProgrammeRows() const override {
        if (f->Rows && !f->Rows->ItemList.isEmpty()) return f->Rows->RowItems();
        Dataset *events = FilterDataset(FilterTable::Events);
        if (!events || !events->active() || events->IsEmpty()) return {};
        return ReadProgramme(events->FieldByName(QStringLiteral("Programme")).AsString(), ProgrammeSeparator).items;
    }

    void HideMessagePanel() override { ::HideMessagePanel(); }
    void SetCaption(const QString &caption) override { f->setWindowTitle(caption); }
    void ShowIndicator(FilterTable t, bool shown, const QString &hint) override {
        QToolButton *b = t == FilterTable::Events ? f->EFiltered : f->DFiltered;
        b->setVisible(shown);
        b->setToolTip(hint);
    }
    void PaintFocusControl(const FocusControlInfo &c) override {
        lastFiltered = c;
        filteredAt = ++moments;
        QWidget *page = c.table == FilterTable::Events ? f->EventPage : f->DancePage;
        QWidget *w = c.name.isEmpty() ? nullptr : page->findChild<QWidget *>(c.name);
        if (!w) return;
        paintBackground(w, FilterColour);
        painted.append(w);
    }
    void ClearFilterColours(FilterTable t) override {
        QWidget *page = t == FilterTable::Events ? f->EventPage : f->DancePage;
        for (QWidget *w : QList<QWidget *>(painted)) {
            if (!page->isAncestorOf(w)) continue;
            paintBackground(w, qobject_cast<QCheckBox *>(w) ? CheckBoxColour : QColor(Qt::white));
            painted.removeAll(w);
        }
        if (t == FilterTable::Dances) {
            paintBackground(f->Notes, Qt::white);
            paintBackground(f->Instructions, InstructionsColour);
        }
    }
    void UpdateNotItems() override {
        f->NotRecent->setChecked(NotChecked == NotSelection::Recent);
        f->NotThis->setChecked(NotChecked == NotSelection::This);
        f->NotBoth->setChecked(NotChecked == NotSelection::Both);
    }
    void UpdateTagItems() override {
        const bool current = !TagSetName.isEmpty();
        const bool tagged = ShownDanceTagged();
        f->TagOn->setVisible(current && tagged);
        f->TagOff->setVisible(current && !tagged);
        f->TagOn->setToolTip(QStringLiteral("Tag belongs to the current set: ") + TagSetName);
        f->TagOff->setToolTip(QStringLiteral("Not in the current set: ") + TagSetName);
        f->TagFilter->setChecked(TagFilterOn);
        f->NoSet->setEnabled(current);
    }
    void SetBusy(bool busy) override {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    void SetPagesVisible(bool visible) override { f->PC->setVisible(visible); }
    void ShowPage(FilterTable t) override {
        f->PC->setCurrentWidget(t == FilterTable::Events ? f->EventPage : f->DancePage);
    }
    void ShowDance() override {
        UpdateTagItems();
        f->ShowDance();
    }
    void SelectProgrammeRow(int row) override {
        if (f->Rows && row >= 0 && row < f->Rows->ItemList.size()) f->Rows->SelectItem(f->Rows->ItemList[row]);
    }
    void MarkSessionCommand() override { CommandItem = f->Session; }
    bool GridShowing(FilterTable t) const override { return f->GridShows(t); }
    QString GridColumnField(FilterTable) const override { return f->GridField(); }
    void PaintGridColumn(FilterTable, const QString &field) override { f->PaintGridColumn(field); }
    void SetGridView(FilterTable t, bool grid) override { f->SetGridView(t, grid); }
    // Until the event's own save exists, its pending edits are posted.
    void SaveShownEvent() override {
        Dataset *events = FilterDataset(FilterTable::Events);
        if (events && events->active()) events->CheckBrowseMode();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == f->TagsM) {
            // F1 on the open Tags menu opens its help topic.
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
                OpenHelp(TagsHelp);
                return true;
            }
            return false;
        }
        if (event->type() == QEvent::FocusIn) focused(qobject_cast<QWidget *>(watched));
        return false;
    }

public:
    // The focus control of the page shown: the control last filtered on or
    // focused there, whichever came later; its text for a box.
    bool FocusOfPage(FocusControl *focus) const {
        const bool events = EventsPageActive();
        const FilterTable t = events ? FilterTable::Events : FilterTable::Dances;
        FocusControlInfo c = events ? lastEventsBox : lastDancesBox;
        const int focusedAt = events ? eventsBoxAt : dancesBoxAt;
        if (lastFiltered.table == t && filteredAt > focusedAt && !lastFiltered.field.isEmpty()) c = lastFiltered;
        const QString field = c.field.isEmpty() ? c.name : c.field;
        if (field.isEmpty()) return false;
        focus->table = events ? QStringLiteral("Events") : QStringLiteral("Dances");
        focus->field = field;
        focus->isCheckBox = c.checkBox;
        focus->text.clear();
        QWidget *page = events ? f->EventPage : f->DancePage;
        QWidget *w = c.name.isEmpty() ? nullptr : page->findChild<QWidget *>(c.name);
        if (auto *edit = qobject_cast<QLineEdit *>(w)) focus->text = edit->text();
        else if (auto *combo = qobject_cast<QComboBox *>(w)) focus->text = combo->currentText();
        return true;
    }

    void focused(QWidget *now) {
        if (!now) return;
        FocusControlInfo info;
        info.name = now->objectName();
        info.field = FieldOfBox(now);
        info.checkBox = qobject_cast<QCheckBox *>(now) != nullptr;
        if (f->EvPanel->isAncestorOf(now)) {
            info.table = FilterTable::Events;
            lastEventsBox = info;
            eventsBoxAt = ++moments;
        } else if (f->DancePage->isAncestorOf(now)) {
            info.table = FilterTable::Dances;
            lastDancesBox = info;
            dancesBoxAt = ++moments;
        }
    }

    TOrgForm *f;
    FocusControlInfo lastEventsBox, lastDancesBox, lastFiltered;
    // When each was last set, counted in focus and filter moments.
    int eventsBoxAt = 0, dancesBoxAt = 0, filteredAt = 0, moments = 0;
    QList<QWidget *> painted;
};

void TOrgForm::buildFilterControls() {
    auto action = [this](QMenu *menu, const QString &caption, const char *name, const QKeySequence &key = {}) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty()) a->setShortcut(key);
        return a;
    };
    FilterItem = action(ViewM, QStringLiteral("Filter"), "FilterItem", QKeySequence(Qt::Key_F4));
    MultiFilter = action(ViewM, QStringLiteral("Multi-filter"), "MultiFilter", QKeySequence(Qt::SHIFT | Qt::Key_F4));
    FindEvent = action(EventsM, QStringLiteral("Find Event"), "FindEvent", QKeySequence(Qt::CTRL | Qt::Key_F));
    FindDance = action(EventsM, QStringLiteral("Find Dance"), "FindDance", QKeySequence(Qt::Key_F3));
    Session = action(EventsM, QStringLiteral("Session"), "Session");
    NotRecent = action(DancesM, QStringLiteral("Not recent"), "NotRecent");
    NotThis = action(DancesM, QStringLiteral("Not this Org"), "NotThis");
    NotBoth = action(DancesM, QStringLiteral("Not both"), "NotBoth");
    for (QAction *a : {NotRecent, NotThis, NotBoth}) a->setCheckable(true);
    OddFormat = action(DancesM, QStringLiteral("&Odd format"), "OddFormat");
    Never = action(DancesM, QStringLiteral("Never called"), "Never");
    Neglected = action(DancesM, QStringLiteral("Neglected"), "Neglected");
    CreateSet = action(TagsM, QStringLiteral("Create set"), "CreateSet");
    SelectSet = action(TagsM, QStringLiteral("Select set"), "SelectSet");
    DeleteSet = action(TagsM, QStringLiteral("Delete set "), "DeleteSet");
    NoSet = action(TagsM, QStringLiteral("No current set"), "NoSet");
    TagFilter = action(TagsM, QStringLiteral("Filter!"), "TagFilter");
    TagFilter->setCheckable(true);
    for (QAction *a : {DeleteSet, NoSet, TagFilter}) a->setEnabled(false);

    connect(FilterItem, &QAction::triggered, this, [this] { FilterClick(FilterSender::Filter); });
    connect(MultiFilter, &QAction::triggered, this, [this] { FilterClick(FilterSender::Multi); });
    connect(FindEvent, &QAction::triggered, this, [this] { FindEventClick(); });
    connect(FindDance, &QAction::triggered, this, [this] { FindDanceClick(); });
    connect(Session, &QAction::triggered, this, [this] { SessionClick(); });
    connect(NotRecent, &QAction::triggered, this, [this] { NotClick(NotSelection::Recent); });
    connect(NotThis, &QAction::triggered, this, [this] { NotClick(NotSelection::This); });
    connect(NotBoth, &QAction::triggered, this, [this] { NotClick(NotSelection::Both); });
    connect(OddFormat, &QAction::triggered, this, [this] { OddFormatClick(); });
    connect(Never, &QAction::triggered, this, [this] { NeverClick(); });
    connect(Neglected, &QAction::triggered, this, [this] { NeglectedClick(); });
    connect(TagsM, &QMenu::aboutToShow, this, [this] { TagsClick(); });
    connect(CreateSet, &QAction::triggered, this, [this] { CreateSetClick(); });
    connect(SelectSet, &QAction::triggered, this, [this] { SelectSetClick(); });
    connect(DeleteSet, &QAction::triggered, this, [this] { DeleteSetClick(); });
    connect(NoSet, &QAction::triggered, this, [this] { NoSetClick(); });
    connect(TagFilter, &QAction::triggered, this, [this] { TagFilterClick(); });

    // The Filter and "+" buttons and the indicators sit in each page's bar,
    // before its Help button.
    auto pushButton = [](QWidget *parent, const QString &caption, const char *name, const QString &hint) {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    auto indicator = [](QWidget *parent, const char *name) {
        auto *b = new QToolButton(parent);
        b->setObjectName(QLatin1String(name));
        b->setIcon(FunnelIcon());
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        return b;
    };
    EFilterBtn = pushButton(EvPanel, QStringLiteral("Filter"), "EFilterBtn", QStringLiteral("Filter on this field"));
    EMultiBtn = pushButton(EvPanel, QStringLiteral("+"), "EMultiBtn", QStringLiteral("Add a condition to the filter"));
    EFiltered = indicator(EvPanel, "EFiltered");
    DFilterBtn = pushButton(DPanel, QStringLiteral("Filter"), "DFilterBtn", QStringLiteral("Filter on this field"));
    DMultiBtn = pushButton(DPanel, QStringLiteral("+"), "DMultiBtn", QStringLiteral("Add a condition to the filter"));
    DFiltered = indicator(DPanel, "DFiltered");
    for (QPushButton *b : {EMultiBtn, DMultiBtn}) b->setMaximumWidth(28);
    if (QBoxLayout *bar = LayoutHolding(EvPanel->layout(), HelpEvents)) {
        const int at = bar->indexOf(HelpEvents);
        bar->insertWidget(at, EFiltered);
        bar->insertWidget(at, EMultiBtn);
        bar->insertWidget(at, EFilterBtn);
    }
    if (QBoxLayout *bar = LayoutHolding(DPanel->layout(), HelpDances)) {
        const int at = bar->indexOf(FullBtn);
        bar->insertWidget(at, DFiltered);
        bar->insertWidget(at, DMultiBtn);
        bar->insertWidget(at, DFilterBtn);
    }
    connect(EFilterBtn, &QPushButton::clicked, this, [this] { FilterClick(FilterSender::Filter); });
    connect(EMultiBtn, &QPushButton::clicked, this, [this] { FilterClick(FilterSender::Multi); });
    connect(DFilterBtn, &QPushButton::clicked, this, [this] { FilterClick(FilterSender::Filter); });
    connect(DMultiBtn, &QPushButton::clicked, this, [this] { FilterClick(FilterSender::Multi); });
    connect(EFiltered, &QToolButton::clicked, this, [this] { FilterClick(FilterSender::EventsIndicator); });
    connect(DFiltered, &QToolButton::clicked, this, [this] { FilterClick(FilterSender::DancesIndicator); });

    TagOn->setIcon(TagIcon(true));
    TagOff->setIcon(TagIcon(false));
    connect(TagOn, &QToolButton::clicked, this, [this] { TagOnClick(); });
    connect(TagOff, &QToolButton::clicked, this, [this] { TagOffClick(); });

    filterUi = new OrgFormFilterUi(this);
    SetFilterUi(filterUi);
    CreateFiltForm(this);
    SetTagSetChooser(ChooseTagSet);
    SetEventChooser(ChooseEventFromList);
}

void TOrgForm::MakeFocusControl(QWidget *box) {
    if (filterUi) filterUi->focused(box);
}

bool TOrgForm::Focus(FocusControl *focus) {
    return filterUi && filterUi->FocusOfPage(focus);
}

void TOrgForm::FilterClick(FilterSender sender) {
    ::FilterClick(sender);
}

void TOrgForm::SetFilter(FilterTable table, int mode) {
    ::SetFilter(table, mode);
}

void TOrgForm::ShowRecordCount(FilterTable table) {
    ::ShowRecordCount(table);
}

void TOrgForm::NotClick(NotSelection item) {
    ::NotClick(item);
}

void TOrgForm::SessionClick() {
    ::SessionClick();
}

void TOrgForm::OddFormatClick() {
    ::OddFormatClick();
}

void TOrgForm::NeverClick() {
    ::NeverClick();
}

void TOrgForm::NeglectedClick() {
    ::NeglectedClick();
}

void TOrgForm::FindEventClick() {
    ::FindEventClick();
}

void TOrgForm::FindDanceClick() {
    ::FindDanceClick();
}

void TOrgForm::TagsClick() {
    const TagsMenuState s = ::TagsClick();
    SelectSet->setEnabled(s.selectEnabled);
    DeleteSet->setText(DoubleAmpersands(s.deleteCaption));
    DeleteSet->setEnabled(s.deleteEnabled);
    NoSet->setEnabled(s.noSetEnabled);
    TagFilter->setEnabled(s.filterEnabled);
}

void TOrgForm::CreateSetClick() {
    ::CreateSetClick();
}

void TOrgForm::SelectSetClick() {
    ::SelectSetClick();
}

void TOrgForm::DeleteSetClick() {
    ::DeleteSetClick();
}

void TOrgForm::NoSetClick() {
    ::NoSetClick();
}

void TOrgForm::TagFilterClick() {
    ::TagFilterClick(TagFilter->isChecked());
}

void TOrgForm::TagOffClick() {
    ::TagOffClick();
}

void TOrgForm::TagOnClick() {
    ::TagOnClick();
}

void TOrgForm::dropFilterUi() {
    delete filterUi;
    filterUi = nullptr;
}
