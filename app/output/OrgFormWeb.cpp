// The web-page command of the main window: the programme page of the shown
// event (or of a band's tour) with its band tables and tune button, or the
// dance page, written to "Prog.htm" (in place of the old one or added to it)
// and opened in the browser.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Maintainer.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Field.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/evaluation/Rules.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "publishing/pages/AnnForm.h"
#include "publishing/pages/Annotation.h"
#include "publishing/pages/BandTable.h"
#include "publishing/pages/DancePage.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/ProgrammePage.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <optional>
#include <QScrollArea>
#include <QTabWidget>

void TOrgForm::buildWebControls() {
    const auto item = [this](QMenu *menu, const char *caption, const char *name, QKeySequence key) {
        auto *a = new QAction(QString::fromUtf8(caption), this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { WebClick(a); });
        return a;
    };
    WebE = item(EventsM, "&Web page", "WebE", QKeySequence(Qt::CTRL | Qt::Key_W));
    OneBandM = item(EventsM, "for &one band", "OneBandM", QKeySequence());
    WebD = item(DancesM, "&Web page", "WebD", QKeySequence(Qt::CTRL | Qt::Key_H));
    WebE->setProperty("HelpContext", 53800);
    OneBandM->setProperty("HelpContext", 53850);
    WebD->setProperty("HelpContext", 55300);
    buildNotesCommands();
}

void TOrgForm::buildPageTools() {
    AnnotateM = ToolsM->addAction(QStringLiteral("&Annotate web"));
    AnnotateM->setObjectName(QStringLiteral("AnnotateM"));
    AnnotateM->setProperty("HelpContext", 51680);
    connect(AnnotateM, &QAction::triggered, this, [this] { AnnotateClick(); });
}

void TOrgForm::AnnotateClick() {
    WriteLog(QStringLiteral("Annotate"));
    const bool saved = AnnotatePageFile(ProgHtmPath, [this](const QString &old) -> std::optional<QString> {
        TAnnForm form(this);
        form.UText->setPlainText(old);
        if (form.exec() != QDialog::Accepted) return std::nullopt;
        return form.UText->toPlainText();
    });
    if (saved) OpenDocument(ProgHtmPath, ShowMaximised);
}

QString TOrgForm::GetEvInfo() const {
    const EventBoxes e{Org->text(),  Contact->text(),  Event->text(),  Venue->text(), Town->text(),
                       Postcode->text(), DateBox->text(), ETime->text(), Band->text()};
    return EventInfo(e, AuthorMode ? MaintainerName() : SettingText(QStringLiteral("System"), QStringLiteral("Name")));
}

void TOrgForm::WebClick(QAction *Sender) {
    WriteLog(QStringLiteral("WebClick"));
    // 1.
    if (Sender) {
        if (EventsData.active()) EventsData.CheckBrowseMode();
        REDClick(Sender == WebD ? DancesM : EventsM);
    }
    OneBand = Sender && Sender == OneBandM;
    if (Sender == WebD) EnsureFormView();
    // 2.
    const bool dances = PC->currentWidget() == DancePage;
    if (dances) {
        buildDancePage();
    } else {
        buildProgrammePage();
    }

    // Closing the page.
    PageText += QStringLiteral("\r\n</Body>\r\n</HTML>");
    if (!Sender) return;
    QString page = PageText;
    if (QFile::exists(ProgHtmPath) && !YesNo(QStringLiteral("Overwrite Prog.htm?  (\"No\" to add)")))
        page = AddToPage(LoadTextFile(ProgHtmPath), PageText, dances ? PageKind::Dances : PageKind::Events);
    SavePageFile(ProgHtmPath, page);
    OpenDocument(ProgHtmPath, ShowMaximised);
}

void TOrgForm::buildDancePage() {
    DancePageInput in;
    in.title = Title->text();
    in.rtf = StripRtfHeaderGroups(Instructions);
    in.notes = Notes->toPlainText();
    in.useCss = OptionChecked(QStringLiteral("UseCSS"));
    in.showTitles = OptionChecked(QStringLiteral("ShowTitles"));
    in.halfLines = CardsHalfLines;
    in.paraGap = CardsParaGap;
    in.primaryFont = CardsDFont;
    in.primarySize = CardsDSize;
    in.separator = ProgrammeSeparator;
    if (IniFile) {
        in.printSize = IniFile->ReadString(QStringLiteral("Print"), QStringLiteral("Size"), in.printSize);
        in.printFont = IniFile->ReadString(QStringLiteral("Print"), QStringLiteral("Font"), in.printFont);
    }
    const DancePageResult page = BuildDancePage(in);
    if (!page.stop.isEmpty()) AbortMsg(page.stop);
    WriteLog(QStringLiteral("HTML for ") + page.title);
    PageText = page.page;
    if (page.fontOpen) PageText += QStringLiteral("</Font>");
}

void TOrgForm::buildProgrammePage() {
    // 1.
    if (DancesData.Filtered()) SetFilter(FilterTable::Dances, 1);

    // 2. A tour: another booking of the band within 30 days.
    const QString band = Band->text();
    const double first = EventDay();
    bool tour = false;
    if (!OneBand && !band.isEmpty() && EventsData.active() && !EventsData.IsEmpty()) {
        QList<FollowingEvent> following;
        SavePos();
        try {
            for (EventsData.Next(); !EventsData.Eof(); EventsData.Next()) {
                following.append({EventDay(), EventText("Band")});
                if (!WithinTour(first, following.last().day) || following.last().band == band) break;
            }
        } catch (...) {
            RestPos();
            throw;
        }
        RestPos();
        if (TourOffered(first, band, following) &&
            YesNo(QStringLiteral("Process all imminent events with ") + band + QLatin1Char('?'))) {
            tour = true;
            OneBand = false;
        }
    }

    // 3.-5.
    PrintColumns = ReadPrintColumns();
    WritePageHead(HtmlValue(tour ? QStringLiteral("Tour with ") + band
                                 : EventHeading(Org->text(), Contact->text(), Event->text())));
    PageText += QStringLiteral("</Head>\r\n<Body BgColor=White>\r\n");
    PageTunes.clear();
    QString pageBreak;

    // 6. The events; after a tour Events is back on the one it started from.
    const Dataset::Bookmark start = EventsData.GetBookmark();
    const auto back = [&] {
        if (tour && EventsData.GetBookmark() != start) GotoPos(EventsData, start);
    };
    try {
        for (;;) {
            if (Band->text() == band) {
                const QString heading = EventHeading(Org->text(), Contact->text(), Event->text());
                WriteLog(QStringLiteral("HTML for ") + heading);
                PageText += QStringLiteral("<Center") + pageBreak +
                            QStringLiteral("><H1 Style=\"Font-family: Verdana; Color: #8000C0; Font-size: 18pt\">") +
                            HtmlValue(heading) + QStringLiteral("</H1><Font Size=4>") + HtmlValue(GetEvInfo()) +
                            QStringLiteral("</Font></Center><HR NoShade Color=\"#8000C0\"><Br>");
                pageBreak = QStringLiteral(" Style=\"Page-break-before: Always\"");
                BuildTab();
                if (!tour) break;
                PageText += QStringLiteral("<Br Class=NoPrint><Br Class=NoPrint>");
            }
            EventsData.Next();
            if (EventsData.Eof() || !WithinTour(first, EventDay())) break;
        }
    } catch (...) {
        back();
        throw;
    }
    back();

    // 7. The tune button.
    TuneList &tunes = PageTunes;
    if (tunes.TuneQuery.isEmpty() || !YesNoHelp(QStringLiteral("Generate [Print] button?"), 53860)) return;
    if (AuthorMode && tunes.TuneQuery.size() > 600 && YesNo(QStringLiteral("Vellam - Generate page numbers?")))
        tunes.TuneQuery = QStringLiteral("PageNo=Y&") + tunes.TuneQuery;
    QString button;
    if (tunes.TuneQuery.size() > 2000) {
        if (!AuthorMode) AbortMsg(QStringLiteral("Too many links - contact ") + MaintainerName());
        const QString name = TuneListFileName(DateBox->text());
        const QString file = MaintainerFolder() + QStringLiteral("Site/") + name;
        QDir().mkpath(MaintainerFolder() + QStringLiteral("Site"));
        SaveTextFile(file, TuneListLines(tunes.TuneQuery));
        OpenWithEditor(file);
        button = TuneButton(QStringLiteral("Large=") + name);
    } else {
        button = TuneButton(tunes.TuneQuery + QStringLiteral("ForBand=Y"));
    }
    if (!tunes.MissingMusic.isEmpty())
        button += QStringLiteral("You may also want the following music not on my site:<Br>") + tunes.MissingMusic +
                  QStringLiteral("<Br>");
    PageText = InsertBeforeFirstTable(PageText, button);
}

void TOrgForm::BuildTab() {
    // 1.
    WriteLog(QStringLiteral("BuildTab"));
    const QChar sep = ProgrammeSeparator;
    BandSettings s;
    s.columns = PrintColumns;
    s.recordedKeys = IniFile ? IniFile->ReadSection(QStringLiteral("Recorded")) : QStringList();
    s.trackColumn = s.recordedKeys.size() >= 2 && SameText(s.recordedKeys[1], QStringLiteral("Trk"));
    s.tolbrook = TolbrookIndex(SettingInteger(QStringLiteral("System"), QStringLiteral("ShowTolbrook")));
    s.warn = OptionChecked(QStringLiteral("Warn"));
    s.isRec = IsRec->isChecked();
    s.oneBand = OneBand;
    s.authorMode = AuthorMode;
    s.separator = sep;
    s.locationColumn = LocationColumn;
    if (AuthorMode) {
        s.siteFolder = MaintainerFolder() + QStringLiteral("Site/");
        s.abcIndex = ABCIndex;
    }
    // A column that names no field of Dances would print nothing.
    const QList<FieldInfo> fields = Conn.fields(QStringLiteral("Dances"));
    for (const QString &column : s.columns)
        if (std::none_of(fields.begin(), fields.end(), [&](const FieldInfo &f) { return SameText(f.name, column); }))
            AbortMsg(QStringLiteral("[Print] column \"") + column + QStringLiteral("\" is not a field of the Dances table."));

    // 2.
    if (ThisIndex < 0 && !Rows->ItemList.isEmpty()) Rows->SelectItem(Rows->ItemList.first());
    TItem *kept = Rows->ThisItem;
    // 3.
    if (HasNextTimeHeading(ProgText, sep)) s.showNext = YesNo(QStringLiteral("Show \"Next time\" dances too?"));
    // 4.
    if (OneBand) {
        const QString part = InputBox(QStringLiteral("Enter part of Band name"), QString(),
                                      BandPart.isEmpty() ? RuleSetName() : BandPart);
        if (part.isEmpty()) AbortMsg(QStringLiteral("Cancelled"));
        BandPart = part;
        s.bandPart = part;
    }

    // 5.-6. The rows, read with the programme panel out of sight.
    const QList<ProgrammeItem> rows = Rows->RowItems();
    SavePos();
    Body->hide();
    BandTableResult table;
    try {
        SqlDanceLookup lookup(Conn);
        lookup.onMissing = [this](const DanceKey &key) { LocateMissing(key); };
        table = BuildBandTable(rows, lookup, s, PageTunes);
    } catch (...) {
        RestPos();
        Body->show();
        throw;
    }
    RestPos();
    Body->show();

    // Table end.
    if (!table.stop.isEmpty()) AbortMsg(table.stop);
    if (AuthorMode && !s.isRec && !table.noLinkNotInBook.isEmpty() &&
        !YesNo(table.noLinkNotInBook + QStringLiteral("\rVellam:  Tune not in Tolbrook and no website link.  Continue?")))
        throw SilentAbort();
    PageText = FinishBandTable(PageText + table.table, table, s.warn, sep);
    if (kept && Rows->ItemList.contains(kept)) Rows->SelectItem(kept);
    if (OptionChecked(QStringLiteral("Debug")) && YesNo(QStringLiteral("Display output from BuildTab?"))) {
        ShowInEditor(PageText);
        throw SilentAbort();
    }
}
