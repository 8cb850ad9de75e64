#include "platform/shell/DocumentOpener.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>

namespace {

class DesktopOpener : public DocumentOpener {
public:
    bool open(const QUrl &target) override { return QDesktopServices::openUrl(target); }
    // The file's type, then the desktop's default program for it; an empty
    // answer means none. When the question cannot be asked, yes.
    bool hasProgram(const QString &file) override {
        const QString type = QMimeDatabase().mimeTypeForFile(file).name();
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
        if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit ||
            query.exitCode() != 0)
            return true;
        return !query.readAllStandardOutput().trimmed().isEmpty();
    }
};

DocumentOpener *g_opener = nullptr;

} // namespace

DocumentOpener &CurrentDocumentOpener() {
    static DesktopOpener desktop;
    return g_opener ? *g_opener : desktop;
}

void SetDocumentOpener(DocumentOpener *opener) { g_opener = opener; }
