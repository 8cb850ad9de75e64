// The Help menu: the help pages, the About window, the update check and the
// system report; the help contexts of the main window's pages.

#include "app/OrgForm.h"

#include "base/Log.h"
#include "core/help/HelpHook.h"
#include "core/help/SystemReport.h"
#include "core/help/UpdateCheck.h"
#include "core/services/Help.h"
#include "core/startup/SplashForm.h"
#include "platform/net/Fetch.h"

#include <QAction>
#include <QMenu>
#include <QEvent>
#include <QLabel>

namespace {

// Closes the About window at a click anywhere on it but its web link.
class ClickCloser : public QObject {
public:
    explicit ClickCloser(TSplashForm *form) : QObject(form), form(form) {
        form->installEventFilter(this);
        for (QWidget *child : form->findChildren<QWidget *>())
            if (child != static_cast<QWidget *>(form->Website)) child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonPress) form->close();
        return false;
    }

private:
    TSplashForm *form;
};

} // namespace

void TOrgForm::buildHelpMenu() {
    const struct {
        QWidget *page;
        int context;
    } pages[] = {{RulePage, 20000}, {EventPage, 30000}, {DancePage, 40000}, {RecPage, 70000}, {FolderPage, 72000}};
    for (const auto &p : pages) p.page->setProperty("helpContext", p.context);

    const auto item = [this](const QString &caption, const char *name, int context) {
        QAction *a = HelpM->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (context) {
            a->setProperty("HelpContext", context);
            connect(a, &QAction::triggered, this, [context] { OpenHelp(context); });
        }
        return a;
    };
    item(QStringLiteral("Show Help\tF1"), "ShowHelp", HelpContents);
    item(QStringLiteral("Tutorial"), "Tutorial", 10100);
    item(QStringLiteral("What's new?"), "WhatsNew", 12000);
    item(QStringLiteral("Feedback"), "Feedback", 59100);
    HelpM->addSeparator();
    connect(item(QStringLiteral("About"), "About", 0), &QAction::triggered, this, &TOrgForm::AboutClick);
    connect(item(QStringLiteral("Check for updates"), "CheckUp", 0), &QAction::triggered, this,
            &TOrgForm::CheckUpClick);
    QAction *report = item(QStringLiteral("&Report"), "Report", 0);
    report->setProperty("HelpContext", 58350);
    connect(report, &QAction::triggered, this, &TOrgForm::ReportClick);

    SetFirstFetchHook([] { ::HideSplash(); });
}

void TOrgForm::AboutClick() {
    auto *about = new TSplashForm;
    about->setAttribute(Qt::WA_DeleteOnClose);
    new ClickCloser(about);
    about->adjustSize();
    about->move(geometry().center() - about->rect().center());
    about->show();
}

void TOrgForm::CheckUpClick() {
    WriteLog(QStringLiteral("Check for updates"));
    SetBusy(true);
    struct Idle {
        TOrgForm *form;
        ~Idle() { form->SetBusy(false); }
    } idle{this};
    CheckForUpdates();
}

void TOrgForm::ReportClick() { SystemReportCommand(); }
