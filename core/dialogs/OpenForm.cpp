#include "core/dialogs/OpenForm.h"

#include "base/Messages.h"
#include "core/services/Help.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TOpenForm *OpenForm = nullptr;

TOpenForm::TOpenForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OpenForm"));
    setWindowTitle(QStringLiteral("Open"));
    setModal(true);
    OpenList = new QListWidget(this);
    OpenList->setObjectName(QStringLiteral("OpenList"));
    ExitBtn = new QPushButton(QStringLiteral("E&xit"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(OpenList, 1);
    layout->addWidget(ExitBtn, 0, Qt::AlignRight);
    connect(OpenList, &QListWidget::itemClicked, this, [this] { done(ResultOK); });
    connect(ExitBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });
}

QString TOpenForm::Chosen() const {
    const QListWidgetItem *item = OpenList->currentItem();
    return item ? item->text() : QString();
}

TOpenForm *CreateOpenForm(QWidget *parent) {
    if (!OpenForm) OpenForm = new TOpenForm(parent);
    return OpenForm;
}
