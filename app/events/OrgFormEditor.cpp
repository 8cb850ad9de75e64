// The main window's programme editor commands: the row pop-up, the Events
// menu's Insert Notes, the heading box, and the commands that copy, cut,
// paste, erase, clear and blank the rows of the shown event.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeEditor.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/text/HeadingRoles.h"

#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

// The heading box is hidden when it loses the focus (its keys are in the
// keyboard table).
class NewTextWatch : public QObject {
public:
    explicit NewTextWatch(TOrgForm *form) : QObject(form), form(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::FocusOut) form->NewTextExit();
        return QObject::eventFilter(watched, event);
    }

private:
    TOrgForm *form;
};

struct PopupItem {
    const char *name;
    const char *caption;
};

// The Ins... items: the fourth character of the name is the item code.
const PopupItem InsertItems[] = {
    {"InsN", "&Notes     Ctrl+N"}, {"InsD", "&Dance    Ins"},      {"InsI", "&Interval"},
    {"InsB", "&Break"},            {"InsX", "&Extras"},            {"InsW", "&Workshop"},
    {"InsE", "&Evening Dance"},    {"InsJ", "Ne&xt Time"},         {"InsHdr", "Blank header"},
};
} // namespace

void InstallFormShortcut(TOrgForm *form);

void TOrgForm::buildEditorCommands() {
    DPopup = new QMenu(this);
    DPopup->setObjectName(QStringLiteral("DPopup"));
    auto add = [this](const char *name, const char *caption, auto handler) {
        QAction *a = DPopup->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [a, handler] { handler(a); });
        return a;
    };
    for (const PopupItem &item : InsertItems) add(item.name, item.caption, [this](QAction *a) { InsItemClick(a); });
    DeleteP = add("DeleteP", "&Delete     Del", [this](QAction *) { DelItemClick(true); });
    LoadFromP = add("LoadFromP", "Load from...", [this](QAction *a) { LoadFromClick(a); });
    DetailsP = add("DetailsP", "Details     F10", [this](QAction *) { DetailsClick(); });
    add("Empties", "Clear &empties", [this](QAction *) { EmptiesClick(); });
    add("BlankD", "Blan&k dances", [this](QAction *) { BlankDClick(); });
    add("ClearAll", "Clear &All", [this](QAction *) { ClearAllClick(); });
    add("DupEvent", "Copy Event", [this](QAction *) { DupEventClick(); });
    for (const PopupItem &item : {PopupItem{"CopySect", "Copy Section"}, PopupItem{"CutSect", "Cut Section"},
                                  PopupItem{"CopyAll", "Copy All"}, PopupItem{"CopySel", "Copy Selected"}})
        add(item.name, item.caption, [this](QAction *a) { CopyCutClick(a); });
    add("EraseSect", "Erase Section", [this](QAction *) { EraseSectClick(); });
    add("EraseSel", "Erase Selected", [this](QAction *) { EraseSelClick(); });
    add("MoveSect", "Move Section", [this](QAction *) { MoveSectClick(); });
    add("Paste", "Paste", [this](QAction *) { PasteClick(); });

    InsNotes = EventsM->addAction(QStringLiteral("Insert Notes"));
    InsNotes->setObjectName(QStringLiteral("InsNotes"));
    InsNotes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(InsNotes, &QAction::triggered, this, [this] { InsNotesClick(); });

    NewText = new QLineEdit(Rows->BodyArea);
    NewText->setObjectName(QStringLiteral("NewText"));
    NewText->hide();
    NewText->installEventFilter(new NewTextWatch(this));
    connect(NewText, &QLineEdit::returnPressed, this, [this] { NewTextEnter(); });
    InstallFormShortcut(this);
}

void TOrgForm::ActionClick(TItem *row) {
    Rows->SelectItem(row);
    LoadFromP->setVisible(qobject_cast<TNotes *>(row) != nullptr);
    DetailsP->setVisible(qobject_cast<TDance *>(row) != nullptr);
    DeleteP->setVisible(row != Rows->TitleRow);
    DPopup->popup(QCursor::pos());
}

void TOrgForm::InsItemClick(QAction *item) {
    const QString name = item ? item->objectName() : QStringLiteral("InsNotes");
    WriteLog(name);
    if (DateBox->isModified()) DateBoxExit();
    if (Rows->ThisItem) {
        const int index = int(Rows->ItemList.indexOf(Rows->ThisItem));
        if (AuthorMode && index != ThisIndex) ShowMsg(QStringLiteral("ThisIndex not as expected, Vellam."));
        ThisIndex = index;
    }
    // Row moves and heading edits since the last save reach the text first.
    SaveERec(SaveSender::None);
    const QChar code = item ? name.at(3) : QChar(u'N');
    const InsertResult r =
        InsertProgrammeItem(ProgText, ProgrammeSeparator, ThisIndex, int(Rows->ItemList.size()), QString(code));
    if (!r.error.isEmpty()) ShowMsg(r.error);
    ProgText = r.text;
    ShowEvent(false);
    const int last = int(Rows->ItemList.size()) - 1;
    ThisIndex = std::min(r.thisIndex, last);
    if (ThisIndex >= 0) {
        TItem *row = Rows->ItemList[ThisIndex];
        Rows->SelectItem(row);
        if (auto *notes = qobject_cast<TNotes *>(row)) notes->Notes->setFocus();
    }
    EventsChange();
}

void TOrgForm::InsNotesClick() {
    ShowEventsPage();
    AnyExit();
    InsItemClick(nullptr);
}

void TOrgForm::DelItemClick(bool withSender) {
    WriteLog(QStringLiteral("Del Item"));
    if (withSender) EventsChange();
    if (Rows->ItemList.contains(Rows->ThisItem)) {
        Rows->ReleaseItem(Rows->ThisItem);
        Rows->LayOutRows();
    }
    const int next = SelectionAfterDelete(int(Rows->ItemList.size()), ThisIndex);
    if (next == -2) {
        ProgText.clear();
        ShowEvent(false);
        // Showing forgets the edit mark; the emptied programme is still to save.
        if (withSender) EventsChange();
    } else {
        ThisIndex = next;
        if (next >= 0) Rows->SelectItem(Rows->ItemList[next]);
    }
}

void TOrgForm::ItemClick(THeading *row) {
    WriteLog(QStringLiteral("ItemClick: ") + row->caption());
    if (Rows->isPartial()) {
        // The clicked heading's place among the headings shown.
        const int wanted = ThisIndex + 1;
        Headings->setChecked(false);
        StoreOption(QStringLiteral("Headings"), false);
        ShowEvent(true);
        int seen = 0;
        for (TItem *r : Rows->ItemList)
            if (Rows->ItemIsSessionHeading(r) && ++seen == wanted) {
                Rows->SelectItem(r);
                break;
            }
        return;
    }
    if (MovePending) {
        MovePending = false;
        const int at = WrittenIndex(Rows->RowItems(), int(Rows->ItemList.indexOf(row)));
        SaveERec(SaveSender::None);
        ProgText = InsertBeforeRow(ProgText, ProgrammeSeparator, at, ProgClip);
        ShowEvent(false);
        EventsChange();
        return;
    }
    EditedHeading = row;
    NewText->setGeometry(47, row->y(), 953, 16);
    NewText->setText(row->caption());
    NewText->raise();
    NewText->show();
    NewText->setFocus();
}

void TOrgForm::NewTextExit() { NewText->hide(); }

void TOrgForm::NewTextEnter() {
    THeading *heading = EditedHeading;
    const int index = int(Rows->ItemList.indexOf(heading));
    if (heading && index >= 0 && NewText->text() != heading->caption()) {
        heading->setCaption(EnteredHeading(NewText->text()));
        EventsChange();
        // A new session heading goes on with its first blank dance.
        if (index + 1 < Rows->ItemList.size())
            if (auto *dance = qobject_cast<TDance *>(Rows->ItemList[index + 1]); dance && dance->key().Title.isEmpty())
                Rows->SelectItem(dance);
    }
    NewText->hide();
}

void TOrgForm::EmptiesClick() {
    ShowEventsPage();
    WriteLog(QStringLiteral("Clear empties"));
    EventsChange();
    for (int i : EmptyDanceRows(Rows->RowItems())) Rows->ReleaseItem(Rows->ItemList[i]);
    Rows->LayOutRows();
    if (ThisIndex >= 0 && ThisIndex < Rows->ItemList.size()) Rows->SelectItem(Rows->ItemList[ThisIndex]);
}

void TOrgForm::BlankDClick() {
    ShowEventsPage();
    if (EventsData.active() && EventsData.State() != DatasetState::Browse) EventsData.Post();
    const BlankResult blank = BlankDances(Rows->RowItems());
    for (int i = 0; i < Rows->ItemList.size() && i < blank.rows.size(); ++i) {
        TItem *row = Rows->ItemList[i];
        if (auto *dance = qobject_cast<TDance *>(row); dance && blank.rows[i].key.isBlank()) dance->clearForReuse();
        else if (qobject_cast<THeading *>(row) && row->caption() != blank.rows[i].text)
            row->setCaption(blank.rows[i].text);
    }
    if (YesNo(QStringLiteral("Add \"Extras\"?"))) {
        SaveERec(SaveSender::None);
        ProgText = AddExtras(ProgText, ProgrammeSeparator, blank.rows, blank.lastWasNextTime);
        ShowEvent(false);
    }
    EventsChange();
}

void TOrgForm::ClearAllClick() {
    ShowEventsPage();
    WriteLog(QStringLiteral("ClearAll"));
    // Marked before as well: the headings-only view goes while every row is there.
    EventsChange();
    ProgText.clear();
    ShowEvent(false);
    // Showing forgets the edit mark; the emptied programme is still to save.
    EventsChange();
}

void TOrgForm::DupEventClick() {
    WriteLog(QStringLiteral("Dup Event"));
    SaveERec(SaveSender::SaveE);
    QList<QString> values;
    for (int i = 0; i < EventsData.FieldCount(); ++i) values.append(EventsData.Fields(i).AsString());
    EventsData.Insert();
    for (int i = 0; i < EventsData.FieldCount(); ++i)
        if (EventsData.Fields(i).DataType() != FieldType::DateTime) EventsData.Fields(i).SetAsString(values[i]);
    Field &programme = EventsData.FieldByName(QStringLiteral("Programme"));
    if (!programme.AsString().isEmpty()) {
        const int answer = DBox3(QStringLiteral("Do you want to copy the whole programme,\rjust the \"Next time\" "
                                                "dances, or nothing?"),
                                 QStringLiteral("&Programme"), QStringLiteral("&Next time"), 54400,
                                 QStringLiteral("Nothing"));
        if (answer == ResultNo) programme.SetAsString(NextTimeProgramme(programme.AsString(), ProgrammeSeparator));
        else if (answer != ResultYes) programme.SetAsString(QString());
    }
    EventsData.FieldByName(QStringLiteral("Updated")).SetAsString(QString());
    EventsData.FieldByName(QStringLiteral("Acknowledged")).SetAsString(QString());
    NoEvaluation = true;
    ShowEvent(true);
    NoEvaluation = false;
    DateBox->clear();
    DateBox->setFocus();
    DateBox->setModified(true);
}

void TOrgForm::CopyCutClick(QAction *item) {
    WriteLog(QStringLiteral("Copy"));
    const QString name = item->objectName();
    const bool keep = !ProgClip.isEmpty() && YesNo(QStringLiteral("Add to items already copied?"));
    const ClipCommand command = name == QLatin1String("CopySel")    ? ClipCommand::Selected
                                : name == QLatin1String("CopyAll")  ? ClipCommand::All
                                : name == QLatin1String("CutSect")  ? ClipCommand::CutSection
                                                                    : ClipCommand::Section;
    // Row moves and heading edits since the last save are copied too.
    SaveERec(SaveSender::None);
    const ClipResult r =
        CopyToClip(command, Rows->RowItems(), RowMarks(), ThisIndex, ProgText, ProgrammeSeparator,
                   ProgClip, keep);
    ProgClip = r.clip;
    for (int i : r.released) Rows->ReleaseItem(Rows->ItemList[i]);
    if (command == ClipCommand::CutSection) {
        Rows->LayOutRows();
        EventsChange();
    } else if (command == ClipCommand::Section) {
        ShowEvent(false);
    }
}

void TOrgForm::EraseSectClick() {
    EventsChange();
    for (int i : EraseSectionRows(Rows->RowItems(), ThisIndex)) Rows->ReleaseItem(Rows->ItemList[i]);
    Rows->LayOutRows();
}

void TOrgForm::EraseSelClick() {
    WriteLog(QStringLiteral("EraseSel"));
    for (int i : MarkedRows(RowMarks())) Rows->ReleaseItem(Rows->ItemList[i]);
    Rows->LayOutRows();
    EventsChange();
}

void TOrgForm::MoveSectClick() {
    WriteLog(QStringLiteral("MoveSect"));
    // Without a selected row there is no section: cutting would take all.
    if (ThisIndex < 0 || ThisIndex >= Rows->ItemList.size()) return;
    ProgClip.clear();
    QAction cut;
    cut.setObjectName(QStringLiteral("CutSect"));
    CopyCutClick(&cut);
    SaveERec(SaveSender::None);
    MsgTimeout = 2000;
    ShowMsg(QStringLiteral("Click on a heading - the section will be moved before this"));
    MovePending = true;
}

void TOrgForm::PasteClick() {
    WriteLog(QStringLiteral("Paste"));
    SaveERec(SaveSender::None);
    ProgText = PasteClip(ProgText, ProgrammeSeparator, ThisIndex, ProgClip);
    ShowEvent(false);
    EventsChange();
}
