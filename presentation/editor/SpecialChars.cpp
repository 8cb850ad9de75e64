#include "presentation/editor/SpecialChars.h"

#include "base/Cp1252.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"

#include <QFrame>
#include <QPointer>
#include <QPushButton>

namespace {

QPointer<QFrame> Panel;
std::function<void(const QString &)> Handler;

// The caption of button 16 j + i: its character, or nothing for the
// control characters below a blank.
QString Caption(int code) {
    if (code < 32) return {};
    return QString(Cp1252::decodeByte(static_cast<unsigned char>(code)));
}

QFrame *Make(QWidget *owner) {
    auto *panel = new QFrame(owner);
    panel->setObjectName(QStringLiteral("SpecialPanel"));
    panel->setGeometry(36, 36, 580, 580);
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, QColor(214, 211, 206));
    panel->setPalette(p);
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) {
            // "&" would mark a mnemonic: it is doubled on the button.
            auto *b = new QPushButton(DoubleAmpersands(Caption(16 * j + i)), panel);
            b->setGeometry(4 + 36 * i, 4 + 36 * j, 32, 32);
            b->setFocusPolicy(Qt::NoFocus);
            b->setProperty("code", 16 * j + i);
            QObject::connect(b, &QPushButton::clicked, panel, [b] {
                if (Handler) Handler(Caption(b->property("code").toInt()));
            });
        }
    return panel;
}

} // namespace

void ShowSpecialChars(QWidget *owner, std::function<void(const QString &)> handler, RichEdit *fontFrom) {
    if (!owner) return;
    if (!Panel) Panel = Make(owner);
    if (Panel->parentWidget() != owner) {
        Panel->setParent(owner);
        Panel->move(36, 36);
    }
    Handler = std::move(handler);
    QFont font = owner->font();
    if (fontFrom) {
        const QTextCharFormat f = fontFrom->textCursor().charFormat();
        if (!f.fontFamilies().toStringList().isEmpty()) font.setFamilies(f.fontFamilies().toStringList());
    }
    font.setPointSize(12);
    // The fractions keep the decorative display font chosen at start-up.
    QFont fractions = font;
    if (!SpecialFont.isEmpty()) fractions.setFamilies({SpecialFont});
    for (QPushButton *b : Panel->findChildren<QPushButton *>()) {
        const int code = b->property("code").toInt();
        b->setFont(code >= 0xBC && code <= 0xBE ? fractions : font);
    }
    Panel->show();
    Panel->raise();
}

QFrame *SpecialPanel() { return Panel; }

void HideSpecialChars() {
    if (Panel) Panel->hide();
}
