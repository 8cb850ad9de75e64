#include "app/standins/OpenFormStandIn.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TOpenForm::TOpenForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OpenForm"));
    setWindowTitle(QStringLiteral("Open"));
    setProperty("HelpContext", 20000);
    auto *layout = new QVBoxLayout(this);
    OpenList = new QListWidget(this);
    OpenList->setObjectName(QStringLiteral("OpenList"));
    layout->addWidget(OpenList);
    ExitBtn = new QPushButton(QStringLiteral("E&xit"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    layout->addWidget(ExitBtn);
    connect(OpenList, &QListWidget::itemClicked, this, [this] { done(1); });
    connect(ExitBtn, &QPushButton::clicked, this, [this] { done(2); });
}

QString TOpenForm::chosen() const {
    return OpenList->currentItem() ? OpenList->currentItem()->text() : QString();
}
