#include "core/Program.h"

#include "core/AppState.h"
#include "core/Log.h"
#include "core/MessageBoxes.h"
#include "core/OrgForm.h"
#include "core/QuillaryApplication.h"
#include "core/Settings.h"
#include "core/SettingsChoice.h"
#include "core/Tables.h"

#include <QDir>
#include <QTimer>

int RunQuillary(int argc, char **argv) {
    QuillaryApplication app(argc, argv);
    InitProgramFolder();
    MessageBoxPresenter boxes;
    SetDefaultMessagePresenter(&boxes);
    SetDataFolder(ProgramFolder);
    QDir::setCurrent(DataFolder);
    WriteLog(QStringLiteral("START"));
    int rc = 0;
    if (!OpenSettingsFile()) {
        ShowMsgUnlogged(SettingsNotFoundText(DataFolder + StandardIniName));
    } else {
        TOrgForm form;
        OrgForm = &form;
        form.show();
        // The database opens once the window is up.
        QTimer::singleShot(0, &form, [&app] {
            if (!StartDatabase()) app.quit();
        });
        rc = app.exec();
        Conn.close();
        OrgForm = nullptr;
    }
    WriteLog(QStringLiteral("END"));
    SetDefaultMessagePresenter(nullptr);
    return rc;
}
