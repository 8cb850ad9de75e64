#include "core/OrgForm.h"

#include "core/DatabasePages.h"

TOrgForm *OrgForm = nullptr;

TOrgForm::TOrgForm(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("OrgForm"));
    setWindowTitle(QStringLiteral("Quillary"));
    resize(1000, 700);
    new DatabasePages(this);
}
