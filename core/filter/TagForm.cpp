#include "core/filter/TagForm.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TTagForm::TTagForm(QWidget *parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TagForm"));
    setWindowTitle(QStringLiteral("Tag sets"));
    setProperty("helpContext", 55540);
    setModal(true);
    setSizeGripEnabled(true);

    TList = new QListWidget(this);
    TList->setObjectName(QStringLiteral("TList"));
    ExitBtn = new QPushButton(QStringLiteral("Cancel"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    ExitBtn->setDefault(true);
    ExitBtn->setAutoDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TList, 1);
    layout->addWidget(ExitBtn);
    resize(220, 260);

    connect(TList, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        chosen = item->text();
        accept();
    });
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TTagForm::Execute(const QStringList &names) {
    TList->clear();
    TList->addItems(names);
    chosen.clear();
    ExitBtn->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return chosen;
}

std::optional<QString> ChooseTagSet(const QStringList &names) {
    TTagForm form(QApplication::activeWindow());
    return form.Execute(names);
}
