// The Rules page: opening, making, saving and deleting rule sets, and the
// rule editor that builds one rule line from its boxes or reads one back.

#include "app/OrgForm.h"
#include "core/dialogs/OpenForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "programme/evaluation/Rules.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <stdexcept>

namespace {

// A click in the rule list reports the line under the pointer.
class RuleListClicks : public QObject {
public:
    RuleListClicks(QPlainTextEdit *list, std::function<void(int)> clicked)
        : QObject(list), list(list), clicked(std::move(clicked)) {
        list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            clicked(list->cursorForPosition(mouse->position().toPoint()).blockNumber());
        }
        return false;
    }

private:
    QPlainTextEdit *list;
    std::function<void(int)> clicked;
};

QStringList RuleLines(const QPlainTextEdit *list) {
    const QString text = list->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

} // namespace

void TOrgForm::connectRulesPage() {
    NewRule->setEnabled(false);
    // No kind chosen yet: the number boxes wait for one.
    for (QWidget *w : std::initializer_list<QWidget *>{NumBox1, NumBox2, ToLab})
        w->hide();
    connect(NewRSet, &QPushButton::clicked, this, [this] { NewRuleSetClick(); });
    connect(OpenBtn, &QPushButton::clicked, this, [this] { OpenSet(); });
    connect(WhatBtn, &QPushButton::clicked, this, [this] { WhatBtnClick(); });
    connect(SvSetBtn, &QPushButton::clicked, this, [this] { SaveSet(SvSetBtn); });
    connect(AsBtn, &QPushButton::clicked, this, [this] { SaveSet(AsBtn); });
    connect(DelBtn, &QPushButton::clicked, this, [this] { DelSetClick(); });
    connect(NewRule, &QPushButton::clicked, this, [this] { NewRuleClick(); });
    connect(SvRule, &QPushButton::clicked, this, [this] { SvRuleClick(); });
    connect(DelRule, &QPushButton::clicked, this, [this] { DelRuleClick(); });
    connect(Box2, &QComboBox::activated, this, [this] { Box2Change(); });
    for (QLineEdit *box : {NumBox1, NumBox2})
        connect(box, &QLineEdit::textEdited, this, [this, box] { NumBoxChange(box); });
    new RuleListClicks(RuleSet, [this](int line) { RuleSetClick(line); });
}

QList<QStringList> TOrgForm::RuleBoxItems() const {
    QList<QStringList> items;
    for (const QComboBox *box : SelBoxes) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list.append(box->itemText(i));
        items.append(list);
    }
    return items;
}

void TOrgForm::NoRuleSet() {
    ResetRule();
    RuleSet->clear();
    rulesAsSaved.clear();
    SetRuleSetName(QString());
    NewRule->setEnabled(false);
    setWindowTitle(RulesCaption());
}

namespace {

// The set being edited changed since it was opened or saved: offers to save it.
bool RulesChanged(const QPlainTextEdit *list, const QString &asSaved) {
    return list->toPlainText() != asSaved;
}

} // namespace

void TOrgForm::OpenSet() {
    if (RulesChanged(RuleSet, rulesAsSaved) && YesNo(QStringLiteral("Save current rules?"))) SaveSet(SvSetBtn);
    NoRuleSet();
    TOpenForm chooser(this);
    chooser.OpenList->addItems(RuleSetSection::sortedNames(*IniFile));
    if (chooser.exec() != 1 || chooser.Chosen().isEmpty()) return;
    NewRule->setEnabled(true);
    SetRuleSetName(chooser.Chosen());
    setWindowTitle(RulesCaption());
    RuleSet->setPlainText(RuleSetSection::read(*IniFile, RuleSetName()).join(QLatin1Char('\n')));
    rulesAsSaved = RuleSet->toPlainText();
}

void TOrgForm::NewRuleSetClick() {
    WriteLog(QStringLiteral("NewRuleSetClick"));
    if (RulesChanged(RuleSet, rulesAsSaved) && YesNo(QStringLiteral("Save current rules?"))) SaveSet(SvSetBtn);
    QString name;
    if (!InputQuery(QStringLiteral("Quillary"), QStringLiteral("Enter new name"), name) || name.isEmpty()) return;
    NoRuleSet();
    SetRuleSetName(name);
    setWindowTitle(RulesCaption());
    NewRule->setEnabled(true);
}

void TOrgForm::SaveSet(QObject *sender) {
    WriteLog(QStringLiteral("SaveSet"));
    if (RuleSetName().isEmpty() || sender == AsBtn) {
        QString name = RuleSetName();
        if (InputQuery(QStringLiteral("Quillary"), QStringLiteral("Enter new name"), name) && !name.isEmpty() &&
            name != RuleSetName()) {
            if (name.contains(QLatin1Char('[')))
                throw std::runtime_error("Rule name cannot contain \"[\".");
            SetRuleSetName(name);
            NewRule->setEnabled(true);
            setWindowTitle(RulesCaption());
        }
    }
    if (RuleSetName().isEmpty()) return;
    RuleSetSection::save(*IniFile, RuleSetName(), RuleLines(RuleSet));
    rulesAsSaved = RuleSet->toPlainText();
}

void TOrgForm::DelSetClick() {
    if (RuleSetName().isEmpty()) return;
    if (!YesNo(QStringLiteral("Delete set of rules: ") + RuleSetName())) return;
    RuleSetSection::remove(*IniFile, RuleSetName());
    NoRuleSet();
}

void TOrgForm::RuleSetClick(int line) {
    WriteLog(QStringLiteral("RuleSetClick"));
    const QTextBlock block = RuleSet->document()->findBlockByNumber(line);
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    RuleSet->setTextCursor(cursor);
    const QString rule = block.text();
    if (rule.isEmpty()) {
        ResetRule();
        return;
    }
    ruleLine = line;
    SvRule->setText(QStringLiteral("Update rule"));
    DelRule->setEnabled(true);

    const RuleParse parse = ParseRule(rule, RuleBoxItems());
    if (!parse.ok()) {
        ShowMsg(parse.error);
        return;
    }
    const ParsedRule &r = parse.rule;
    Box1->setCurrentIndex(r.session == QLatin1Char(' ') ? -1 : std::min(r.session.digitValue() - 1, Box1->count() - 1));
    Box2->setCurrentIndex(Box2->findText(r.kind));
    Box2Change();
    NumBox1->setText(r.hasLow ? QString::number(r.low) : QString());
    NumBox2->setText(r.hasHigh ? QString::number(r.high) : QString());
    for (int k = 0; k < SelBoxes.size() && k < 4; ++k)
        SelBoxes[k]->setCurrentIndex(r.conditions[k].isEmpty() ? 0 : std::max(0, SelBoxes[k]->findText(r.conditions[k])));
}

void TOrgForm::SvRuleClick() {
    WriteLog(QStringLiteral("Save Rule"));
    RuleEditorState state;
    state.session = Box1->currentIndex();
    state.kind = Box2->currentIndex() < 0 ? QString() : Box2->currentText();
    state.num1 = NumBox1->text();
    state.num2 = NumBox2->text();
    for (int k = 0; k < SelBoxes.size() && k < 4; ++k)
        if (SelBoxes[k]->currentIndex() > 0) state.choices[k] = SelBoxes[k]->currentText();
    const BuiltRule built = BuildRule(state);
    if (built.clearNum2) NumBox2->clear();
    if (!built.message.isEmpty()) {
        if (built.focus == BuiltRule::Focus::Box2) Box2->setFocus();
        if (built.focus == BuiltRule::Focus::NumBox1) NumBox1->setFocus();
        ShowMsg(built.message);
        return;
    }
    QStringList lines = RuleLines(RuleSet);
    if (ruleLine >= 0 && ruleLine < lines.size()) lines[ruleLine] = built.line;
    else lines.append(built.line);
    RuleSet->setPlainText(lines.join(QLatin1Char('\n')));
    ShowMsg(QStringLiteral("Rule saved.  Now save the Rule set."));
}

void TOrgForm::NewRuleClick() {
    ResetRule();
}

void TOrgForm::ResetRule() {
    ruleLine = -1;
    SvRule->setText(QStringLiteral("Save new rule"));
    DelRule->setEnabled(false);
    Box1->setCurrentIndex(-1);
    Box2->setCurrentIndex(-1);
    Box2Change();
}

void TOrgForm::DelRuleClick() {
    const int line = ruleLine;
    ResetRule();
    QStringList lines = RuleLines(RuleSet);
    if (line < 0 || line >= lines.size()) return;
    // The empty line stays until the set is next opened.
    lines[line].clear();
    RuleSet->setPlainText(lines.join(QLatin1Char('\n')));
}

void TOrgForm::Box2Change() {
    WriteLog(QStringLiteral("Box2Change"));
    const QString kind = Box2->currentIndex() < 0 ? QString() : Box2->currentText();
    const bool numbers = KindShowsNumbers(kind);
    const bool selections = KindShowsSelections(kind);
    NumBox1->setVisible(numbers);
    NumBox2->setVisible(numbers);
    ToLab->setVisible(numbers);
    for (QComboBox *box : SelBoxes)
        box->setVisible(selections);
}

void TOrgForm::NumBoxChange(QLineEdit *box) {
    for (QChar c : box->text())
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            box->clear();
            ShowMsg(QStringLiteral("Must be numeric"));
            return;
        }
}

void TOrgForm::SelBoxChange(QComboBox *box) {
    QPalette palette = box->palette();
    const bool chosen = box->currentIndex() > 0;
    palette.setColor(QPalette::Button, chosen ? Qt::red : Qt::white);
    palette.setColor(QPalette::Base, chosen ? Qt::red : Qt::white);
    palette.setColor(QPalette::ButtonText, chosen ? Qt::white : Qt::black);
    palette.setColor(QPalette::Text, chosen ? Qt::white : Qt::black);
    box->setPalette(palette);
}

void TOrgForm::WhatBtnClick() {
    ShowMsg(QStringLiteral("Not yet implemented."));
}
