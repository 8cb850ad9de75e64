#include "publishing/pages/AnnForm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TAnnForm::TAnnForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AnnForm"));
    setWindowTitle(QStringLiteral("Annotate web page"));
    UText = new QPlainTextEdit(this);
    UText->setObjectName(QStringLiteral("UText"));
    UText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = UText->font();
    font.setPixelSize(16);
    UText->setFont(font);
    SaveBtn = new QPushButton(QStringLiteral("&Save"), this);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    SaveBtn->setDefault(true);
    ExitBtn = new QPushButton(QStringLiteral("E&xit"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SaveBtn);
    buttons->addWidget(ExitBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(UText);
    layout->addLayout(buttons);
    resize(600, 300);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(UText, &QPlainTextEdit::textChanged, this, [this] { UTextChange(); });
    connect(SaveBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TAnnForm::UTextChange() {
    const QString text = UText->toPlainText();
    if (!text.contains(QChar(0x201C)) && !text.contains(QChar(0x201D))) return;
    QTextCursor cursor = UText->textCursor();
    const int position = cursor.position();
    QString straight = text;
    straight.replace(QChar(0x201C), QLatin1Char('"'));
    straight.replace(QChar(0x201D), QLatin1Char('"'));
    UText->setPlainText(straight);
    cursor = UText->textCursor();
    cursor.setPosition(std::min<int>(position, int(straight.size())));
    UText->setTextCursor(cursor);
}
