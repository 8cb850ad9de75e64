#include "app/Program.h"

#include "app/OrgForm.h"
#include "app/QuillaryApplication.h"
#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dialogs/DBox3Form.h"
#include "core/dialogs/OpenForm.h"
#include "core/dialogs/MessageBoxes.h"
#include "core/dialogs/ProgBox.h"
#include "core/filter/FiltForm.h"
#include "core/help/HelpHook.h"
#include "core/startup/HintPause.h"
#include "core/startup/SplashForm.h"
#include "core/views/ListForm.h"
#include "platform/instance/SingleInstance.h"
#include "platform/media/WavePlayer.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "presentation/SetForm.h"
#include "presentation/editor/IntEForm.h"

#include <QApplication>
#include <memory>

namespace {
MessageBoxPresenter *g_boxes = nullptr;
}

void CreateForms() {
    OrgForm = new TOrgForm;
    SetRecordHookHandlers(OrgForm);
    SplashForm = new TSplashForm;
    SplashForm->Start();
    if (g_boxes) g_boxes->CreateSharedBox();
    new TProgBox(OrgForm);
    CreateFiltForm(OrgForm);
    CreateHelpHook();
    MakeSetForm(OrgForm);
    CreateListForm(OrgForm);
    CreateOpenForm(OrgForm);
    IntEFormWindow();
    ApplySaveInstructionsHook = [] {
        TIntEForm &editor = IntEFormWindow();
        if (editor.Inst->modified() && YesNo(QStringLiteral("Save changes to instructions?"))) editor.SaveClick();
    };
    ApplyRelayoutHook = [] { IntEFormWindow().CardSettingsApplied(); };
}

void FreeForms() {
    CloseSplash();
    DestroyFiltForm();
    FreeHelpHook();
    DropIntEFormWindow();
    delete OrgForm; // with the windows it owns
    OrgForm = nullptr;
}

int ProgramBlock(const ProgramOptions &options) {
    MessageBoxPresenter boxes;
    g_boxes = &boxes;
    SetDefaultMessagePresenter(&boxes);
    struct Restore {
        ~Restore() {
            SetDefaultMessagePresenter(nullptr);
            g_boxes = nullptr;
        }
    } restore;

    SingleInstance instance(
        options.lockFolder.isEmpty() ? SingleInstance::DefaultLockFolder() : options.lockFolder,
        options.serverName.isEmpty() ? SingleInstance::DefaultServerName() : options.serverName);
    if (!instance.tryLock()) {
        ShowMsg(AlreadyRunningText);
        return 0;
    }
    instance.listen();

    HintPause hints;
    qApp->installEventFilter(&hints);

    InitProgramFolder();
    if (!options.programFolder.isEmpty()) {
        ProgramFolder = options.programFolder.endsWith('/') ? options.programFolder
                                                            : options.programFolder + '/';
    }

    // The splash window's click waits until start-up has ended (the first
    // idle call), so that loading the sound library delays nothing.
    HoldSounds(true);
    CreateForms();
    QObject::connect(&instance, &SingleInstance::messageReceived, OrgForm,
                     [](const QByteArray &bytes) {
                         if (OrgForm) OrgForm->WMCopyData(bytes);
                     });
    OrgForm->show();
    const int rc = QApplication::exec();
    FreeForms();
    qApp->removeEventFilter(&hints);
    return rc;
}

int RunQuillary(int argc, char **argv) {
    std::unique_ptr<QuillaryApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QuillaryApplication>(argc, argv);
    return ProgramBlock();
}
