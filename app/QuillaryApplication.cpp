#include "app/QuillaryApplication.h"

#include "core/services/ErrorRouting.h"

#include <clocale>

QuillaryApplication::QuillaryApplication(int &argc, char **argv) : QApplication(argc, argv) {
    // No display name: the window system would append it to every caption
    // ("Filter — Quillary"); a window without a caption shows the name.
    setApplicationName(QStringLiteral("Quillary"));
    // libmpv refuses to start unless numbers are read the C way.
    std::setlocale(LC_NUMERIC, "C");
}

bool QuillaryApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        RouteEscapedException(std::current_exception());
        return false;
    }
}
