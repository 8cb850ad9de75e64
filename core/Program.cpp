#include "core/Program.h"

#include "core/AppState.h"
#include "core/Log.h"
#include "core/MessageBoxes.h"
#include "core/OrgForm.h"
#include "core/QuillaryApplication.h"

int RunQuillary(int argc, char **argv) {
    QuillaryApplication app(argc, argv);
    InitProgramFolder();
    MessageBoxPresenter boxes;
    SetDefaultMessagePresenter(&boxes);
    DataFolder = ProgramFolder;
    WriteLog(QStringLiteral("START"));
    int rc = 0;
    {
        TOrgForm form;
        OrgForm = &form;
        form.show();
        rc = app.exec();
        OrgForm = nullptr;
    }
    WriteLog(QStringLiteral("END"));
    SetDefaultMessagePresenter(nullptr);
    return rc;
}
