#include "platform/shell/DocumentOpener.h"

#include <QDesktopServices>

namespace {

class DesktopOpener : public DocumentOpener {
public:
    bool open(const QUrl &target) override { return QDesktopServices::openUrl(target); }
};

DocumentOpener *g_opener = nullptr;

} // namespace

DocumentOpener &CurrentDocumentOpener() {
    static DesktopOpener desktop;
    return g_opener ? *g_opener : desktop;
}

void SetDocumentOpener(DocumentOpener *opener) { g_opener = opener; }
