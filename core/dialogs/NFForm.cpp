#include "core/dialogs/NFForm.h"

#include "base/Messages.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/DanceShow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNFForm::TNFForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NFForm"));
    setWindowTitle(QStringLiteral("Dance not found"));
    setModal(true);

    ErrMsg = new QPlainTextEdit(this);
    ErrMsg->setObjectName(QStringLiteral("ErrMsg"));
    ErrMsg->setReadOnly(true);
    ErrMsg->setMinimumSize(520, 330);

    NoteBtn = new QPushButton(QStringLiteral("&Note"), this);
    NoteBtn->setObjectName(QStringLiteral("NoteBtn"));
    NoteBtn->setDefault(true);
    GenBtn = new QPushButton(QStringLiteral("&Generate"), this);
    GenBtn->setObjectName(QStringLiteral("GenBtn"));
    CancelBtn = new QPushButton(QStringLiteral("E&xit"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    DoAllBox = new QCheckBox(QStringLiteral("Do this for all"), this);
    DoAllBox->setObjectName(QStringLiteral("DoAllBox"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(NoteBtn);
    buttons->addWidget(GenBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch(1);
    buttons->addWidget(DoAllBox);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ErrMsg);
    layout->addLayout(buttons);

    connect(NoteBtn, &QPushButton::clicked, this, [this] {
        NotFoundChoice = NotFoundAction::Note;
        done(ResultOK);
    });
    connect(GenBtn, &QPushButton::clicked, this, [this] {
        NotFoundChoice = NotFoundAction::Generate;
        done(ResultOK);
    });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });
    connect(DoAllBox, &QCheckBox::clicked, this, [](bool checked) { NotFoundForAll = checked; });
}

int TNFForm::Execute(const QString &text) {
    ErrMsg->setPlainText(ToWidgetText(text));
    NoteBtn->setFocus();
    return exec() == ResultOK ? ResultOK : ResultCancel;
}
