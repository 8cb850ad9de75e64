#include "core/dialogs/ProgBox.h"

#include "base/Messages.h"
#include "platform/print/LinePrinter.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

TProgBox *ProgBox = nullptr;

namespace {
const QString OKCaption = QStringLiteral("OK");
}

TProgBox::TProgBox(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProgBox"));
    setWindowTitle(QString());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Modal from its first showing in a run: the review at the end keeps the
    // window the run showed, since a window manager may lose a window that is
    // unmapped and mapped again at once. Nothing else can be started while a
    // run processes window messages, and the box answers above a modal
    // window the run was started from (the import window).
    setWindowModality(Qt::ApplicationModal);

    ProgText = new QPlainTextEdit(this);
    ProgText->setObjectName(QStringLiteral("ProgText"));
    ProgText->setReadOnly(true);
    ProgText->setFrameShape(QFrame::NoFrame);
    ProgText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ProgText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ProgText->setFocusPolicy(Qt::NoFocus);

    auto *bottom = new QWidget(this);
    ELabel = new QLabel(bottom);
    ELabel->setObjectName(QStringLiteral("ELabel"));
    ELabel->setTextFormat(Qt::PlainText);
    Gauge = new QFrame(bottom);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setFrameShape(QFrame::Box);
    Gauge->setMinimumHeight(16);
    Gauge->hide();
    Filler = new QFrame(Gauge);
    Filler->setObjectName(QStringLiteral("Filler"));
    Filler->setAutoFillBackground(true);
    QPalette fill = Filler->palette();
    fill.setColor(QPalette::Window, QColor(0, 0, 128));
    Filler->setPalette(fill);
    Filler->setGeometry(0, 0, 1, 16);
    PrintBtn = new QPushButton(QStringLiteral("&Print"), bottom);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintBtn->setAutoDefault(false);
    PrintBtn->hide();
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), bottom);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *row = new QHBoxLayout(bottom);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(ELabel, 1);
    row->addWidget(Gauge, 2);
    row->addWidget(PrintBtn);
    row->addWidget(CancelBtn);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ProgText, 1);
    column->addWidget(bottom);

    connect(CancelBtn, &QPushButton::clicked, this, &TProgBox::CancelBtnClick);
    connect(PrintBtn, &QPushButton::clicked, this, &TProgBox::PrintBtnClick);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() - 1 : 600;
    setGeometry(-5, 0, ScaledSize(250), height);
    move(-5, 0);
    SetProgressView(this);
    if (!ProgBox) ProgBox = this;
}

TProgBox::~TProgBox() {
    if (CurrentProgressView() == this) SetProgressView(nullptr);
    if (ProgBox == this) ProgBox = nullptr;
}

bool TProgBox::reviewing() const { return CancelBtn->text() == OKCaption; }

void TProgBox::CancelBtnClick() {
    if (reviewing()) {
        QDialog::reject();
        return;
    }
    AskCancelRun();
}

void TProgBox::PrintBtnClick() {
    PrintJob job;
    job.title = windowTitle();
    job.lines = QStringList{windowTitle(), QString()} + lines;
    job.pointSize = 12;
    CurrentLinePrinter().print(job);
}

void TProgBox::reject() {
    // Esc answers the Cancel button.
    CancelBtnClick();
}

void TProgBox::closeEvent(QCloseEvent *event) {
    if (reviewing() || !isVisible()) {
        QDialog::closeEvent(event);
        return;
    }
    // The close box during a run asks like Cancel; the run ends itself.
    event->ignore();
    AskCancelRun();
}

bool TProgBox::event(QEvent *event) {
    const bool done = QDialog::event(event);
    // A window manager adds its frame after the window is shown: the window
    // is fitted again whenever it shows, moves or changes size.
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) fitToScreen();
    return done;
}

void TProgBox::fitToScreen() {
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen || !isVisible()) return;
    const QRect free = screen->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame.top() >= free.top() && frame.bottom() <= free.bottom()) return;
    // As high as the free area less 1, title bar and frame included.
    const int chrome = frame.height() - height();
    resize(width(), std::max(free.height() - 1 - chrome, 100));
    move(x(), free.top());
}

void TProgBox::startRun(const QString &caption, int width) {
    setWindowTitle(caption);
    lines.clear();
    ProgText->clear();
    resize(width, this->height());
    CancelBtn->setText(QStringLiteral("Cancel"));
    CancelBtn->setDefault(true);
    CancelBtn->setFocus();
    PrintBtn->hide();
    ELabel->clear();
    Gauge->hide();
    ProgText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ProgText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TProgBox::setBoxWidth(int width) { resize(width, height()); }

void TProgBox::showBox() {
    if (isVisible()) return;
    show();
    CancelBtn->setFocus();
}

void TProgBox::appendLine(const QString &line) {
    lines.append(line);
    ProgText->appendPlainText(line);
    Gauge->hide();
    repaint();
}

void TProgBox::setErrorLabel(const QString &text) { ELabel->setText(text); }

void TProgBox::showGauge(int percent) {
    showBox();
    if (!Gauge->isVisible()) {
        Gauge->show();
        if (Gauge->parentWidget()->layout()) Gauge->parentWidget()->layout()->activate();
    }
    Filler->setGeometry(0, 0, Gauge->width() * percent / 100 + 1, Gauge->height());
}

void TProgBox::startClosing(bool verticalScrollBar) {
    CancelBtn->setText(OKCaption);
    if (verticalScrollBar) ProgText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TProgBox::showPrint() { PrintBtn->show(); }

void TProgBox::review() {
    // Shown modally already (when not, exec shows it): in front, with the focus.
    if (isVisible()) {
        raise();
        activateWindow();
    }
    CancelBtn->setFocus();
    exec();
}

void TProgBox::endRun() {
    setWindowTitle(QString());
    hide();
}
