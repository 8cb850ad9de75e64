#include "publishing/catalogue/ReorgForm.h"

#include "base/Messages.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/services/Help.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "publishing/catalogue/Reorganise.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TReorgForm::TReorgForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReorgForm"));
    setWindowTitle(QStringLiteral("Reorganise Dances"));
    const auto button = [this](const QString &caption, const char *name, int left) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 10, 75, 25);
        return b;
    };
    GoBtn = button(QStringLiteral("&Go"), "GoBtn", 70);
    GoBtn->setDefault(true);
    HelpBtn = button(QStringLiteral("Help"), "HelpBtn", 155);
    ClearBtn = button(QStringLiteral("&Clear"), "ClearBtn", 240);
    ExitBtn = button(QStringLiteral("E&xit"), "ExitBtn", 325);
    for (const auto &[caption, left] : {std::pair{"Replace", 70}, std::pair{"Replace by", 530}})
        (new QLabel(QString::fromLatin1(caption), this))->setGeometry(left, 48, 200, 17);

    int top = 70;
    for (const FieldInfo &f : DancesData.fieldInfos()) {
        if (f.type == FieldType::Memo || f.name == QLatin1String("Title") || f.name == QLatin1String("DFilter")) continue;
        (new QLabel(f.name, this))->setGeometry(10, top, 60, 21);
        for (const auto &[prefix, left] : {std::pair{"O_", 70}, std::pair{"N_", 530}}) {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(QString::fromLatin1(prefix) + f.name);
            edit->setProperty("FieldIndex", f.index);
            edit->setGeometry(left, top, 450, 21);
            edit->setContextMenuPolicy(Qt::CustomContextMenu);
            edit->installEventFilter(this);
            connect(edit, &QLineEdit::textEdited, this, [edit] { TheMainWindow().DropList(edit); });
            connect(edit, &QWidget::customContextMenuRequested, this, [edit] { TheMainWindow().RightClick(edit); });
            (left == 70 ? OldBoxes : NewBoxes).append(edit);
        }
        top += 24;
    }
    resize(1000, top + 20);
    setWindowState(Qt::WindowMaximized);
    connect(GoBtn, &QPushButton::clicked, this, [this] { GoBtnClick(); });
    connect(HelpBtn, &QPushButton::clicked, this, [] { OpenHelp(55550); });
    connect(ClearBtn, &QPushButton::clicked, this, [this] { ClearBtnClick(); });
    connect(ExitBtn, &QPushButton::clicked, this, &TReorgForm::reject);
}

bool TReorgForm::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) HideList();
    return QDialog::eventFilter(watched, event);
}

void TReorgForm::HideList() { TheMainWindow().ClosePopList(); }

void TReorgForm::reject() {
    if (TheMainWindow().PopListShowing()) return HideList();
    QDialog::reject();
}

void TReorgForm::ClearBtnClick() {
    for (QLineEdit *e : OldBoxes + NewBoxes) e->clear();
    HideList();
}

void TReorgForm::GoBtnClick() {
    HideList();
    QList<ReorgRow> rows;
    for (int i = 0; i < OldBoxes.size(); ++i)
        rows.append({OldBoxes[i]->objectName().mid(2), OldBoxes[i]->text(), NewBoxes[i]->text()});
    TestSave();
    ReorgEnd end;
    QString refusal;
    try {
        end = RunReorganise(Conn, rows, ProgrammeSeparator, [](const QString &q) { return YesNo(q); }, &refusal);
    } catch (const DbError &e) {
        ShowMsg(e.text() + QStringLiteral("\rNothing was changed."));
        return;
    }
    if (end == ReorgEnd::Done) {
        TheMainWindow().ShowEvent();
        TheMainWindow().ShowDance();
        accept();
    }
    const QString text = end == ReorgEnd::Refused ? refusal : ReorgEndText(end);
    if (!text.isEmpty()) ShowMsg(text);
}
