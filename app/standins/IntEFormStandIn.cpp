#include "app/standins/IntEFormStandIn.h"

#include "platform/rtf/RichEdit.h"

namespace StandIn {

IntEForm::IntEForm() : Main(new RichEdit), Footer(new RichEdit) {
    Main->setObjectName(QStringLiteral("IntMain"));
    Footer->setObjectName(QStringLiteral("IntFooter"));
}

IntEForm::~IntEForm() {
    delete Main;
    delete Footer;
}

bool IntEForm::Unsaved() const { return Main->modified() || Footer->modified(); }

IntEForm &IntEFormPanes() {
    static IntEForm *panes = new IntEForm;
    return *panes;
}

} // namespace StandIn
