// The pick list's clicks (a value into its box, a filter on it, an event
// shown from a date), the LastH labels, the Events page's field shortcuts
// (map, mail, web) and the clicks on the programme area.

#include "app/OrgForm.h"
#include "core/startup/Positioning.h"

#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "core/views/Navigation.h"
#include "platform/sqlite/DataSource.h"
#include "platform/sqlite/Dataset.h"
#include "programme/rows/ProgrammeRows.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

namespace {

Dataset *BoundDataset(TOrgForm *f, const QWidget *w, QString *field) {
    for (TDataSource *src : {f->ESource, f->DSource}) {
        const QString name = src ? src->fieldOf(w) : QString();
        if (!name.isEmpty()) {
            *field = name;
            return src->dataset();
        }
    }
    return nullptr;
}

// The level list's entries read "digit=name": the level is the digit.
QString EntryValue(TOrgForm *f, const QString &entry) {
    return f->DropField == f->Lvl ? entry.left(1) : entry;
}

// Double-clicks on the field-shortcut boxes, the right-click on the pick
// list and the programme area's and page panels' clicks.
class PickListWatch : public QObject {
public:
    explicit PickListWatch(TOrgForm *form) : QObject(form), f(form) {
        for (QWidget *w : {static_cast<QWidget *>(f->Postcode), static_cast<QWidget *>(f->Email),
                           static_cast<QWidget *>(f->WebSite), static_cast<QWidget *>(f->Town),
                           static_cast<QWidget *>(f->PopList), f->PopList->viewport(), f->Body->viewport(),
                           static_cast<QWidget *>(f->EvPanel), static_cast<QWidget *>(f->DPanel)})
            w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if (watched == f->PopList && type == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) f->PopListExit();
            return false;
        }
        if (type == QEvent::MouseButtonDblClick) {
            for (QWidget *box : {static_cast<QWidget *>(f->Postcode), static_cast<QWidget *>(f->Email),
                                 static_cast<QWidget *>(f->WebSite), static_cast<QWidget *>(f->Town)})
                if (watched == box) {
                    f->FieldShortcut(box);
                    return true;
                }
        }
        if (type != QEvent::MouseButtonPress) return false;
        auto *me = static_cast<QMouseEvent *>(event);
        if (watched == f->PopList->viewport()) {
            if (me->button() != Qt::RightButton) return false;
            f->PopListRightClick(f->PopList->itemAt(me->position().toPoint()));
            return true;
        }
        if (watched == f->Body->viewport()) {
            if (me->button() == Qt::RightButton) f->ContBtn->show();
            f->ClosePopList();
        } else if (watched == f->EvPanel || watched == f->DPanel) {
            f->ClosePopList();
        }
        return false;
    }

private:
    TOrgForm *f;
};

} // namespace

void TOrgForm::PopListClick(QListWidgetItem *item) {
    if (!item) return;
    const QString entry = item->text();
    if (PopListShowsEvents) {
        QString title;
        if (PC->currentWidget() == EventPage) {
            if (auto *dance = qobject_cast<TDance *>(Rows->ThisItem); dance && ThisIndex >= 0)
                title = dance->key().Title;
        } else if (DancesData.active()) {
            title = DancesData.FieldByName(QStringLiteral("Title")).AsString();
        }
        ClosePopList();
        ShowEventOfDay(entry, title);
        return;
    }
    QWidget *target = DropField;
    if (!target) return;
    const QString value = EntryValue(this, entry);
    WriteLog(QStringLiteral("PopListClick - Set field ") + target->objectName() + QStringLiteral(" to ") + value);
    // Back in its box first, so that the list's leaving does not leave the box.
    target->setFocus();
    ClosePopList();
    QString field;
    Dataset *ds = BoundDataset(this, target, &field);
    suppressPickList = true;
    if (auto *edit = qobject_cast<QLineEdit *>(target)) edit->setText(value);
    else if (auto *combo = qobject_cast<QComboBox *>(target)) combo->setCurrentText(value);
    suppressPickList = false;
    if (ds && ds->active() && !ds->IsEmpty()) {
        if (ds->State() == DatasetState::Browse) ds->Edit();
        ds->FieldByName(field).SetAsString(value);
    }
}

void TOrgForm::PopListExit() {
    QWidget *held = HeldExit;
    HeldExit = nullptr;
    if (QApplication::focusWidget() == held) return;
    ClosePopList();
    // Down held the box's leave off: the focus went on elsewhere. The box
    // forgot on losing the focus that it was typed into.
    if (!held) return;
    if (auto *edit = qobject_cast<QLineEdit *>(held)) edit->setModified(HeldModified);
    AnyExit(held);
}

void TOrgForm::ShowEventOfDay(const QString &entry, const QString &title) {
    WriteLog(QStringLiteral("PopListClick - Show Event"));
    const double day = ParseDate(entry.section(QLatin1Char(':'), 0, 0).trimmed());
    if (day == 0) return;
    if (!EventsData.active() || !SeekEventDay(EventsData, day))
        AbortMsg(QStringLiteral("Event not available - remove the filter and try again."));
    PC->setCurrentWidget(EventPage);
    ShowEvent(true);
    if (!title.isEmpty()) SelectTitleRow(title);
}

void TOrgForm::PopListRightClick(QListWidgetItem *item) {
    QWidget *target = DropField;
    if (!item || !target || PopListShowsEvents) return;
    if (target == Style && Style->text().isEmpty()) {
        ShowMsg(QStringLiteral("I don't think you meant that!"));
        return;
    }
    const FilterTable table = EvPanel->isAncestorOf(target) ? FilterTable::Events : FilterTable::Dances;
    FilterDef &def = table == FilterTable::Events ? EventsFilter : DancesFilter;
    const QString value = EntryValue(this, item->text());
    ClosePopList();
    def.Value[1] = value;
    MakeFocusControl(target);
    FilterClick(FilterSender::None);
}

void TOrgForm::LastHClick(TDance *row, QLabel *label) {
    const QString text = label ? label->text() : QString();
    WriteLog(QStringLiteral("LastHClick: ") + text);
    Rows->SelectItem(row);
    ShowEventOfDay(text, row ? row->key().Title : QString());
}

void TOrgForm::FieldShortcut(QWidget *box) {
    auto text = [](QLineEdit *e) { return e->text().trimmed(); };
    if (box == Postcode) {
        if (!text(Postcode).isEmpty()) OpenDocument(MapAddress(text(Postcode)));
    } else if (box == Email) {
        if (!text(Email).isEmpty())
            OpenDocument(MailAddress(text(Email), Org->text(), Event->text(), DateBox->text()));
    } else if (auto *edit = qobject_cast<QLineEdit *>(box); edit && !text(edit).isEmpty()) {
        OpenDocument(WebAddress(text(edit)));
    }
}

// Made with the view commands.
void InstallPickListWatch(TOrgForm *form) { new PickListWatch(form); }
