#include "core/OrgForm.h"

#include "core/MsgPanel.h"
#include "platform/shell/KeyState.h"

TOrgForm *OrgForm = nullptr;

TOrgForm::TOrgForm(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("OrgForm"));
    setWindowTitle(QStringLiteral("Quillary"));
    resize(1000, 700);
    new TMsgPanel(this);
    KeyState::install();
}
