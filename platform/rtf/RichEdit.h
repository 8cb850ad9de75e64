#pragma once
// The rich-edit control: a text edit that reads and writes RTF, gives its
// plain text with CR LF between paragraphs and VT for line breaks, and counts
// caret and selection in that text (a paragraph break counts 2 there).

#include <QKeySequence>
#include <QList>
#include <QTextEdit>

#include <functional>
#include <optional>

class RichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit RichEdit(QWidget *parent = nullptr);

    // The whole text as RTF, and loading it; loading keeps the Modified flag
    // and the caret (as far as the new text reaches) and is not undoable.
    QString rtf() const;
    void setRtf(const QString &rtf);
    // The selection as RTF (an empty text for no selection), and replacing the
    // selection by RTF. The text's final paragraph mark is not inserted, so a
    // one-paragraph text goes in inline.
    QString selectionRtf() const;
    void replaceSelectionRtf(const QString &rtf);

    // Plain text: paragraphs joined by CR LF, line breaks as VT.
    QString text() const;
    // Caret and selection in positions of text() (0-based).
    int selStart() const;
    int selLength() const;
    void setSelStart(int pos);   // collapses the selection at pos
    void setSelLength(int len);  // extends from selStart()
    void select(int start, int length);
    QString selText() const;
    // Conversions between positions of text() and of the document.
    int textPos(int docPos) const;
    int docPos(int textPos) const;

    bool modified() const;
    void setModified(bool m);

    // Character formats of the selection (of the typing position without one).
    // The getters are true only when the whole selection has the style.
    bool selBold() const;
    bool selItalic() const;
    bool selUnderline() const;
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelUnderline(bool on);
    void setSelPlain(); // no bold, italic, underline, strike-out, raise
    void setSelFont(const QString &family);
    void setSelSize(qreal points);
    // Removes a format property from the selection (from the typing format
    // without one).
    void clearSelProperty(int property);
    // Text colour; an invalid colour is the automatic one.
    QColor selColour() const;
    void setSelColour(const QColor &colour);

    // Keys this control leaves to the window's actions (by default a focused
    // text edit takes undo, select all, copy, cut and paste for itself).
    void setWindowKeys(const QList<QKeySequence> &keys) { windowKeys_ = keys; }
    // Copy (Ctrl+C, Ctrl+Ins) goes to the window while nothing is selected.
    void setCopyLeftWithoutSelection(bool on) { copyLeftWithoutSelection_ = on; }

    // Replaces the paste of clipboard and drop data; returns true when it
    // handled the data.
    void setPasteHandler(std::function<bool(const QMimeData *)> handler) { pasteHandler_ = std::move(handler); }
    // Inserts mime data the control's own way: RTF through the reader, else
    // HTML, else plain text.
    void insertMimeData(const QMimeData *source);

    // The zoom ratio (1: as stored). Font sizes, indents and tab stops are
    // shown scaled; rtf(), selectionRtf(), the plain text and loaded or
    // inserted RTF stay in the stored sizes.
    void setZoom(qreal ratio);
    qreal zoom() const { return zoom_; }

    // The height the laid-out text needs, frame included.
    int contentHeight() const;

signals:
    // The laid-out height changed (the old control's resize request).
    void heightRequested(int height);

protected:
    bool event(QEvent *e) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    bool wholeSelection(const std::function<bool(const QTextCharFormat &)> &test) const;

    QList<QKeySequence> windowKeys_;
    bool copyLeftWithoutSelection_ = false;
    std::function<bool(const QMimeData *)> pasteHandler_;
    int lastHeight_ = -1;
    qreal zoom_ = 1.0;
};

// Multiplies a document's font sizes, indents and tab stops by factor.
void ScaleDocument(QTextDocument *doc, qreal factor);

// The RTF formats taken from the clipboard and drops, in order of preference.
QStringList RtfMimeTypes();
// The RTF of mime data, or an empty text when it holds none.
QString RtfFromMimeData(const QMimeData *data);

// Copies the selection of source (all of it when nothing is selected) over
// the selection of target, with its formatting; nothing when source is empty.
void CopyRTF(RichEdit *source, RichEdit *target);
// Copies the whole content of source into target (an empty source empties it).
void CopyRich(RichEdit *source, RichEdit *target);

// Background of the selection: nullopt when it differs within the selection,
// an invalid colour for none, else the colour.
std::optional<QColor> GetSelBackColor(RichEdit *edit);
// Sets the selection's background; black is stored as RGB 1,0,0 (black is
// the old control's "automatic"); an invalid colour removes the background.
void SetSelBackColor(RichEdit *edit, const QColor &colour);

// Loads RTF keeping the Modified flag; the RTF of a control. The writer puts
// no generator or style-sheet group in, so nothing is left to strip.
void LoadRichText(const QString &rtf, RichEdit *edit);
QString StripRtfHeaderGroups(RichEdit *edit);

// The shared hidden rich edit for conversions; made on first use.
extern RichEdit *WorkRich;
RichEdit *EnsureWorkRich();
