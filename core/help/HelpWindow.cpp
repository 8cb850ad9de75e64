#include "core/help/HelpWindow.h"

#include "core/help/HelpMap.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

static void initHelpResource() { Q_INIT_RESOURCE(help); }

THelpWindow::THelpWindow(QWidget *owner) : QWidget(owner, Qt::Window) {
    initHelpResource();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quillary Help"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    const auto button = [this](const QString &name, const QString &caption) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };
    BackBtn = button(QStringLiteral("BackBtn"), QStringLiteral("Back"));
    ForwardBtn = button(QStringLiteral("ForwardBtn"), QStringLiteral("Forward"));
    HomeBtn = button(QStringLiteral("HomeBtn"), QStringLiteral("Contents"));
    BackBtn->setEnabled(false);
    ForwardBtn->setEnabled(false);
    connect(BackBtn, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardBtn, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(HomeBtn, &QToolButton::clicked, this, [this] { ShowTopic(HelpIndexPage); });
    connect(Browser, &QTextBrowser::backwardAvailable, BackBtn, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardBtn, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = Browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Quillary Help")
                                       : QStringLiteral("Quillary Help - ") + title);
    });

    auto *bar = new QHBoxLayout;
    bar->addWidget(BackBtn);
    bar->addWidget(ForwardBtn);
    bar->addWidget(HomeBtn);
    bar->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(Browser, 1);
    resize(640, 560);
    if (owner) owner->installEventFilter(this);
}

void THelpWindow::ShowTopic(const QString &target) {
    const QUrl url(HelpRoot + target);
    Browser->setSource(url);
    // The same address again leaves the page where the user scrolled it.
    if (!url.fragment().isEmpty()) Browser->scrollToAnchor(url.fragment());
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void THelpWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool THelpWindow::eventFilter(QObject *watched, QEvent *event) {
    // The box it was opened from closes: so does the window.
    if (watched == parent() && event->type() == QEvent::Hide) hide();
    return QWidget::eventFilter(watched, event);
}
