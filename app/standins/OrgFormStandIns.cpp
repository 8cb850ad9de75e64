// Main-window handlers that do only what start-up needs of them so far; each
// grows into its full behaviour with the part of the program it belongs to.

#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "core/startup/SplashForm.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/DataSource.h"
#include "programme/Rules.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabWidget>

void TOrgForm::RecDetsClick(bool fromMenu) {
    Q_UNUSED(fromMenu);
}

void TOrgForm::FormResize() {}

// The recordings base folder from [System] RFolder; "My Music" stands for
// the user's music folder.
void TOrgForm::SetRFolder() {
    QString folder = SettingText(QStringLiteral("System"), QStringLiteral("RFolder"));
    if (SameText(folder, QStringLiteral("My Music")))
        folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    folder.replace('\\', '/');
    if (!folder.isEmpty() && !folder.endsWith('/')) folder += '/';
    BaseFolder = folder;
    RBase->setText(BaseFolder);
}

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


// Events > "&Bookings" until the exchange-files command arrives: only the
// bookings page.
void TOrgForm::BookingsClick() {
    MakeWebPages(true);
}

// The full-screen notes view until the full-screen display arrives: logged.
void TOrgForm::OpenNotesView(const QString &notes) {
    WriteLog(QStringLiteral("Notes view: ") + notes.left(40));
}
