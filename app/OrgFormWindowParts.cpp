// Small parts of the main window that the database commands and start-up
// reach: the busy cursor, the splash status, the order box, closing.

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
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/text/ProgrammeText.h"
#include "programme/evaluation/Rules.h"

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
