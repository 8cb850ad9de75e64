#include "core/dialogs/GenderForm.h"

#include "base/Messages.h"
#include "core/services/Help.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TGenderForm::TGenderForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("GenderForm"));
    setWindowTitle(QStringLiteral("Gender names"));
    setModal(true);
    Man = new QLabel(QStringLiteral("Man"), this);
    Man->setObjectName(QStringLiteral("Man"));
    Woman = new QLabel(QStringLiteral("Woman"), this);
    Woman->setObjectName(QStringLiteral("Woman"));
    MNew = new QLineEdit(this);
    MNew->setObjectName(QStringLiteral("MNew"));
    WNew = new QLineEdit(this);
    WNew->setObjectName(QStringLiteral("WNew"));
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(Man, 0, 0);
    grid->addWidget(MNew, 0, 1);
    grid->addWidget(Woman, 1, 0);
    grid->addWidget(WNew, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(ResultOK); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });
}

void TGenderForm::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F1) {
        OpenHelp(55080);
        return;
    }
    QDialog::keyPressEvent(event);
}
