// The main window's side of the full-screen display: what the display asks
// of it, and the notes view opened by a double-click on notes.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Dates.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/fullscreen/Full.h"
#include "programme/rows/ProgrammeRows.h"

#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

namespace {

// A double-click in the Dances page's notes opens the notes view.
class NotesDoubleClick : public QObject {
public:
    NotesDoubleClick(QObject *parent, std::function<void()> open) : QObject(parent), open(std::move(open)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            open();
            return true;
        }
        return false;
    }

private:
    std::function<void()> open;
};

} // namespace

void TOrgForm::ConnectFullScreen() {
    // A link under the caret is followed; plain notes open the notes view.
    Notes->viewport()->installEventFilter(new NotesDoubleClick(Notes, [this] { FollowNoteLink(Notes); }));
}

void TOrgForm::FullScreenNotes(QPlainTextEdit *memo) {
    if (FullScreenShowing() || !memo) return;
    CommandItem = NotesItem;
    RunNotesView(memo, this);
    CommandItem = nullptr;
}

QList<ProgrammeItem> TOrgForm::ProgrammeItems() const { return Rows ? Rows->RowItems() : QList<ProgrammeItem>(); }

void TOrgForm::SelectProgrammeRow(int index) {
    if (!Rows || index < 0 || index >= Rows->ItemList.size()) return;
    SavedPage = EventPage;
    Rows->SelectItem(Rows->ItemList[index]);
}

void TOrgForm::ShowSelectedDance() { DetailsClick(); }

void TOrgForm::StepProgrammeDance(int direction) { ProgPNClick(direction > 0 ? ProgN : ProgP); }

RichEdit *TOrgForm::InstructionsControl() { return Instructions; }

QString TOrgForm::ShownField(const QString &field) {
    if (field == QLatin1String("Title")) return DisplayTitle(Title->text());
    if (field == QLatin1String("Notes")) return Notes->toPlainText();
    if (field == QLatin1String("Music"))
        return DancesData.active() && !DancesData.IsEmpty() ? DancesData.FieldByName(field).AsString() : QString();
    for (QLineEdit *box : {Format, Style, Called, KeySig, Org, ETime, Band})
        if (box->objectName() == field) return box->text();
    return {};
}

double TOrgForm::ShownEventDate() const {
    if (!EventsData.active() || EventsData.IsEmpty()) return NoDate;
    const QVariant date = EventsData.FieldByName(QStringLiteral("EDate")).Value();
    return date.isNull() ? NoDate : date.toDouble();
}

bool TOrgForm::PlayPanelShown() const { return PlayPnl->isVisibleTo(PlayPnl->parentWidget()); }

void TOrgForm::PlayOrStop() { PlayBtnClick(); }

TMyPlayer *TOrgForm::MediaPlayer() { return Player; }

bool TOrgForm::FoldersPageSaved() const { return SavedPage && SavedPage == FolderPage; }

bool TOrgForm::DancesPageSaved() const { return SavedPage && SavedPage == DancePage; }
