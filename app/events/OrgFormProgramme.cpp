// The main window's part of the programme rows: the rows widget on the
// Events page, building the rows of the shown event from its programme
// string, and what the rows report back.

#include "app/OrgForm.h"

#include "base/Log.h"
#include "core/startup/ProgrammeRowSettings.h"
#include "core/startup/Settings.h"
#include "programme/rows/ProgrammeRows.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>

namespace {

bool SameColumns(const DisplayColumns &a, const DisplayColumns &b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].width != b[i].width) return false;
    return true;
}

bool SameShape(const RowSettings &a, const RowSettings &b) {
    return SameColumns(a.display, b.display) && a.scale.screenScale == b.scale.screenScale &&
           a.scale.toFit == b.scale.toFit && a.scale.large == b.scale.large;
}

} // namespace

QWidget *TOrgForm::buildProgrammeRows() {
    auto *panel = new QWidget(EventPage);
    panel->setObjectName(QStringLiteral("RowPanel"));
    // The title row's band above the rows, then room for a dozen rows.
    panel->setMinimumHeight(16 + 260);
    Rows = new ProgrammeRows(panel);
    Rows->setEventSink(this);
    Rows->settings = CurrentRowSettings();
    Rows->BuildTitleRow();
    Body = Rows->Body;
    return panel;
}

void TOrgForm::BuildTitleRow() {
    Rows->FreePools();
    // The rows went with the pools: idle time builds them again.
    RowsBuilt = false;
    Rows->settings = CurrentRowSettings();
    Rows->BuildTitleRow();
}

bool TOrgForm::HeadingsOnly() const {
    return OptionChecked(QStringLiteral("Headings"));
}

ProgrammeRead TOrgForm::ShowProgText(bool Rebuild, const QString &programme) {
    if (Rebuild) ProgText = programme;
    // [Display] and the scale are read once start-up has the settings, and
    // again after they changed.
    const RowSettings now = CurrentRowSettings();
    if (!SameShape(now, Rows->settings)) BuildTitleRow();
    Rows->settings.separator = now.separator;
    const ProgrammeRead read = Rows->ShowProgramme(ProgText, HeadingsOnly());
    if (read.repaired) ProgText = read.stored;
    return read;
}

void TOrgForm::SerialiseRows() {
    Rows->SerialiseRows(ProgText);
}

void TOrgForm::DetailsClick() {
    WriteLog(QStringLiteral("Details"));
    auto *dance = qobject_cast<TDance *>(Rows->ThisItem);
    if (ThisIndex < 0 || !dance || dance->key().Title.isEmpty()) return;
    const DanceKey key = dance->key();
    LocateDance(key.Title, key.Format, key.Style);
    ShowDance();
    if (TitleBtn->isVisible()) TitleBtn->setFocus();
}

void TOrgForm::NotesMouseDown(TNotes *row, QMouseEvent *event) {
    Q_UNUSED(event);
    Rows->SelectItem(row);
    // Selecting focuses the row; the press was meant for typing in the note.
    row->Notes->setFocus();
}

