#include "presentation/editor/IntEForm.h"

#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "platform/print/CardPrinter.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/DBNavigator.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/CardSettings.h"
#include "presentation/InstructionEdit.h"
#include "presentation/SetForm.h"
#include "presentation/editor/SpecialChars.h"
#include "presentation/editor/TextFormatting.h"

#include <QGuiApplication>
#include <QScreen>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

TIntEForm *Window = nullptr;

// The dance record the save writes: the main window's Dances dataset.
class DancesRecord : public InstructionRecord {
public:
    QString field(const QString &name) const override { return DancesData.FieldByName(name).AsString(); }
    void setField(const QString &name, const QString &value) override { DancesData.FieldByName(name).SetAsString(value); }
    void edit() override {
        if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
    }
    void post() override { DancesData.Post(); }
};


} // namespace

TIntEForm &IntEFormWindow() {
    if (!Window) Window = new TIntEForm;
    return *Window;
}

void DropIntEFormWindow() {
    delete Window;
    Window = nullptr;
}

TIntEForm::TIntEForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("IntEForm"));
    setWindowTitle(QStringLiteral("Internal Editor"));
    setProperty("HelpContext", 60100);
    setModal(true);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QMenuBar(this);
    outer->setMenuBar(bar);

    ToolPanel = new QFrame(this);
    ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
    ToolPanel->setFrameShape(QFrame::Box);
    ToolPanel->setAutoFillBackground(true);
    // The header, the navigator's row, then the tool bar's; the panel
    // keeps the size its rows ask for.
    auto *rows = new QVBoxLayout(ToolPanel);
    rows->setContentsMargins(1, 1, 1, 2);
    rows->setSpacing(2);
    rows->setSizeConstraint(QLayout::SetFixedSize);
    ToolHdr = PanelHeader(ToolPanel, QStringLiteral(" Toolbar"), "ToolHdr");
    ToolHdr->installEventFilter(this);
    rows->addWidget(ToolHdr);
    auto *tools = new QHBoxLayout;
    tools->setContentsMargins(2, 0, 2, 0);
    rows->addLayout(tools);
    INav = new TDBNavigator(ToolPanel);
    INav->setObjectName(QStringLiteral("INav"));
    INav->setProperty("HelpContext", 30200);
    INav->setVisibleButtons({NavButton::First, NavButton::Prior, NavButton::Next, NavButton::Last, NavButton::Post, NavButton::Cancel});
    INav->setHints({"First dance", "Previous dance", "Next dance", "Last dance", "", "", "Save changes", "Cancel changes"});
    NRecs = new QLabel(ToolPanel);
    NRecs->setObjectName(QStringLiteral("NRecs"));
    tools->addWidget(INav);
    tools->addWidget(NRecs);
    auto *toolBar = new QToolBar(ToolPanel);
    tools->addStretch();
    rows->addWidget(toolBar);

    Scroll = new QScrollArea(this);
    Area = new QWidget;
    Area->setObjectName(QStringLiteral("Area"));
    Scroll->setWidget(Area);
    Scroll->setWidgetResizable(false);
    Scroll->viewport()->installEventFilter(this);
    outer->addWidget(Scroll, 1);
    // After scrolling the tool panel stands where it was put.
    connect(Scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { PlaceToolPanel(); });

    Marker = new QWidget(Area);
    Marker->setObjectName(QStringLiteral("Marker"));
    Marker->setGeometry(0, 10, 4, 4);
    Marker->hide();
    const auto box = [this](const char *name, QWidget *parent) {
        auto *e = new RichEdit(parent);
        e->setObjectName(QLatin1String(name));
        e->setFrameShape(QFrame::NoFrame);
        e->document()->setDocumentMargin(0);
        e->document()->setUseDesignMetrics(true);
        e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        e->setLineWrapMode(QTextEdit::FixedPixelWidth);
        e->setModified(false); // setting the margin marks the document changed
        return e;
    };
    Inst = box("Inst", Area);
    Footer = box("Footer", Area);
    WInst = box("WInst", nullptr);
    WFooter = box("WFooter", nullptr);
    CardHead = box("CardHead", Area);
    CardHead->setReadOnly(true);
    for (RichEdit *e : {Inst, Footer}) {
        connect(e, &RichEdit::heightRequested, this, [this, e](int h) {
            e->setFixedHeight(h);
            LayoutPending = true;
            if (!LayoutRunning && OptionChecked(QStringLiteral("IntEditor")) && isVisible()) StartLayout();
        });
        connect(e, &QTextEdit::textChanged, this, [this] { RTFChange(); });
        e->installEventFilter(this);
    }
    Footer->hide();

    PrPanel = new QFrame(this);
    PrPanel->setObjectName(QStringLiteral("PrPanel"));
    PrPanel->setFrameShape(QFrame::Box);
    auto *pr = new QVBoxLayout(PrPanel);
    InfoLab = new QLabel(PrPanel);
    PrCancel = new QPushButton(QStringLiteral("Cancel printing after this page (eventually)"), PrPanel);
    pr->addWidget(InfoLab);
    pr->addWidget(PrCancel);
    PrPanel->hide();
    connect(PrCancel, &QPushButton::clicked, this, [this] { PrCancelClick(); });

    ITimer = new QTimer(this);
    ITimer->setInterval(1);
    connect(ITimer, &QTimer::timeout, this, [this] { OnITimer(); });

    buildMenus();
    buildCustomPanels();
    buildEditing(toolBar);

    INav->setDataset(&DancesData);
    INav->BeforeAction = [this](NavButton b) {
        if (b == NavButton::Post && Unsaved()) SaveClick();
    };
    connect(INav, &TDBNavigator::clicked, this, [this](NavButton b) { INavClick(b); });
    Inst->setCopyLeftWithoutSelection(true);
    UseInstructionPaste(Inst);
    UseInstructionPaste(Footer);
    ToolPanel->raise();
}

TIntEForm::~TIntEForm() {
    delete WInst;
    delete WFooter;
}

void TIntEForm::buildMenus() {
    auto *bar = qobject_cast<QMenuBar *>(layout()->menuBar());
    const auto item = [this](QMenu *menu, const QString &caption, const char *name, const QKeySequence &key,
                             std::function<void()> run) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, [run] { run(); });
        return a;
    };
    QMenu *file = bar->addMenu(QStringLiteral("File"));
    PrinterSetup = item(file, QStringLiteral("Printer setup"), "PrinterSetup", {}, [this] { CurrentCardPrinter().setup(this); });
    Print = item(file, QStringLiteral("Print"), "Print", QKeySequence(Qt::CTRL | Qt::Key_P), [this] { PrintClick(PrintMode::All); });
    PrintPage = item(file, QStringLiteral("Print first page"), "PrintPage", {}, [this] { PrintClick(PrintMode::FirstPage); });
    PrintThis = item(file, QStringLiteral("Print this dance"), "PrintThis", {}, [this] { PrintClick(PrintMode::ThisDance); });
    PrintBorder = item(file, QStringLiteral("Print border"), "PrintBorder", {}, [] {});
    PrintBorder->setCheckable(true);
    SaveM = item(file, QStringLiteral("&Save"), "SaveM", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveClick(); });
    ExitM = item(file, QStringLiteral("E&xit"), "ExitM", QKeySequence(Qt::Key_Escape), [this] { close(); });
    SettingsM = bar->addAction(QStringLiteral("Settings"));
    connect(SettingsM, &QAction::triggered, this, [this] {
        if (!SetForm) return;
        SetForm->ShowFrom(this);
    });
    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };
    SelectAll = item(edit, QStringLiteral("Select &all"), "SelectAll", key(Qt::CTRL | Qt::Key_A), [this] { SelectAllClick(); });
    CutM = item(edit, QStringLiteral("Cu&t"), "CutM", key(Qt::SHIFT | Qt::Key_Delete), [this] { CutClick(); });
    CopyM = item(edit, QStringLiteral("&Copy"), "CopyM", QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { CopyMClick(); });
    DeleteM = item(edit, QStringLiteral("De&lete"), "DeleteM", key(Qt::CTRL | Qt::Key_D), [this] { DeleteMClick(); });
    PasteM = item(edit, QStringLiteral("&Paste"), "PasteM", key(Qt::SHIFT | Qt::Key_Insert), [this] { PasteMClick(); });
    Bold = item(edit, QStringLiteral("Bold"), "Bold", key(Qt::CTRL | Qt::Key_B), [this] { BoldClick(); });
    Italic = item(edit, QStringLiteral("Italic"), "Italic", key(Qt::CTRL | Qt::Key_I), [this] { ItalicClick(); });
    Underline = item(edit, QStringLiteral("Underline"), "Underline", key(Qt::CTRL | Qt::Key_U), [this] { UnderlineClick(); });
    Normal = item(edit, QStringLiteral("Normal"), "Normal", key(Qt::CTRL | Qt::Key_Equal), [this] { NormalClick(); });
    SpecialM = item(edit, QStringLiteral("Special"), "SpecialM", key(Qt::CTRL | Qt::Key_Z), [this] { SpecialClick(); });
    NBS = item(edit, QStringLiteral("NBS"), "NBS", key(Qt::ALT | Qt::Key_Space), [this] { InsElem(NonBreakingSpace); });
    NBH = item(edit, QStringLiteral("NBH"), "NBH", key(Qt::CTRL | Qt::Key_Minus), [this] { InsElem(NonBreakingHyphen); });
    LineBreakM = item(edit, QStringLiteral("Line break"), "LineBreakM", key(Qt::CTRL | Qt::Key_Return), [this] { InsElem(LineBreak); });
    FontM = item(edit, QStringLiteral("Font"), "FontM", key(Qt::CTRL | Qt::Key_F), [this] { FontClick(); });
    Colour = item(edit, QStringLiteral("Colour"), "Colour", key(Qt::CTRL | Qt::Key_R), [this] { ColourClick(); });
    BGColour = item(edit, QStringLiteral("BGColour"), "BGColour", {}, [this] { ColBgBtnClick(); });
    Inverse = item(edit, QStringLiteral("Inverse"), "Inverse", {}, [this] { InvClick(); });
    Printed = item(edit, QStringLiteral("Printed"), "Printed", {}, [this] { PrintedClick(); });
    PrimaryFont = item(edit, QStringLiteral("Primary font"), "PrimaryFont", {}, [this] { PFClick(); });
    CustomiseM = item(edit, QStringLiteral("Customise"), "CustomiseM", {}, [this] { CustomiseClick(true); });
    Separate = item(edit, QStringLiteral("Separate"), "Separate", {}, [this] { SeparateClick(); });
    Join = item(edit, QStringLiteral("Join"), "Join", {}, [this] { JoinClick(); });
    Clear = item(edit, QStringLiteral("Clear"), "Clear", {}, [this] { ClearClick(); });
    Remove = new QAction(QStringLiteral("Remove"), this);
    Remove->setObjectName(QStringLiteral("Remove"));
    connect(Remove, &QAction::triggered, this, [this] { RemoveClick(); });
}

void TIntEForm::RTFChange() {
    if (LayoutRunning || !DancesData.active() || DancesData.IsEmpty()) return;
    MarkDanceChanged(DancesData);
}

bool TIntEForm::Unsaved() const { return Inst->modified() || Footer->modified(); }

void TIntEForm::SaveClick(bool fromMainWindow) {
    DancesRecord record;
    InstructionSave save;
    save.instructions = Inst;
    save.footer = OptionChecked(QStringLiteral("UseFooter")) ? Footer : nullptr;
    save.record = &record;
    save.fromMainWindow = fromMainWindow;
    MainWindowLink &main = TheMainWindow();
    save.musicBox = main.DanceBox(QStringLiteral("Music"));
    save.rhythmBox = main.DanceBox(QStringLiteral("Rhythm"));
    save.showTitles = OptionChecked(QStringLiteral("ShowTitles"));
    save.refine = OptionChecked(QStringLiteral("Refine"));
    save.showDance = [] { TheMainWindow().ShowDance(); };
    if (isVisible()) save.startLayoutJob = [this] { StartLayout(); };
    SaveInstructions(save);
}

void TIntEForm::ShowModal() {
    if (isVisible()) return;
    // Without a window manager nothing maximises the window for us: it
    // starts at the size of the screen's free area either way.
    if (QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
    exec();
}

void TIntEForm::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Scroll->ensureVisible(0, 0);
    DanceCount = DancesData.VisibleCount(); // the set: the dances the filter lets through
    CardSettingsChanged = LayoutPending = true;
    LayoutAbort = PrintingCards = ClearedInstructions = false;
    if (SpecialPanel() && SpecialPanel()->parentWidget() == this) HideSpecialChars();
    ActiveEditor = LastRichEditor = Inst;
    Inst->setFocus();
    LayoutRunning = false;
    StartLayout();
}

void TIntEForm::closeEvent(QCloseEvent *e) {
    ITimer->stop();
    if (Unsaved() && YesNo(QStringLiteral("Save changes to instructions?"))) SaveClick();
    Inst->setModified(false);
    Footer->setModified(false);
    if (DancesData.State() != DatasetState::Browse && !ClearedInstructions) DancesData.Cancel();
    QDialog::closeEvent(e);
}

void TIntEForm::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TIntEForm::eventFilter(QObject *watched, QEvent *e) {
    auto *w = qobject_cast<QWidget *>(watched);
    switch (e->type()) {
    case QEvent::FocusIn:
        if (w == Inst || w == Footer || w == RTFList || w == NewText) RTFEnter(w);
        break;
    case QEvent::FocusOut:
        if (w == RTFList) ActiveEditor = LastRichEditor;
        break;
    case QEvent::KeyPress:
        if (w == Inst && FormShortcut(static_cast<QKeyEvent *>(e))) return true;
        break;
    case QEvent::MouseButtonDblClick:
        if (w == Inst->viewport()) InstDblClick();
        break;
    case QEvent::Wheel:
        if (w == Scroll->viewport()) {
            FormMouseWheel(static_cast<QWheelEvent *>(e)->angleDelta().y());
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (panelOf(w)) AnyMouseDown(w, static_cast<QMouseEvent *>(e));
        break;
    case QEvent::MouseMove:
        if (panelOf(w)) AnyMouseMove(w, static_cast<QMouseEvent *>(e));
        break;
    case QEvent::MouseButtonRelease:
        if (panelOf(w)) AnyMouseUp(w, static_cast<QMouseEvent *>(e));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, e);
}

void TIntEForm::StartLayout() { ITimer->start(); }

void TIntEForm::resizeEvent(QResizeEvent *e) {
    QDialog::resizeEvent(e);
    PlaceToolPanel();
}

void TIntEForm::PlaceToolPanel() {
    // Until it is dragged the panel stands at the right, clear of the cards.
    ToolPanel->layout()->activate(); // the panel takes its size before it is placed
    const int clientTop = Scroll->y();
    int x = toolPanelMoved ? ToolPanel->x() : width() - ToolPanel->width() - 25;
    x = std::max(0, std::min(x, width() - ToolPanel->width()));
    const int y =
        std::max(clientTop, std::min(clientTop + ToolPanelTop, height() - ToolHdr->height()));
    ToolPanel->move(x, y);
}

void TIntEForm::FormMouseWheel(int delta) {
    QScrollBar *bar = Scroll->verticalScrollBar();
    bar->setValue(bar->value() - delta * 20 / 120);
}

void TIntEForm::CardSettingsApplied() {
    CardSettingsChanged = true;
    LayoutRunning = false;
    StartLayout();
}

void TIntEForm::INavClick(NavButton button) {
    if (button != NavButton::Post) TheMainWindow().ShowDance();
    CardSettingsChanged = true;
    OnITimer();
}

void TIntEForm::CopyMClick() {
    RichEdit *box = ActiveRich();
    if (box->textCursor().hasSelection()) box->copy();
    else QApplication::clipboard()->setText(TheMainWindow().DanceBox(QStringLiteral("Title")));
}

namespace {

// A change of the plain text: length characters at pos become with.
struct PlainEdit {
    int pos, length;
    QString with;
};

// Each line break is doubled, except one that opens the text.
QList<PlainEdit> SeparateEdits(const QString &t) {
    QList<PlainEdit> out;
    for (qsizetype p = t.indexOf(QLatin1String("\r\n"), 1); p >= 0; p = t.indexOf(QLatin1String("\r\n"), p + 2))
        out.append({int(p), 0, QStringLiteral("\r\n")});
    return out;
}

// After the first blank line every line break goes, and of two adjacent
// breaks only the first; where neither side has a blank, one takes the
// break's place.
QList<PlainEdit> JoinEdits(const QString &t) {
    QList<PlainEdit> out;
    qsizetype p = t.indexOf(QLatin1String("\r\n\r\n"));
    bool first = true;
    while (p >= 0) {
        // A break that another follows leaves the lines apart: no blank then.
        const bool blank = (p > 0 && t[p - 1] == QLatin1Char(' ')) || p + 2 >= t.size() ||
                           t[p + 2] == QLatin1Char(' ') || t[p + 2] == QLatin1Char('\r');
        out.append({int(p), 2, first || blank ? QString() : QStringLiteral(" ")});
        first = false;
        p = t.indexOf(QLatin1String("\r\n"), p + 4);
    }
    return out;
}

QString Applied(QString t, const QList<PlainEdit> &edits) {
    for (qsizetype i = edits.size() - 1; i >= 0; --i) t.replace(edits[i].pos, edits[i].length, edits[i].with);
    return t;
}

void ApplyToBox(RichEdit *box, const QList<PlainEdit> &edits) {
    for (qsizetype i = edits.size() - 1; i >= 0; --i) {
        QTextCursor c(box->document());
        c.setPosition(box->docPos(edits[i].pos));
        c.setPosition(box->docPos(edits[i].pos + edits[i].length), QTextCursor::KeepAnchor);
        if (edits[i].with == QLatin1String("\r\n")) c.insertBlock();
        else c.insertText(edits[i].with);
    }
}

} // namespace

QString SeparateLines(const QString &text) { return Applied(text, SeparateEdits(text)); }
QString JoinLines(const QString &text) { return Applied(text, JoinEdits(text)); }

void TIntEForm::SeparateClick() { ApplyToBox(Inst, SeparateEdits(Inst->text())); }
void TIntEForm::JoinClick() { ApplyToBox(Inst, JoinEdits(Inst->text())); }

void TIntEForm::ClearClick() {
    if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
    DancesData.FieldByName(QStringLiteral("Instructions")).SetAsString(QString());
    DancesData.FieldByName(QStringLiteral("Footer")).SetAsString(QString());
    // Both boxes go empty and unmodified, so that closing saves nothing back.
    for (RichEdit *box : {Inst, Footer}) {
        box->clear();
        box->setModified(false);
    }
    ClearedInstructions = true;
    close();
}
