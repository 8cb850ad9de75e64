#include "core/help/HelpHook.h"

#include "base/Log.h"
#include "core/help/HelpWindow.h"
#include "core/services/Help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBrowser>

THookHelpSystem *HelpHook = nullptr;

THookHelpSystem::THookHelpSystem(HelpMap m) : map(std::move(m)) {
    SetHelpOpener([this](int context) { ShowContext(context); });
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

THookHelpSystem::~THookHelpSystem() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
    SetHelpOpener({});
    CloseHelp();
    delete window;
}

bool THookHelpSystem::HelpRequest(int command, qintptr data) {
    switch (command) {
    case 1:
    case 8:
        ShowContext(int(data));
        return true;
    case 13:
        popupPos = QPoint(int(data & 0xFFFF), int((data >> 16) & 0xFFFF));
        return true;
    default:
        return false;
    }
}

void THookHelpSystem::ShowContext(int context) {
    QString target = map.target(context);
    if (target.isEmpty()) {
        WriteLog(QStringLiteral("Help: no page for context ") + QString::number(context));
        target = HelpIndexPage;
    }
    // A modal box blocks every other window: the help window then belongs to
    // the box, so that it can be used beside it.
    QWidget *owner = QApplication::activeModalWidget();
    if (window && window->parentWidget() != owner) {
        window->hide();
        window->setParent(owner, Qt::Window);
        if (owner) owner->installEventFilter(window);
    }
    if (!window) window = new THelpWindow(owner);
    window->ShowTopic(target);
}

void THookHelpSystem::CloseHelp() {
    if (window) window->close();
}

THelpWindow *THookHelpSystem::Window() const { return window; }

int THookHelpSystem::ContextOf(const QWidget *widget) {
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const int n = w->property("helpContext").toInt();
        if (n > 0) return n;
    }
    return 0;
}

bool THookHelpSystem::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    // In a menu: the highlighted command's context.
    if (const auto *menu = qobject_cast<QMenu *>(watched)) {
        const int context = menu->activeAction() ? menu->activeAction()->property("HelpContext").toInt() : 0;
        ShowContext(context > 0 ? context : HelpContents);
        return true;
    }
    // The press reaches the focus widget's window, then each parent: answer
    // it once, at the focus widget.
    QWidget *focus = QApplication::focusWidget();
    if (focus && watched != focus) return false;
    if (!focus) focus = qobject_cast<QWidget *>(watched);
    const int context = ContextOf(focus);
    // A box with its own Help handling answers F1 itself.
    if (context == 0 && focus && focus->window()->isModal()) return false;
    ShowContext(context > 0 ? context : HelpContents);
    return true;
}

void CreateHelpHook() {
    if (!HelpHook) HelpHook = new THookHelpSystem;
}

void FreeHelpHook() {
    delete HelpHook;
    HelpHook = nullptr;
}

void CloseHelpWindow() {
    if (HelpHook) HelpHook->CloseHelp();
}
