#include "core/dialogs/MsgPanel.h"

#include "base/Messages.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

TMsgPanel::TMsgPanel(QWidget *mainWindow) : QFrame(mainWindow) {
    setObjectName(QStringLiteral("MsgPanel"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    MsgLabel = new QLabel(this);
    MsgLabel->setObjectName(QStringLiteral("MsgLabel"));
    MsgLabel->setTextFormat(Qt::PlainText);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(MsgLabel);
    HideTimer = new QTimer(this);
    HideTimer->setSingleShot(true);
    HideTimer->setInterval(5000);
    connect(HideTimer, &QTimer::timeout, this, &QWidget::hide);
    hide();
    SetMessagePanel(this);
}

TMsgPanel::~TMsgPanel() {
    if (CurrentMessagePanel() == this) SetMessagePanel(nullptr);
}

void TMsgPanel::showPanel(const QString &text) {
    MsgLabel->setText(ShownText(text));
    adjustSize();
    if (QWidget *window = parentWidget()) move((window->width() - width()) / 2, (window->height() - height()) / 2);
    raise();
    show();
    HideTimer->start();
}

void TMsgPanel::hidePanel() {
    HideTimer->stop();
    hide();
}
