// Main-window handlers that do only what start-up needs of them so far; each
// grows into its full behaviour with the part of the program it belongs to.

#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/dances/DanceLocate.h"
#include "core/startup/Settings.h"
#include "core/startup/SplashForm.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/DataSource.h"
#include "programme/CallCounting.h"
#include "programme/ProgrammeRows.h"
#include "programme/ProgrammeText.h"
#include "programme/Rules.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <algorithm>

// ---- the window's part in the database commands --------------------------------

void TOrgForm::SetBusy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busy;
    } else if (busy > 0) {
        QApplication::restoreOverrideCursor();
        --busy;
    }
}

void TOrgForm::SplashStatus(const QString &text) {
    if (SplashForm) SplashForm->SetStatus(text);
    else if (!text.isEmpty()) WriteLog(text);
}

void TOrgForm::HideSplash() {
    ::HideSplash();
}

void TOrgForm::SetDOrderBox(int entry) {
    const QSignalBlocker quiet(DOrderBox);
    DOrderBox->setCurrentIndex(entry);
}

void TOrgForm::CloseMainWindow() {
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}


// Putting a dance into the programme, until the chooser step of the editor
// commands comes: the current dance goes in as a new row after the
// selection, which moves onto it.
void TOrgForm::SelectDClick(QObject *Sender) {
    Q_UNUSED(Sender);
    WriteLog(QStringLiteral("Stand-in: SelectDClick"));
    if (!DancesData.active() || DancesData.IsEmpty()) return;
    const DanceKey key = CurrentDanceKey(DancesData);
    if (key.Title.isEmpty()) return;
    SaveERec(SaveSender::None);
    QList<ProgrammeItem> items = ReadProgramme(ProgText, ProgrammeSeparator).items;
    items.removeIf([](const ProgrammeItem &i) { return !ItemIsWritten(i); });
    const int at = std::clamp(ThisIndex + 1, 0, int(items.size()));
    items.insert(at, ProgrammeItem::dance(key));
    ProgText = WriteProgramme(items, ProgrammeSeparator, ProgText);
    ShowEvent(false);
    ThisIndex = at;
    if (at < Rows->ItemList.size()) Rows->SelectItem(Rows->ItemList[at]);
    EventsChange();
}
