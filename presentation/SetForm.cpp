#include "presentation/SetForm.h"

#include "core/services/Help.h"
#include "core/startup/Settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

TSetForm *SetForm = nullptr;

namespace {

QLineEdit *labelledEdit(QGridLayout *grid, int row, int column, const QString &name, const QString &caption) {
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    auto *label = new QLabel(caption);
    label->setObjectName(name + QLatin1String("Label"));
    label->setBuddy(edit);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

} // namespace

TSetForm::TSetForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SetForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setProperty("helpContext", 60200);
    setModal(true);

    auto *orientation = new QGroupBox(QStringLiteral("Orientation"));
    orientation->setObjectName(QStringLiteral("Orientation"));
    portrait_ = new QRadioButton(QStringLiteral("&Portrait"));
    portrait_->setObjectName(QStringLiteral("Portrait"));
    portrait_->setChecked(true);
    landscape_ = new QRadioButton(QStringLiteral("&Landscape"));
    landscape_->setObjectName(QStringLiteral("Landscape"));
    auto *orientationBox = new QHBoxLayout(orientation);
    orientationBox->addWidget(portrait_);
    orientationBox->addWidget(landscape_);

    auto *fonts = new QGridLayout;
    labelledEdit(fonts, 0, 0, QStringLiteral("FontName"), QStringLiteral("Font name"));
    labelledEdit(fonts, 0, 2, QStringLiteral("FontSize"), QStringLiteral("Font size"));
    labelledEdit(fonts, 1, 0, QStringLiteral("TabList"), QStringLiteral("Tab list"));
    labelledEdit(fonts, 2, 0, QStringLiteral("ParaGapLab"), QStringLiteral("Paragraph gap"));
    labelledEdit(fonts, 2, 2, QStringLiteral("LSpaceLab"), QStringLiteral("Line spacing"));
    halfLines_ = new QCheckBox(QStringLiteral("Half-lines"));
    halfLines_->setObjectName(QStringLiteral("HalfLines"));
    fonts->addWidget(halfLines_, 3, 1);

    // The card boxes: top, height, gap and count down the page on the left,
    // the same across the page on the right.
    auto *cards = new QGridLayout;
    const QStringList captions = {"Gap top", "Gap left", "Card Width", "Card Height", "Vertical Gap", "Horizontal Gap", "Down", "Across"};
    const int rows[] = {0, 0, 1, 1, 2, 2, 3, 3};
    const int columns[] = {0, 2, 2, 0, 0, 2, 0, 2};
    for (int i = 0; i < CardEditNames().size(); ++i)
        cardEdits_ << labelledEdit(cards, rows[i], columns[i], CardEditNames()[i], captions[i]);

    auto *standard = new QGroupBox(QStringLiteral("Standard layouts"));
    standard->setObjectName(QStringLiteral("StandardLayouts"));
    auto *standardBox = new QVBoxLayout(standard);
    for (const StandardLayout &l : StandardLayouts()) {
        auto *b = new QRadioButton(l.caption);
        b->setObjectName(l.name);
        b->setAutoExclusive(false); // no layout checked must be possible
        standardBox->addWidget(b);
        layouts_ << b;
        connect(b, &QRadioButton::clicked, this, [this, b] { StdClick(b->objectName().mid(1, 1).toInt()); });
    }

    auto *apply = new QPushButton(QStringLiteral("Apply"));
    apply->setObjectName(QStringLiteral("ApplyBtn"));
    apply->setDefault(true);
    auto *exit = new QPushButton(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("CancelBtn"));
    auto *help = new QPushButton(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpBtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(exit);
    buttons->addWidget(help);

    auto *main = new QVBoxLayout(this);
    main->addWidget(orientation);
    main->addLayout(fonts);
    main->addLayout(cards);
    main->addWidget(standard);
    main->addLayout(buttons);

    for (QLineEdit *e : cardEdits_) connect(e, &QLineEdit::textEdited, this, [this] { MyChange(); });
    connect(halfLines_, &QCheckBox::clicked, this, [this] { HalfLinesClick(); });
    connect(apply, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(exit, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    connect(help, &QPushButton::clicked, this, [this] { HelpBtnClick(); });

    HalfLinesUntickHook = [this] { halfLines_->setChecked(false); };
}

TSetForm::~TSetForm() {
    HalfLinesUntickHook = nullptr;
    if (SetForm == this) SetForm = nullptr;
}

QLineEdit *TSetForm::edit(const QString &name) const { return findChild<QLineEdit *>(name); }

CardSetValues TSetForm::values() const {
    CardSetValues v;
    v.fontName = edit(QStringLiteral("FontName"))->text();
    v.fontSize = edit(QStringLiteral("FontSize"))->text();
    v.tabList = edit(QStringLiteral("TabList"))->text();
    v.paraGap = edit(QStringLiteral("ParaGapLab"))->text();
    v.lSpace = edit(QStringLiteral("LSpaceLab"))->text();
    v.halfLines = halfLines_->isChecked();
    for (int i = 0; i < cardEdits_.size(); ++i) v.card[i] = cardEdits_[i]->text();
    v.portrait = portrait_->isChecked();
    v.layout = 0;
    for (int i = 0; i < layouts_.size(); ++i)
        if (layouts_[i]->isChecked()) v.layout = i + 1;
    return v;
}

void TSetForm::showValues(const CardSetValues &v) {
    edit(QStringLiteral("FontName"))->setText(v.fontName);
    edit(QStringLiteral("FontSize"))->setText(v.fontSize);
    edit(QStringLiteral("TabList"))->setText(v.tabList);
    edit(QStringLiteral("ParaGapLab"))->setText(v.paraGap);
    edit(QStringLiteral("LSpaceLab"))->setText(v.lSpace);
    halfLines_->setChecked(v.halfLines);
    for (int i = 0; i < cardEdits_.size(); ++i) cardEdits_[i]->setText(v.card.value(i));
    (v.portrait ? portrait_ : landscape_)->setChecked(true);
    for (int i = 0; i < layouts_.size(); ++i) layouts_[i]->setChecked(v.layout == i + 1);
}

void TSetForm::LoadSet() {
    if (IniFile) showValues(::LoadSet(*IniFile));
}

void TSetForm::SetTab1() { ::SetTab1(); }

void TSetForm::ShowFrom(QWidget *editor) {
    beside_ = editor;
    placeBeside();
    exec();
    beside_ = nullptr;
}

void TSetForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // Placed again now that the window has its size on screen (with its frame).
    placeBeside();
}

void TSetForm::placeBeside() {
    if (!beside_) return;
    // A window never shown yet is a mere 100 pixels wide until laid out.
    if (!isVisible()) adjustSize();
    const QRect r = beside_->frameGeometry();
    const QSize size = frameGeometry().size();
    QPoint at(r.right() - 10 - size.width() + 1, r.top() + 200);
    if (QScreen *screen = beside_->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    }
    move(at);
}

void TSetForm::StdClick(int n) {
    CardSetValues v = values();
    ::StdClick(v, n);
    showValues(v);
}

void TSetForm::MyChange() {
    CardSetValues v = values();
    ::MyChange(v);
    showValues(v);
}

void TSetForm::HalfLinesClick() {
    CardSetValues v = values();
    ::HalfLinesClick(v);
    showValues(v);
}

void TSetForm::ApplyBtnClick() {
    if (!IniFile) return;
    CardSetValues v = values();
    if (ApplySettings(*IniFile, v)) showValues(v);
}

void TSetForm::CancelBtnClick() {
    LoadSet();
    QDialog::reject();
}

void TSetForm::HelpBtnClick() { OpenHelp(60200); }

void TSetForm::reject() { CancelBtnClick(); }

void MakeSetForm(QWidget *mainWindow) {
    if (!SetForm) SetForm = new TSetForm(mainWindow);
}

void LoadCardSettings() {
    if (!IniFile) return;
    const CardSetValues v = CardSettingsAtStartup(*IniFile);
    if (SetForm) SetForm->showValues(v);
}

void RefillCardSettings() {
    if (SetForm) {
        SetForm->LoadSet();
        SetForm->SetTab1();
    } else if (IniFile) {
        ::LoadSet(*IniFile);
        ::SetTab1();
    }
}
