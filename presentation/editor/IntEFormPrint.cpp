// The editor's printing: the cards of the set (or its first page, or this
// dance) on the chosen printer, cancelling after a page, and marking the
// printed dances.

#include "presentation/editor/IntEForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/dances/DanceRecord.h"
#include "core/filter/Filter.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "platform/print/CardPrinter.h"
#include "platform/sqlite/DBNavigator.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/InstructionEdit.h"
#include "presentation/cards/CardDocument.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTextDocument>

namespace {

// Writes to Dances with its controls still and without the warning about
// records leaving the filter; both come back on every way out.
void QuietDancesWrite(const std::function<void()> &write) {
    DancesData.DisableControls();
    QuietFilterPost = true;
    struct Restore {
        ~Restore() {
            QuietFilterPost = false;
            DancesData.EnableControls();
        }
    } restore;
    write();
}

} // namespace

void TIntEForm::PrintClick(PrintMode mode) {
    PrintFirstPageOnly = mode == PrintMode::FirstPage;
    PrintThisDanceOnly = mode == PrintMode::ThisDance;
    DanceCount = PrintThisDanceOnly ? 1 : DancesData.VisibleCount();
    if (DanceCount >= 20 && !PrintFirstPageOnly &&
        !YesNo(QStringLiteral("Print instructions for ") + QString::number(DanceCount) + QStringLiteral(" dances?")))
        return;
    if (Unsaved()) SaveClick();
    if (!readSettings()) return;
    QPagedPaintDevice *device = CurrentCardPrinter().choose(this, SettingBool(QStringLiteral("Cards"), QStringLiteral("Portrait")));
    if (!device) return;
    CardPrintRun run(device, Geometry, PrintFirstPageOnly, PrintBorder->isChecked());
    if (!run.ok()) {
        ShowMsg(QStringLiteral("Unable to print"));
        return;
    }
    if (!PrintThisDanceOnly) DancesData.First();
    StopPrinting = false;
    PrPanel->move(Inst->x() + Inst->width() + 20, std::max(0, (height() - PrPanel->height()) / 2));
    PrPanel->show();
    PrPanel->raise();
    PrintingCards = true;
    // Each dance is laid out as the layout job does it: its text reloaded
    // and re-laid is no edit of the dance.
    LayoutRunning = true;
    // Both flags go and the panel hides once the cards are out, and on
    // every way out.
    struct End {
        TIntEForm *f;
        void operator()() const {
            f->PrintingCards = f->LayoutRunning = false;
            f->PrPanel->hide();
        }
        ~End() { (*this)(); }
    } end{this};
    const double width = TwipsToPixels(Geometry.dWidth);
    for (int danceNo = 1; !StopPrinting && !run.stopped() && !DancesData.Eof(); ++danceNo) {
        InfoLab->setText(QStringLiteral("Printing page ") + QString::number(run.placer.CardPageNo));
        TheMainWindow().ShowDance();
        QString stored;
        TabBlockOpen = false;
        Juggle(Inst, stored, InstructionBox::EditorInstructions);
        QTextDocument text, footer;
        text.setDefaultFont(Inst->document()->defaultFont());
        text.setHtml(Inst->document()->toHtml());
        PrepareCardDocument(&text, width);
        footer.setHtml(Footer->document()->toHtml());
        PrepareCardDocument(&footer, width);
        DanceCardsJob job;
        job.text = &text;
        const bool hasFooter = OptionChecked(QStringLiteral("UseFooter")) && !Footer->text().trimmed().isEmpty();
        job.footer = hasFooter ? &footer : nullptr;
        job.headingWidth = width - 20;
        job.heading = [this, width](int cardNo) -> std::unique_ptr<QTextDocument> {
            const CardHeadingText h = headingFor(cardNo);
            if (!h.shown) return nullptr;
            return HeadingDocument(h, QStringLiteral("Times New Roman"), width - 20);
        };
        run.printDance(job, !PrintThisDanceOnly && danceNo < DanceCount);
        QApplication::processEvents();
        if (PrintThisDanceOnly) break;
        DancesData.Next();
    }
    const bool cancelled = StopPrinting;
    end();
    if (!run.end()) {
        ShowMsg(QStringLiteral("Printing failed"));
        return;
    }
    if (cancelled || PrintFirstPageOnly || PrintThisDanceOnly) return;
    if (YesNoHelp(QStringLiteral("Successfully printed dances?"), 60500)) markPrinted();
}

void TIntEForm::PrCancelClick() {
    StopPrinting = true;
    PrintingCards = false;
}

// Every dance of the set, taken by rowid before any is written (a marked
// dance may leave the set), marked in one transaction: all or none.
void TIntEForm::markPrinted() {
    const std::vector<qint64> rows = DancesData.VisibleBookmarks();
    QuietDancesWrite([&] {
        Batch batch(Conn);
        for (qint64 row : rows) {
            DancesData.GotoBookmark(row);
            if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
            DancesData.FieldByName(QStringLiteral("Printed")).SetAsString(QStringLiteral("Y"));
            DancesData.Post();
        }
        batch.commit();
    });
    TheMainWindow().SetDancesFilter(1);
    close();
}

void TIntEForm::PrintedClick() {
    if (DancesData.State() != DatasetState::Browse) {
        DancesData.FieldByName(QStringLiteral("Printed")).SetAsString(QStringLiteral("Y"));
        DancesData.Post();
    }
    QString expected = TheMainWindow().DanceBox(QStringLiteral("Title"));
    if (TheMainWindow().DanceBox(QStringLiteral("Style")).contains(QLatin1String("Break"))) expected = QStringLiteral("Break:  ") + expected;
    if (CardHead->isVisible() && CardHead->toPlainText() != expected) {
        CardHead->setPlainText(expected);
        LayoutRunning = false;
        StartLayout();
        return;
    }
    DancesData.Edit();
    DancesData.FieldByName(QStringLiteral("Printed")).SetAsString(QStringLiteral("Y"));
    DancesData.Post();
    if (DancesFilter.Count > 0 && DancesFilter.Field[1].compare(QLatin1String("Printed"), Qt::CaseInsensitive) == 0) RemoveClick();
}

void TIntEForm::RemoveClick() {
    QuietDancesWrite([] {
        if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
        DancesData.FieldByName(QStringLiteral("DFilter")).SetAsString(QString());
        DancesData.Post();
    });
    --DanceCount;
    if (DanceCount > 0) {
        INavClick(NavButton::Cancel);
        return;
    }
    TheMainWindow().SetDancesFilter(1);
    close();
    TheMainWindow().FormViewClick();
}
