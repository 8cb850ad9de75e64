#pragma once
// The instruction editor "Internal Editor": the current dance's instructions
// and footer at card width, where each card ends, and the printing of cards.
// It works on the main window's Dances dataset and reaches the main window
// only through its link (core/services/MainWindowLink.h).

#include "presentation/cards/CardLayout.h"

#include <QDialog>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class QScrollArea;
class QTimer;
class RichEdit;
class TDBNavigator;
enum class NavButton;

class TIntEForm : public QDialog {
    Q_OBJECT
public:
    explicit TIntEForm(QWidget *parent = nullptr);
    ~TIntEForm() override;

    RichEdit *Inst, *Footer;   // what the main window loads the dance into
    RichEdit *WInst, *WFooter; // work copies at card width
    RichEdit *CardHead;
    QWidget *Marker;
    QWidget *Area; // the card area inside the scroll area
    QScrollArea *Scroll;
    // The tool panel floats over the card area: its header ToolHdr drags
    // it, and its top is kept in ToolPanelTop (from the top of the client
    // area below the menu) for the run.
    QFrame *ToolPanel;
    QLabel *ToolHdr;
    int ToolPanelTop = 40;
    // Puts the tool panel at ToolPanelTop, kept inside the window.
    void PlaceToolPanel();
    TDBNavigator *INav;
    QLabel *NRecs;
    QFrame *PrPanel;
    QLabel *InfoLab;
    QPushButton *PrCancel;
    QTimer *ITimer;
    QAction *PrinterSetup, *Print, *PrintPage, *PrintThis, *PrintBorder, *SaveM, *ExitM, *SettingsM;
    QAction *SelectAll, *CopyM, *Printed, *Separate, *Join, *Clear, *Remove;

    // Editing and formatting (IntEFormFormat.cpp).
    QAction *CutM, *DeleteM, *PasteM, *Bold, *Italic, *Underline, *Normal, *SpecialM, *NBS, *NBH, *LineBreakM;
    QAction *FontM, *Colour, *BGColour, *Inverse, *PrimaryFont, *CustomiseM;
    QMenu *Popup;
    QPushButton *ShowRTF, *SaveRTF;
    QPlainTextEdit *RTFList;
    QListWidget *FontList;
    // The box that last had the focus among Inst, Footer, RTFList and
    // NewText, and the last of those that is a rich edit.
    QWidget *ActiveEditor = nullptr;
    RichEdit *LastRichEditor = nullptr;
    // The rich edit the formatting commands work on.
    RichEdit *ActiveRich() const;

    void SelectAllClick();
    void CutClick();
    void DeleteMClick();
    void PasteMClick();
    void BoldClick();
    void ItalicClick();
    void UnderlineClick();
    void NormalClick();
    void InsElem(char16_t element);
    void SpecialClick();
    void SBClick(const QString &caption);
    void FontClick();
    void ColourClick();
    void ColBgBtnClick();
    void InvClick();
    void PFClick();
    void FontListClick(const QString &family);
    void ShowRTFClick(bool fromSender);
    void SaveRTFClick();
    void RTFEnter(QWidget *box);
    // A change of Inst or Footer makes the dance's record modified, so that
    // leaving it posts the text (or closing asks); changes made while a
    // dance is shown or laid out are no edits.
    void RTFChange();
    void InstDblClick();
    // 20 pixels a wheel step (delta in eighths of a degree, 120 a step).
    void FormMouseWheel(int delta);
    // The editor's keys on Inst; true when the key is handled.
    bool FormShortcut(QKeyEvent *key);

    // Customise items (IntEFormCustom.cpp).
    QFrame *CustPanel, *ItemPanel;
    QLabel *CustHdr, *ItemHdr;
    QPushButton *AddItem, *CustHelp, *CustClose, *ItemClose;
    QLineEdit *CTitle, *OldText;
    RichEdit *NewText;
    QPushButton *OKBtn, *DelBtn, *RawBtn, *HelpBtn2, *CancelBtn;
    // Three controls head the customise panel; the item buttons follow.
    QList<QPushButton *> ItemButtons;

    void CustomiseClick(bool fromSender);
    void CustItemClick(int tag);
    void CustBtnClick(int tag);
    void OKBtnClick();
    void DelBtnClick();
    void RawBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();
    void CustCloseClick();
    void ItemCloseClick();
    // The panels' headers (tool, customise, item) drag them with the left
    // button; releasing the tool panel's header keeps its top.
    void AnyMouseDown(QWidget *header, QMouseEvent *e);
    void AnyMouseMove(QWidget *header, QMouseEvent *e);
    void AnyMouseUp(QWidget *header, QMouseEvent *e);
    // NewText shows its raw RTF.
    bool RawShown() const;

    // Job state.
    bool LayoutRunning = false, LayoutAbort = false, LayoutPending = false, CardSettingsChanged = false;
    bool PrintingCards = false, PrintFirstPageOnly = false, PrintThisDanceOnly = false, StopPrinting = false;
    bool ClearedInstructions = false;
    int CardNo = 0, DanceCount = 0;
    CardGeometry Geometry;
    // The last layout: the cards of the text and whether the footer fits.
    CardPagination Cards;

    // Either box changed since it was last loaded.
    bool Unsaved() const;
    // Saves the boxes into the dance; fromMainWindow: the main window's
    // before-post hook is posting.
    void SaveClick(bool fromMainWindow = false);
    // Shows the window modally for the current dance.
    void ShowModal();

    void OnITimer();
    void StartLayout();
    enum class PrintMode { All, FirstPage, ThisDance };
    void PrintClick(PrintMode mode);
    void PrCancelClick();
    void PrintedClick();
    void RemoveClick();
    void CopyMClick();
    void SeparateClick();
    void JoinClick();
    void ClearClick();
    void INavClick(NavButton button);

    // The settings were applied: a fresh layout.
    void CardSettingsApplied();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildMenus();
    // Reads the card settings into Geometry; false (with its message) when
    // they give no card size to lay cards out at.
    bool readSettings();
    bool cardSized() const { return Geometry.dWidth > 0 && Geometry.dHeight > 0; }
    void buildEditing(QToolBar *tools);
    void buildCustomPanels();
    QPoint dragStart;
    // The panel a header drags.
    QWidget *panelOf(QWidget *header) const;
    // A navy header with white text that drags its panel.
    static QLabel *PanelHeader(QWidget *parent, const QString &caption, const char *name);
    // The tool panel was dragged sideways: it keeps its left from then on.
    bool toolPanelMoved = false;
    void reshowDance();
    void clearMarkers();
    QWidget *marker(QWidget *w);
    void fillHeading(int cardNo);
    CardHeadingText headingFor(int cardNo) const;
    void markPrinted();
};

// The editor, made on first use (at start-up by the program).
TIntEForm &IntEFormWindow();
void DropIntEFormWindow();

// The text routines of Separate and Join on a plain text (CR LF line ends).
QString SeparateLines(const QString &text);
QString JoinLines(const QString &text);
