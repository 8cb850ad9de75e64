#include "core/dialogs/AskNumber.h"

#include "base/Messages.h"
#include "core/dances/DanceShow.h"

#include <QApplication>
#include <QInputDialog>

bool AskNumber(const QString &prompt, int &n) {
    QInputDialog box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("AskNumberBox"));
    box.setWindowTitle(QStringLiteral("Quillary"));
    box.setLabelText(ShownText(prompt));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(QString::number(n));
    if (box.exec() != QDialog::Accepted) return false;
    int value = 0;
    if (!ParseNumberText(box.textValue(), &value)) {
        ShowMsg(QStringLiteral("Not a number!"));
        return false;
    }
    n = value;
    return true;
}
