// The editor's layout job: the card settings, the dance re-shown, the text
// split into cards, and the card ends marked on screen.

#include "presentation/editor/IntEForm.h"

#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/dances/DanceShow.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "presentation/InstructionEdit.h"
#include "presentation/cards/CardDocument.h"

#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTextBlock>
#include <QTimer>

namespace {

const char *MarkerProperty = "cardMarker";

QLabel *Label(QWidget *parent, const QString &text, bool red) {
    auto *l = new QLabel(text, parent);
    l->setStyleSheet(QStringLiteral("background: yellow; font-weight: bold; color: %1").arg(red ? "red" : "black"));
    return l;
}

} // namespace

QWidget *TIntEForm::marker(QWidget *w) {
    w->setProperty(MarkerProperty, true);
    w->show();
    return w;
}

void TIntEForm::clearMarkers() {
    for (QWidget *w : Area->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w->property(MarkerProperty).toBool()) delete w;
}

bool TIntEForm::readSettings() {
    QStringList card;
    for (const QString &key : CardEditNames()) card.append(SettingText(QStringLiteral("Cards"), key));
    const CardGeometryRead read = ReadCardGeometry(card, Geometry);
    Geometry = read.geometry;
    if (read.downAcrossEmpty) {
        if (IniFile) {
            IniFile->WriteString(QStringLiteral("Cards"), QStringLiteral("Down"), QStringLiteral("1"));
            IniFile->WriteString(QStringLiteral("Cards"), QStringLiteral("Across"), QStringLiteral("1"));
        }
        ShowMsg(CardsDownAcrossMessage());
    }
    if (read.notWhole) ShowMsg(CardsNotWholeMessage());
    else if (read.sizeMissing) ShowMsg(CardsSizeMessage());
    return cardSized();
}

CardHeadingText TIntEForm::headingFor(int cardNo) const {
    CardHeadingInput in;
    const QString title = TheMainWindow().DanceBox(QStringLiteral("Title"));
    in.displayTitle = title;
    in.movedArticle = TitleArticle;
    in.style = TheMainWindow().DanceBox(QStringLiteral("Style"));
    in.showTitles = OptionChecked(QStringLiteral("ShowTitles"));
    in.refine = OptionChecked(QStringLiteral("Refine"));
    in.cardNo = cardNo;
    QString templ;
    try {
        templ = LoadTextFile(TemplatePath());
    } catch (...) {
    }
    in.templatePoints = TemplateTitlePoints(templ, 14);
    const double width = TwipsToPixels(Geometry.dWidth) - 20;
    const QString family = QStringLiteral("Times New Roman");
    return CardHeading(in, [&](const CardHeadingText &h) { return HeadingFitsOneLine(h, family, width); });
}

void TIntEForm::fillHeading(int cardNo) {
    const CardHeadingText h = headingFor(cardNo);
    CardHead->setVisible(h.shown);
    if (!h.shown) return;
    const double width = TwipsToPixels(Geometry.dWidth) - 20;
    auto doc = HeadingDocument(h, QStringLiteral("Times New Roman"), width);
    CardHead->document()->setHtml(doc->toHtml());
    CardHead->setGeometry(20, Marker->y(), int(width), 40);
}

void TIntEForm::reshowDance() {
    TheMainWindow().ShowDance();
    const QString title = TheMainWindow().DanceBox(QStringLiteral("Title"));
    if (!OptionChecked(QStringLiteral("ShowTitles"))) {
        QTextDocument *doc = Inst->document();
        if (doc->blockCount() > 1 && doc->firstBlock().text() == title) {
            QTextCursor c(doc->firstBlock());
            c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            c.removeSelectedText();
            while (doc->blockCount() > 1 && doc->firstBlock().text().trimmed().isEmpty()) {
                QTextCursor e(doc->firstBlock());
                e.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
                e.removeSelectedText();
            }
        }
    }
    Inst->setModified(false);
    Footer->setModified(false);
}

void TIntEForm::OnITimer() {
    if (LayoutRunning) return;
    LayoutRunning = true;
    ITimer->stop();
    LayoutAbort = false;
    struct Clear {
        bool &flag;
        ~Clear() { flag = false; }
    } running{LayoutRunning};

    clearMarkers();
    const int caret = Inst->selStart();
    CardNo = 0;
    const int width = int(TwipsToPixels(Geometry.dWidth));
    if (CardSettingsChanged) {
        CardSettingsChanged = false;
        // Without a card size no card is laid out; the text stays readable at a plain width.
        constexpr int UnsizedWidth = 480;
        const int w = readSettings() ? int(TwipsToPixels(Geometry.dWidth)) : UnsizedWidth;
        for (RichEdit *box : {Inst, WInst, Footer, WFooter}) {
            box->setLineWrapColumnOrWidth(w);
            box->setFixedWidth(w);
        }
        Inst->move(20, Marker->y() + 40);
        Footer->hide();
        reshowDance();
        if (cardSized()) fillHeading(1);
        else CardHead->hide();
    }
    const int cardWidth = int(TwipsToPixels(Geometry.dWidth));
    Q_UNUSED(width);

    QString stored;
    TabBlockOpen = false;
    Juggle(Inst, stored, InstructionBox::EditorInstructions);
    TabBlockOpen = false;
    Juggle(Footer, stored, InstructionBox::EditorFooter);
    CopyRich(Inst, WInst);
    CopyRich(Footer, WFooter);
    TabBlockOpen = false;

    PrepareCardDocument(WInst->document(), cardWidth);
    PrepareCardDocument(WFooter->document(), cardWidth);
    const bool useFooter = OptionChecked(QStringLiteral("UseFooter"));
    const double footerHeight = useFooter && !Footer->text().trimmed().isEmpty() ? DocumentTextHeight(WFooter->document()) : 0;
    const QList<CardTextLine> lines = DocumentLines(WInst->document());
    Cards = cardSized() ? PaginateCards(lines, TwipsToPixels(Geometry.dHeight), footerHeight, false) : CardPagination{};

    const int top = Inst->y();
    const int labelX = Inst->x() + Inst->width() + (screen() && screen()->size().width() < 900 ? 25 : 40);
    for (const CardSlice &card : Cards.cards) {
        ++CardNo;
        const int start = top + int(card.count ? lines[card.first].top : 0);
        if (CardNo > 1) {
            QWidget *line = marker(new QWidget(Area));
            line->setStyleSheet(QStringLiteral("background: red"));
            line->setGeometry(0, start, Inst->width() + 40, 1);
        }
        marker(Label(Area, QStringLiteral("Card %1").arg(CardNo), false))->setGeometry(labelX, start + 10, 60, 16);
    }
    int bottom = Inst->y() + Inst->height();
    if (useFooter) {
        Footer->move(20, bottom + 5);
        Footer->show();
        marker(Label(Area, QStringLiteral("Footer"), !Cards.footerFits))->setGeometry(labelX, Footer->y() + 2, 60, 16);
        bottom = Footer->y() + Footer->height();
    }
    Area->resize(std::max(Area->width(), labelX + 80), bottom + 7);
    LayoutPending = false;
    NRecs->setText(DanceCount == 1 ? QStringLiteral("1 dance") : QString::number(DanceCount) + QStringLiteral(" dances"));
    if (!Footer->hasFocus()) Inst->setSelStart(caret);
    ToolPanel->raise();
}
