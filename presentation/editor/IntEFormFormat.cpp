// The instruction editor's editing and formatting commands, its pop-up menu,
// the raw RTF view, the primary-font list and the keys typed into Inst. The
// formatting itself is shared with the main window (TextFormatting.h).

#include "presentation/editor/IntEForm.h"

#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/shell/KeyState.h"
#include "platform/sqlite/DBNavigator.h"
#include "presentation/CardSettings.h"
#include "presentation/InstructionEdit.h"
#include "presentation/editor/SpecialChars.h"
#include "presentation/editor/TextFormatting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

namespace {

// [Cards] Colour holds blue x 65536 + green x 256 + red.
QColor StoredColour(int n) { return QColor(n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF); }
int ColourNumber(const QColor &c) { return c.blue() * 65536 + c.green() * 256 + c.red(); }

} // namespace

void TIntEForm::buildEditing(QToolBar *toolBar) {
    // The buttons in two rows keep the floating panel narrow beside the cards.
    auto *secondRow = new QToolBar(ToolPanel);
    ToolPanel->layout()->addWidget(secondRow);
    QToolBar *row = toolBar;
    const auto tool = [&row](QAction *a, const QString &text, const QString &hint) {
        a->setIconText(text);
        a->setToolTip(hint);
        row->addAction(a);
    };
    for (QToolBar *bar : {toolBar, secondRow})
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The pop-up's keys are the box's own; the menu only shows them.
    Popup = new QMenu(this);
    Popup->setObjectName(QStringLiteral("Popup"));
    const auto pop = [this](const QString &caption, const char *name, QKeyCombination key, void (TIntEForm::*run)()) {
        QAction *a = Popup->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, this, [this, run] { (this->*run)(); });
    };
    pop(QStringLiteral("Cut"), "CutP", Qt::CTRL | Qt::Key_X, &TIntEForm::CutClick);
    pop(QStringLiteral("Copy"), "CopyP", Qt::CTRL | Qt::Key_C, &TIntEForm::CopyMClick);
    pop(QStringLiteral("Paste"), "PasteP", Qt::CTRL | Qt::Key_V, &TIntEForm::PasteMClick);

    tool(CutM, QStringLiteral("Cut"), QStringLiteral("Cut"));
    tool(CopyM, QStringLiteral("Copy"), QStringLiteral("Copy"));
    tool(PasteM, QStringLiteral("Paste"), QStringLiteral("Paste"));
    tool(SaveM, QStringLiteral("Save"), QStringLiteral("Save"));
    toolBar->addSeparator();
    tool(Bold, QStringLiteral("B"), QStringLiteral("Bold"));
    tool(Italic, QStringLiteral("I"), QStringLiteral("Italic"));
    tool(Underline, QStringLiteral("U"), QStringLiteral("Underlined"));
    tool(Normal, QStringLiteral("N"), QStringLiteral("Normal"));
    toolBar->addSeparator();
    tool(SpecialM, QStringLiteral("\u00a7"), QStringLiteral("Special character"));
    tool(NBS, QStringLiteral("nbs"), QStringLiteral("Non-breaking space"));
    tool(NBH, QStringLiteral("nbh"), QStringLiteral("Non-breaking hyphen"));
    tool(LineBreakM, QStringLiteral("\u21b5"), QStringLiteral("New line"));
    row = secondRow;
    tool(FontM, QStringLiteral("Font"), QStringLiteral("Font"));
    tool(Colour, QStringLiteral("Col"), QStringLiteral("Text colour"));
    tool(BGColour, QStringLiteral("Bg"), QStringLiteral("Background colour"));
    tool(Inverse, QStringLiteral("Inv"), QStringLiteral("Inverse text"));
    row->addSeparator();
    tool(Print, QStringLiteral("Print"), QStringLiteral("Print dance cards"));
    tool(Printed, QStringLiteral("Printed"), QStringLiteral("Mark this dance as already printed"));
    tool(Remove, QStringLiteral("Remove"), QStringLiteral("Remove dance from current set of instructions to be printed"));
    tool(PrimaryFont, QStringLiteral("PF"), QStringLiteral("Primary font"));
    row->addSeparator();
    tool(CustomiseM, QStringLiteral("Cust"), QStringLiteral("Show Customise options"));
    tool(ExitM, QStringLiteral("Exit"), QStringLiteral("Exit Internal Editor"));

    // The raw view.
    ShowRTF = new QPushButton(QStringLiteral("Show RTF"), ToolPanel);
    ShowRTF->setObjectName(QStringLiteral("ShowRTF"));
    SaveRTF = new QPushButton(QStringLiteral("Save RTF"), ToolPanel);
    SaveRTF->setObjectName(QStringLiteral("SaveRTF"));
    SaveRTF->hide();
    // The navigator's row comes after the header.
    if (auto *row = ToolPanel->layout()->itemAt(1)->layout()) {
        auto *line = static_cast<QHBoxLayout *>(row);
        line->insertWidget(line->count() - 1, ShowRTF);
        line->insertWidget(line->count() - 1, SaveRTF);
    }
    RTFList = new QPlainTextEdit(this);
    RTFList->setObjectName(QStringLiteral("RTFList"));
    RTFList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    RTFList->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RTFList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RTFList->hide();
    connect(ShowRTF, &QPushButton::clicked, this, [this] { ShowRTFClick(true); });
    connect(SaveRTF, &QPushButton::clicked, this, [this] { SaveRTFClick(); });
    // Only the user's typing shows Save RTF; filling the view does not.
    connect(RTFList, &QPlainTextEdit::textChanged, this, [this] {
        if (RTFList->property("filling").toBool()) return;
        SaveRTF->show();
    });

    FontList = new QListWidget(this);
    FontList->setObjectName(QStringLiteral("FontList"));
    FontList->hide();
    connect(FontList, &QListWidget::itemClicked, this, [this](QListWidgetItem *i) { FontListClick(i->text()); });

    // The boxes leave the menu's keys to the window.
    const QList<QKeySequence> windowKeys = {
        QKeySequence(Qt::CTRL | Qt::Key_A),     QKeySequence(Qt::CTRL | Qt::Key_S),     QKeySequence(Qt::CTRL | Qt::Key_P),
        QKeySequence(Qt::CTRL | Qt::Key_B),     QKeySequence(Qt::CTRL | Qt::Key_I),     QKeySequence(Qt::CTRL | Qt::Key_U),
        QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Z),     QKeySequence(Qt::CTRL | Qt::Key_D),
        QKeySequence(Qt::CTRL | Qt::Key_F),     QKeySequence(Qt::CTRL | Qt::Key_R),     QKeySequence(Qt::CTRL | Qt::Key_Minus),
        QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Space)};
    NewText->setWindowKeys(windowKeys);
    for (RichEdit *box : {Inst, Footer}) {
        box->setWindowKeys(windowKeys);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint &at) {
            box->setFocus();
            Popup->popup(box->mapToGlobal(at));
        });
    }
    RTFList->installEventFilter(this);
    Inst->viewport()->installEventFilter(this);
    ActiveEditor = LastRichEditor = Inst;
}

RichEdit *TIntEForm::ActiveRich() const {
    if (auto *rich = qobject_cast<RichEdit *>(ActiveEditor)) return rich;
    return LastRichEditor ? LastRichEditor : Inst;
}

void TIntEForm::RTFEnter(QWidget *box) {
    box->raise();
    INav->raise();
    ActiveEditor = box;
    if (auto *rich = qobject_cast<RichEdit *>(box)) {
        LastRichEditor = rich;
        if (!RTFList->isHidden()) ShowRTFClick(false);
    }
}

void TIntEForm::SelectAllClick() {
    if (auto *plain = qobject_cast<QPlainTextEdit *>(ActiveEditor)) plain->selectAll();
    else ActiveRich()->selectAll();
}

void TIntEForm::CutClick() {
    if (auto *plain = qobject_cast<QPlainTextEdit *>(ActiveEditor)) plain->cut();
    else ActiveRich()->cut();
}

void TIntEForm::DeleteMClick() {
    if (auto *plain = qobject_cast<QPlainTextEdit *>(ActiveEditor)) plain->textCursor().removeSelectedText();
    else ActiveRich()->textCursor().removeSelectedText();
}

void TIntEForm::PasteMClick() {
    QWidget *target = qobject_cast<QPlainTextEdit *>(ActiveEditor) ? ActiveEditor : ActiveRich();
    PasteClick(target, QApplication::clipboard()->mimeData());
}

void TIntEForm::BoldClick() { ToggleBold(ActiveRich()); }
void TIntEForm::ItalicClick() { ToggleItalic(ActiveRich()); }
void TIntEForm::UnderlineClick() { ToggleUnderline(ActiveRich()); }
void TIntEForm::NormalClick() { NormalStyle(ActiveRich()); }
void TIntEForm::InvClick() { InverseSelection(ActiveRich()); }

void TIntEForm::InsElem(char16_t element) {
    RichEdit *box = ActiveRich();
    InsertElement(box, element);
    box->setFocus();
}

void TIntEForm::SpecialClick() {
    ShowSpecialChars(this, [this](const QString &caption) { SBClick(caption); }, ActiveRich());
}

void TIntEForm::SBClick(const QString &caption) {
    if (auto *plain = qobject_cast<QPlainTextEdit *>(ActiveEditor)) plain->insertPlainText(caption);
    else ActiveRich()->textCursor().insertText(caption);
    (ActiveEditor ? ActiveEditor : Inst)->setFocus();
    HideSpecialChars();
}

void TIntEForm::FontClick() { ChooseSelectionFont(this, ActiveRich()); }

void TIntEForm::ColourClick() {
    RichEdit *box = ActiveRich();
    QColor start = box->selColour();
    if (!start.isValid() || start == QColor(Qt::black) || start == box->palette().color(QPalette::Text))
        start = StoredColour(IniFile ? IniFile->ReadInteger(QStringLiteral("Cards"), QStringLiteral("Colour"), 0) : 0);
    const std::optional<QColor> c = CurrentFormatDialogs().colour(this, start);
    if (!c) return;
    box->setSelColour(*c);
    if (box == Inst && IniFile) IniFile->WriteInteger(QStringLiteral("Cards"), QStringLiteral("Colour"), ColourNumber(*c));
}

void TIntEForm::ColBgBtnClick() { ChooseBackgroundColour(this, ActiveRich()); }

void TIntEForm::PFClick() {
    if (FontList->count() == 0) FontList->addItems(QFontDatabase::families());
    const int top = ToolPanel->geometry().bottom() + 5;
    FontList->setGeometry(width() - 25 - 200, top, 200, std::max(100, height() - top - 5));
    FontList->setVisible(FontList->isHidden());
    if (FontList->isHidden()) return;
    FontList->raise();
    const QList<QListWidgetItem *> found = FontList->findItems(CardsDFont, Qt::MatchFixedString);
    if (!found.isEmpty()) FontList->setCurrentItem(found.first());
}

void TIntEForm::FontListClick(const QString &family) {
    TakePrimaryFamily(family);
    // Re-shown and laid out as the navigator's Cancel does.
    INavClick(NavButton::Cancel);
    FontList->setFocus();
}

void TIntEForm::ShowRTFClick(bool fromSender) {
    const int left = width() / 2;
    const int top = ToolPanel->geometry().bottom() + 2;
    RTFList->setGeometry(left, top, width() - left - 5, std::max(60, height() - 32 - top));
    if (fromSender) RTFList->setVisible(RTFList->isHidden());
    if (!RTFList->isHidden()) {
        RTFList->setProperty("filling", true);
        RTFList->setPlainText(StripRtfHeaderGroups(LastRichEditor ? LastRichEditor : Inst));
        RTFList->setProperty("filling", false);
        RTFList->raise();
        ShowRTF->setText(QStringLiteral("Hide RTF"));
    } else {
        ShowRTF->setText(QStringLiteral("Show RTF"));
    }
    SaveRTF->hide();
}

void TIntEForm::SaveRTFClick() {
    RichEdit *box = LastRichEditor ? LastRichEditor : Inst;
    LoadRichText(RTFList->toPlainText(), box);
    box->setModified(true);
    SaveRTF->hide();
}

void TIntEForm::InstDblClick() {
    // The plain text keeps the document's positions: one character a paragraph end.
    TheMainWindow().FollowNoteLinkAt(Inst->document()->toPlainText(), Inst->textCursor().position());
}

bool TIntEForm::FormShortcut(QKeyEvent *key) {
    if (key->modifiers() & (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)) return false;
    LayoutAbort = true;
    PlaceToolPanel();
    const int k = key->key();
    if (k == Qt::Key_End || k == Qt::Key_Home || k == Qt::Key_Up || k == Qt::Key_Down) return false;
    const QString text = Inst->text();
    const int caret = Inst->selStart();
    const bool inside = caret > 0 && caret < text.size() - 2;
    const bool tabBefore = caret > 0 && caret <= text.size() && text[caret - 1] == QLatin1Char('\t');
    const bool tabAt = caret < text.size() && text[caret] == QLatin1Char('\t');
    if (inside && ((k == Qt::Key_Backspace && tabBefore) || k == Qt::Key_Tab || k == Qt::Key_Return ||
                   k == Qt::Key_Enter || (k == Qt::Key_Delete && tabAt))) {
        StartLayout();
        return false;
    }
    QScrollBar *bar = Scroll->verticalScrollBar();
    const int page = Scroll->viewport()->height() - 60;
    if (k == Qt::Key_PageUp || k == Qt::Key_PageDown) {
        bar->setValue(bar->value() + (k == Qt::Key_PageUp ? -page : page));
        return true;
    }
    // A character typed into a half-line makes it a full line at the next layout.
    if (k >= 48 && !key->text().isEmpty() && Inst->currentCharFormat().fontPointSize() == 6) StartLayout();
    if (k == Qt::Key_CapsLock || k == Qt::Key_NumLock || k == Qt::Key_Insert) {
        const StateKey which = k == Qt::Key_CapsLock ? StateKey::CapsLock
                               : k == Qt::Key_NumLock ? StateKey::NumLock
                                                      : StateKey::Insert;
        // The state is read once the key has done its work.
        QTimer::singleShot(0, this, [which] {
            PlayWaveResource(KeyState::isToggled(which) ? QStringLiteral("ON") : QStringLiteral("OFF"));
        });
    }
    return false;
}
