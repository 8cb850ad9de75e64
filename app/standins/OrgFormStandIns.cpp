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

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabWidget>

// "User: " + key. Asking for the new value comes with the user settings.
void TOrgForm::UserClick(const QString &key) {
    WriteLog(QStringLiteral("User: ") + key);
}

// The notes view keeps its default height for now.
void TOrgForm::ViewNotesClick(bool fromMenu) {
    Q_UNUSED(fromMenu);
}

// Caption of the page now showing.
void TOrgForm::PCChange() {
    QWidget *page = PC->currentWidget();
    QString caption = QStringLiteral("Quillary");
    if (page == EventPage) caption = QStringLiteral("Quillary: Events");
    else if (page == DancePage) caption = QStringLiteral("Quillary: Dances");
    else if (page == RulePage) caption = QStringLiteral("Quillary: Rules");
    else if (page == RecPage) caption = QStringLiteral("Quillary: Recordings");
    setWindowTitle(caption);
    // Ctrl+S saves what the page shows: the event, or the dance.
    if (SaveE && SaveD) {
        const bool dances = page == DancePage;
        SaveE->setShortcut(dances ? QKeySequence() : QKeySequence(Qt::CTRL | Qt::Key_S));
        SaveD->setShortcut(dances ? QKeySequence(Qt::CTRL | Qt::Key_S) : QKeySequence());
    }
}

void TOrgForm::SelBoxChange(QComboBox *box) {
    Q_UNUSED(box);
}

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
