// The editor's customise panels: one button per customise item with "Edit"
// beside it, and the item panel that edits, saves and deletes an item. The
// items themselves are kept by TCustomItems over the settings file.

#include "presentation/editor/IntEForm.h"

#include "base/Messages.h"
#include "core/services/Help.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/editor/CustomItems.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QColor RawBackground(255, 255, 128); // light yellow

QPushButton *Button(QWidget *parent, const QString &caption, const char *name) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

QLabel *TIntEForm::PanelHeader(QWidget *parent, const QString &caption, const char *name) {
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    l->setCursor(Qt::SizeAllCursor);
    return l;
}

namespace {

void Colours(RichEdit *box, const QColor &back) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::Text, Qt::black);
    box->setPalette(p);
}

// The items over the program's settings file; made for each use, since the
// settings object may be made again meanwhile.
TCustomItems Items() {
    if (!IniFile) throw std::runtime_error("No settings file is open.");
    return TCustomItems(*IniFile);
}

} // namespace

void TIntEForm::buildCustomPanels() {
    CustPanel = new QFrame(this);
    CustPanel->setObjectName(QStringLiteral("CustPanel"));
    CustPanel->setProperty("HelpContext", 60120);
    CustPanel->setFrameShape(QFrame::Box);
    CustPanel->setAutoFillBackground(true);
    CustHdr = PanelHeader(CustPanel, QStringLiteral(" Customise"), "CustHdr");
    CustHdr->setGeometry(0, 0, 250, 20);
    AddItem = Button(CustPanel, QStringLiteral("Add item"), "AddItem");
    AddItem->setGeometry(4, 24, 120, 24);
    CustHelp = Button(CustPanel, QStringLiteral("Help"), "CustHelp");
    CustHelp->setGeometry(128, 24, 116, 24);
    CustClose = Button(CustHdr, QStringLiteral("x"), "CustClose");
    CustClose->setGeometry(230, 1, 18, 18);
    CustPanel->resize(250, 55);
    CustPanel->hide();
    connect(AddItem, &QPushButton::clicked, this, [this] { CustBtnClick(-1); });
    connect(CustHelp, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
    connect(CustClose, &QPushButton::clicked, this, [this] { CustCloseClick(); });

    ItemPanel = new QFrame(this);
    ItemPanel->setObjectName(QStringLiteral("ItemPanel"));
    ItemPanel->setProperty("HelpContext", 60120);
    ItemPanel->setFrameShape(QFrame::Box);
    ItemPanel->setAutoFillBackground(true);
    auto *outer = new QVBoxLayout(ItemPanel);
    outer->setContentsMargins(0, 0, 0, 4);
    auto *head = new QHBoxLayout;
    ItemHdr = PanelHeader(ItemPanel, QStringLiteral("Customise Item"), "ItemHdr");
    ItemClose = Button(ItemPanel, QStringLiteral("x"), "ItemClose");
    ItemClose->setFixedSize(18, 18);
    head->addWidget(ItemHdr, 1);
    head->addWidget(ItemClose);
    outer->addLayout(head);
    auto *form = new QFormLayout;
    form->setContentsMargins(6, 2, 6, 2);
    CTitle = new QLineEdit(ItemPanel);
    CTitle->setObjectName(QStringLiteral("CTitle"));
    OldText = new QLineEdit(ItemPanel);
    OldText->setObjectName(QStringLiteral("OldText"));
    NewText = new RichEdit(ItemPanel);
    NewText->setObjectName(QStringLiteral("NewText"));
    NewText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NewText->setTabChangesFocus(false);
    NewText->setMinimumHeight(160);
    form->addRow(QStringLiteral("Title"), CTitle);
    form->addRow(QStringLiteral("Replace"), OldText);
    form->addRow(QStringLiteral("Replace by"), NewText);
    outer->addLayout(form, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 0, 6, 0);
    OKBtn = Button(ItemPanel, QStringLiteral("&Save"), "OKBtn");
    OKBtn->setDefault(true);
    DelBtn = Button(ItemPanel, QStringLiteral("&Delete"), "DelBtn");
    RawBtn = Button(ItemPanel, QStringLiteral("&Raw"), "RawBtn");
    HelpBtn2 = Button(ItemPanel, QStringLiteral("&Help"), "HelpBtn2");
    CancelBtn = Button(ItemPanel, QStringLiteral("&Cancel"), "CancelBtn");
    for (QPushButton *b : {OKBtn, DelBtn, RawBtn, HelpBtn2, CancelBtn}) buttons->addWidget(b);
    outer->addLayout(buttons);
    ItemPanel->resize(460, 340);
    ItemPanel->hide();
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(DelBtn, &QPushButton::clicked, this, [this] { DelBtnClick(); });
    connect(RawBtn, &QPushButton::clicked, this, [this] { RawBtnClick(); });
    connect(HelpBtn2, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    connect(ItemClose, &QPushButton::clicked, this, [this] { ItemCloseClick(); });

    for (QWidget *h : {static_cast<QWidget *>(CustHdr), static_cast<QWidget *>(ItemHdr)}) h->installEventFilter(this);
    NewText->installEventFilter(this);
}

QWidget *TIntEForm::panelOf(QWidget *header) const {
    if (!header) return nullptr;
    if (header == ToolHdr) return ToolPanel;
    if (header == CustHdr) return CustPanel;
    if (header == ItemHdr) return ItemPanel;
    return nullptr;
}

void TIntEForm::AnyMouseDown(QWidget *header, QMouseEvent *e) {
    if (e->button() != Qt::LeftButton) return;
    QWidget *panel = panelOf(header);
    dragStart = e->globalPosition().toPoint() - panel->pos();
    panel->raise();
}

void TIntEForm::AnyMouseMove(QWidget *header, QMouseEvent *e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    QWidget *panel = panelOf(header);
    const QPoint to = e->globalPosition().toPoint() - dragStart;
    if (panel != ToolPanel) {
        panel->move(to);
        return;
    }
    // The tool panel's header stays inside the window, so it can be fetched back.
    toolPanelMoved = true;
    ToolPanel->move(std::max(0, std::min(to.x(), width() - ToolPanel->width())),
                    std::max(Scroll->y(), std::min(to.y(), height() - ToolHdr->height())));
}

void TIntEForm::AnyMouseUp(QWidget *header, QMouseEvent *e) {
    if (header == ToolHdr && e->button() == Qt::LeftButton)
        ToolPanelTop = ToolPanel->y() - Scroll->y();
}

void TIntEForm::CustomiseClick(bool fromSender) {
    if (fromSender) {
        CustPanel->setVisible(CustPanel->isHidden());
        if (!CustPanel->isHidden() && CustPanel->pos() == QPoint(0, 0))
            CustPanel->move(width() - CustPanel->width() - 30, ToolPanel->geometry().bottom() + 10);
    } else {
        qDeleteAll(ItemButtons);
        ItemButtons.clear();
    }
    CustPanel->raise();
    Colours(NewText, Qt::white);
    if (!ItemButtons.isEmpty()) return;
    TCustomItems items = Items();
    const QStringList &keys = items.Load();
    for (int i = 0; i < keys.size(); ++i) {
        auto *item = new QPushButton(DoubleAmpersands(keys[i]), CustPanel);
        item->setGeometry(4, 52 + 21 * i, 210, 20);
        item->setProperty("tag", i);
        connect(item, &QPushButton::clicked, this, [this, i] { CustItemClick(i); });
        auto *edit = new QPushButton(QStringLiteral("Edit"), CustPanel);
        edit->setGeometry(218, 52 + 21 * i, 26, 20);
        edit->setProperty("tag", i);
        connect(edit, &QPushButton::clicked, this, [this, i] { CustBtnClick(i); });
        for (QPushButton *b : {item, edit}) {
            b->setFocusPolicy(Qt::NoFocus);
            b->show();
            ItemButtons.append(b);
        }
    }
    CustPanel->resize(CustPanel->width(), 21 * int(keys.size()) + 55);
}

void TIntEForm::CustItemClick(int tag) {
    ItemPanel->hide();
    CustPanel->raise();
    TCustomItems items = Items();
    items.Load();
    items.GetCustomItem(tag);
    if (!items.InsertAtCaret()) {
        const qsizetype found = items.FindIn(Inst->text());
        if (found >= 0) {
            Inst->select(int(found), int(items.SearchText().size()));
        } else if (!YesNo(items.CustomOld + QStringLiteral("\rnot found in Instructions.\rInsert new text at cursor position?"))) {
            return;
        }
    }
    LoadRichText(items.CustomRtf, NewText);
    NewText->setSelStart(0);
    CopyRTF(NewText, Inst);
    Inst->setFocus();
}

void TIntEForm::CustBtnClick(int tag) {
    ItemHdr->setText(tag < 0 ? QStringLiteral("Add Item") : QStringLiteral("Customise Item"));
    if (ItemPanel->pos() == QPoint(0, 0)) ItemPanel->move(std::max(0, CustPanel->x() - ItemPanel->width() - 10), CustPanel->y());
    ItemPanel->show();
    ItemPanel->raise();
    CTitle->clear();
    if (tag >= 0) {
        TCustomItems items = Items();
        items.Load();
        items.GetCustomItem(tag);
        CTitle->setText(items.CustomItems.at(tag));
        OldText->setText(items.CustomOld);
        Colours(NewText, Qt::white);
        LoadRichText(items.CustomRtf, NewText);
    }
    if (ActiveEditor == NewText && !RTFList->isHidden()) ShowRTFClick(false);
}

bool TIntEForm::RawShown() const { return NewText->toPlainText().startsWith(QLatin1String("?\\rtf")); }

void TIntEForm::OKBtnClick() {
    // The raw text goes back into the item first, so that its RTF is stored.
    if (RawShown()) RawBtnClick();
    const QString title = CTitle->text();
    if (!title.isEmpty()) {
        TCustomItems items = Items();
        // A refused title or text keeps the panel open with what was typed.
        if (!items.Save(title, OldText->text(), StripRtfHeaderGroups(NewText))) return;
        CustomiseClick(false);
    }
    ItemPanel->hide();
}

void TIntEForm::DelBtnClick() {
    TCustomItems items = Items();
    if (!items.Delete(CTitle->text())) return;
    ItemPanel->hide();
    CustomiseClick(false);
}

void TIntEForm::RawBtnClick() {
    if (RawShown()) {
        const QString rtf = QLatin1Char('{') + NewText->toPlainText().mid(1);
        Colours(NewText, Qt::white);
        NewText->setRtf(rtf);
        return;
    }
    QString rtf = StripRtfHeaderGroups(NewText);
    const qsizetype brace = rtf.indexOf(QLatin1Char('{'));
    if (brace >= 0) rtf[brace] = QLatin1Char('?');
    NewText->clear();
    NewText->setCurrentCharFormat(QTextCharFormat());
    NewText->setPlainText(rtf);
    Colours(NewText, RawBackground);
}

void TIntEForm::CancelBtnClick() {
    ItemPanel->hide();
    Colours(NewText, Qt::white);
}

void TIntEForm::HelpBtnClick() { OpenHelp(60120); }
void TIntEForm::CustCloseClick() { CustPanel->hide(); }
void TIntEForm::ItemCloseClick() { ItemPanel->hide(); }
