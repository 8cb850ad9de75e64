#include "core/OrgForm.h"

TOrgForm *OrgForm = nullptr;

TOrgForm::TOrgForm(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("OrgForm"));
    setWindowTitle(QStringLiteral("Quillary"));
    resize(1000, 700);
}
