#include "core/filter/FiltForm.h"

#include "core/filter/FilterCommands.h"
#include "core/services/Help.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFiltForm *FiltForm = nullptr;

namespace {
constexpr int FilterHelp = 30400;
}

TFiltForm::TFiltForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FiltForm"));
    setWindowTitle(QStringLiteral("Filter"));
    setProperty("helpContext", FilterHelp);
    setModal(true);

    Info = new QLabel(this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setTextFormat(Qt::PlainText);
    UFind = new QLineEdit(this);
    UFind->setObjectName(QStringLiteral("UFind"));
    UFind->setMinimumWidth(260);
    FullBox = new QCheckBox(QStringLiteral("&Full match only"), this);
    FullBox->setObjectName(QStringLiteral("FullBox"));
    CaseBox = new QCheckBox(QStringLiteral("&Case-sensitive"), this);
    CaseBox->setObjectName(QStringLiteral("CaseBox"));
    NBBox = new QCheckBox(QStringLiteral("&Non-blank"), this);
    NBBox->setObjectName(QStringLiteral("NBBox"));
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(true);
    ExitBtn = new QPushButton(QStringLiteral("Cancel"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    ExitBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);

    auto *boxes = new QHBoxLayout;
    boxes->addWidget(FullBox);
    boxes->addWidget(CaseBox);
    boxes->addWidget(NBBox);
    boxes->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(ExitBtn);
    buttons->addWidget(HelpBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Info);
    layout->addWidget(UFind);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { OpenHelp(FilterHelp); });
}

void TFiltForm::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F1) {
        OpenHelp(FilterHelp);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFiltForm::Execute(const QString &caption, const QString &field, const QString &value, FilterAnswer &answer) {
    setWindowTitle(caption);
    Info->setText(QStringLiteral("Enter value for:  ") + field);
    UFind->setText(value);
    UFind->selectAll();
    FullBox->setChecked(false);
    CaseBox->setChecked(false);
    NBBox->setChecked(false);
    UFind->setFocus();
    if (exec() != QDialog::Accepted) return false;
    answer.value = UFind->text();
    answer.fullMatch = FullBox->isChecked();
    answer.caseSensitive = CaseBox->isChecked();
    answer.nonBlank = NBBox->isChecked();
    return true;
}

void CreateFiltForm(QWidget *parent) {
    if (!FiltForm) {
        FiltForm = new TFiltForm(parent);
        QObject::connect(FiltForm, &QObject::destroyed, [] { FiltForm = nullptr; });
    }
    SetFilterDialog([](const QString &caption, const QString &field, const QString &value, FilterAnswer &answer) {
        return FiltForm && FiltForm->Execute(caption, field, value, answer);
    });
}

void DestroyFiltForm() {
    SetFilterDialog({});
    delete FiltForm;
    FiltForm = nullptr;
}
