// The main window's way into the whiteboard: the View menu command and the
// item name another program sends.

#include "app/OrgForm.h"

#include "core/services/CopyData.h"
#include "presentation/whiteboard/WhiteForm.h"

#include <QTimer>

void TOrgForm::WhiteboardClick() {
    // A whiteboard still closing (another program asked for a new item)
    // finishes first; the new one opens after it.
    if (OpenWhiteboard()) {
        QTimer::singleShot(0, this, [this] { WhiteboardClick(); });
        return;
    }
    TWhiteForm form(this);
    form.exec();
}

void TOrgForm::WMCopyData(const QByteArray &bytes) {
    const std::optional<QString> name = CopyDataName(bytes);
    if (!name) return;
    if (TWhiteForm *open = OpenWhiteboard()) open->close();
    CopyDataText = *name;
    QTimer::singleShot(0, this, [this] { WhiteboardClick(); });
}
