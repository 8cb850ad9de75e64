#include "presentation/music/CDForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

TCDForm::TCDForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CDForm"));
    setWindowTitle(QStringLiteral("CD Form"));
    auto *form = new QFormLayout(this);
    auto edit = [this, form](const QString &label, const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMinimumWidth(280);
        form->addRow(label, e);
        return e;
    };
    CDName = edit(QStringLiteral("CD Name"), "CDName");
    Band = edit(QStringLiteral("Band"), "Band");
    Publisher = edit(QStringLiteral("Publisher"), "Publisher");
    CDCode = edit(QStringLiteral("CD Code"), "CDCode");
    auto *buttons = new QHBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("&Save"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    form->addRow(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TCDForm::Fields() const { return {CDName->text(), Band->text(), Publisher->text(), CDCode->text()}; }

void TCDForm::SetFields(const QStringList &fields) {
    QLineEdit *edits[] = {CDName, Band, Publisher, CDCode};
    for (int i = 0; i < 4; ++i) edits[i]->setText(i < fields.size() ? fields[i] : QString());
}
