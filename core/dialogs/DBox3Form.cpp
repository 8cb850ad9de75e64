#include "core/dialogs/DBox3Form.h"

#include "core/services/Help.h"

#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TDBox3Form *DBox3Form = nullptr;

namespace {
const QString HelpCaption = QStringLiteral("&Help");
constexpr int MsgWidth = 267;
} // namespace

TDBox3Form::TDBox3Form(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DBox3Form"));
    setWindowTitle(QStringLiteral("Quillary"));
    setModal(true);

    P = new QFrame(this);
    P->setObjectName(QStringLiteral("P"));

    Msg = new QLabel(P);
    Msg->setObjectName(QStringLiteral("Msg"));
    Msg->setTextFormat(Qt::PlainText);
    Msg->setWordWrap(true);
    Msg->setFixedWidth(MsgWidth);
    Msg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Msg->setTextInteractionFlags(Qt::NoTextInteraction);

    HelpImg = new QLabel(P);
    HelpImg->setObjectName(QStringLiteral("HelpImg"));
    HelpImg->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(16, 16));
    HelpImg->hide();

    DontAsk = new QCheckBox(QStringLiteral("  &Don't ask/tell me this again."), P);
    DontAsk->setObjectName(QStringLiteral("DontAsk"));
    DontAsk->hide();

    Button1 = new QPushButton(P);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(P);
    Button2->setObjectName(QStringLiteral("Button2"));
    CancelBtn = new QPushButton(P);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(CancelBtn);

    auto *inner = new QVBoxLayout(P);
    inner->setContentsMargins(12, 12, 8, 8);
    inner->setSpacing(10);
    inner->addWidget(Msg);
    inner->addWidget(DontAsk);
    inner->addLayout(buttons);

    // The form takes the size of its panel.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(P);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, [this] { done(ResultYes); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });
}

BoxResult TDBox3Form::Execute(const BoxRequest &r) {
    Msg->setText(r.text);
    // The text's own size, taken before any enlarged message changed it.
    static const qreal baseFontSize = Msg->font().pointSizeF();
    QFont font = Msg->font();
    font.setPointSizeF(baseFontSize * std::max(1, r.textScale));
    Msg->setFont(font);
    Msg->setFixedWidth(MsgWidth * std::max(1, r.textScale));
    Msg->setFixedHeight(Msg->heightForWidth(MsgWidth * std::max(1, r.textScale)));

    Button1->setText(r.caption1);
    Button1->setVisible(true);
    Button2->setText(r.caption2);
    Button2->setIcon(r.caption2 == HelpCaption ? QIcon(HelpImg->pixmap()) : QIcon());
    Button2->setVisible(!r.caption2.isEmpty());
    CancelBtn->setText(r.caption3);
    CancelBtn->setIcon(QIcon());
    CancelBtn->setVisible(true);
    DontAsk->setVisible(r.showDontAsk);

    HelpContext = r.helpContext;
    setWindowTitle(QStringLiteral("Quillary"));
    adjustSize();
    centreOnScreen();

    BoxResult res;
    res.result = exec();
    res.dontAsk = DontAsk->isChecked();
    DontAsk->hide();
    HelpContext = 0;
    return res;
}

void TDBox3Form::Button2Click() {
    if (HelpContext > 0 && Button2->text() == HelpCaption) {
        OpenHelp(HelpContext); // the box stays open
        return;
    }
    done(ResultNo);
}

void TDBox3Form::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (HelpContext > 0) OpenHelp(HelpContext);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDBox3Form::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    (Button1->isVisible() ? Button1 : Button2)->setFocus();
}

void TDBox3Form::centreOnScreen() {
    QScreen *screen = QGuiApplication::primaryScreen();
    if (QWidget *active = QApplication::activeWindow()) screen = active->screen();
    if (!screen) return;
    // The window frame is not known before the box is shown: centre its inside.
    QRect inside(QPoint(), size());
    inside.moveCenter(screen->availableGeometry().center());
    setGeometry(inside);
}
