// The Dances page of the main window: finding a dance, showing it, its
// music and play controls, the order box, the Find Dance button, the
// navigator and the change handlers of the notes and music boxes.

#include "app/OrgForm.h"
#include "core/views/ListForm.h"

#include "presentation/fullscreen/Full.h"
#include "presentation/editor/IntEForm.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceItems.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/dialogs/NFForm.h"
#include "core/filter/Filter.h"
#include "core/filter/Tags.h"
#include "core/services/AppServices.h"
#include "core/services/Help.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "core/startup/SplashForm.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/DataSource.h"
#include "platform/sqlite/DBNavigator.h"
#include "presentation/CardSettings.h"
#include "presentation/InstructionEdit.h"
#include "presentation/InstructionText.h"
#include "presentation/music/Playback.h"
#include "programme/rows/ItemRows.h"
#include "programme/rows/ProgrammeRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QtMath>

namespace {

const QString DanceOrders[] = {QStringLiteral("FST"), QStringLiteral("FTS"), QStringLiteral("FSRT"),
                               QStringLiteral("TSF")};

QString field(const QString &name) { return DancesData.FieldByName(name).AsString(); }

} // namespace

// ---- finding a dance -------------------------------------------------------------

void TOrgForm::LocateDance(const QString &title, const QString &format, const QString &style) {
    if (title.isEmpty()) return;
    const DanceKey key{title, format, style};
    WriteLog(title);
    bool found = SeekDance(DancesData, DancesData.indexName(), key);

    if (!found && !DancesData.Filtered() && !MissingMet) {
        if (title == QLatin1String("Panic!")) {
            OpenHelp(55010);
            throw SilentAbort();
        }
        if (PC->currentWidget() == EventPage) {
            MissingMet = true;
            if (Rows && Rows->AnItem) {
                Rows->Body->show();
                Rows->SelectItem(Rows->AnItem);
            }
        }
        if (!InErrorHandler) {
            WriteLog(QStringLiteral("Dance not Found in Dances table:"));
            LogHex(title);
            if (!NotFoundForAll) {
                HideSplash();
                TNFForm form(this);
                if (form.Execute(NotFoundText(key)) != ResultOK) {
                    WriteLog(QStringLiteral("Cancel"));
                    throw EQuietError("");
                }
            }
            if (NotFoundChoice == NotFoundAction::Note) {
                WriteLog(QStringLiteral("Note"));
                // Every item of the dance in the shown event, whatever its
                // recording choice; the event is stored only when one changed.
                if (EventsData.active() && !EventsData.IsEmpty()) {
                    int converted = 0;
                    const QString programme = DanceItemsToNotes(EventsData.FieldByName(QStringLiteral("Programme")).AsString(),
                                                                ProgrammeSeparator, key, &converted);
                    if (converted > 0) {
                        if (auto *row = Rows ? dynamic_cast<TDance *>(Rows->AnItem) : nullptr)
                            row->Title->setText(row->Title->text() + QStringLiteral(": DELETED"));
                        EventsData.Edit();
                        EventsData.FieldByName(QStringLiteral("Programme")).SetAsString(programme);
                        EventsData.Post();
                    }
                }
            } else {
                WriteLog(QStringLiteral("Generate"));
                DancesData.Insert();
                DancesData.FieldByName(QStringLiteral("Title")).SetAsString(title);
                DancesData.FieldByName(QStringLiteral("Format")).SetAsString(format);
                DancesData.FieldByName(QStringLiteral("Style")).SetAsString(style);
                DancesData.FieldByName(QStringLiteral("Instructions")).SetAsString(QStringLiteral("Generated Dance"));
                DancesData.Post();
                ForgetDancePos();
                found = SameDanceKey(CurrentDanceKey(DancesData), key);
            }
        }
    }

    // A dance the filter hides: offer to drop the filter. Without a filter
    // there is nothing to remove, and asking would only come round again.
    if (!MissingMet && !found && DancesData.Filtered() && !SameDanceKey(CurrentDanceKey(DancesData), key)) {
        if (!FullScreenShowing() && !YesNoHelp(QStringLiteral("Dance not available - remove filter?"), 30420))
            throw SilentAbort();
        SetFilter(FilterTable::Dances, 1);
        LocateDance(title, format, style);
    }
}

// ---- showing a dance ----------------------------------------------------------------

void TOrgForm::ShowDance() {
    if (StartingUp) return;
    SetMusic();
    ShowingDance = true;
    Music->setModified(false);
    TIntEForm &editor = IntEFormWindow();
    const bool hasDance = DancesData.active() && !DancesData.IsEmpty();

    // Notes: the box fits itself to the new text through its change handler.
    const QString notes = hasDance ? field(QStringLiteral("Notes")) : QString();
    if (FromWidgetText(Notes->toPlainText()) != notes) {
        Notes->setFixedHeight(999);
        Notes->setPlainText(ToWidgetText(notes));
        Notes->document()->setModified(false);
    }

    const DanceKey key = hasDance ? CurrentDanceKey(DancesData) : DanceKey{};
    if (!TagSetName.isEmpty()) {
        const bool tagged = IsTagged(TagKey(key.Title, key.Format, key.Style));
        TagOn->setVisible(tagged);
        TagOff->setVisible(!tagged);
    } else {
        TagOn->hide();
        TagOff->hide();
    }

    for (QCheckBox *box : {Printed, Callit, OwnTune}) {
        const QSignalBlocker quiet(box);
        box->setChecked(hasDance && field(box->objectName()) == QLatin1String("Y"));
    }

    // The rich text in the primary card font.
    const QString head = DanceRtfHead(CardsDFont);
    const QString para = DanceRtfParagraph(QString::number(CardsParaGap), CardsHalfPoints);
    const QString withIndent = head + HangingIndentPrefix + para;
    const QString withoutIndent = head + para;

    QString instructions = hasDance ? field(QStringLiteral("Instructions")) : QString();
    if (!instructions.isEmpty()) {
        instructions = WrapPlainText(instructions, withIndent);
        instructions = SetRtfFontSize(instructions);
        NbspState = NbspStateFor(instructions, NbspState);
        instructions = FixFirstFontSize(instructions, CardsDSize, CardsHalfPoints);
    }

    const bool instructionsModified = Instructions->modified();
    Instructions->clear();
    LoadRichText(head + para + QStringLiteral("\r\n}\r\n"), editor.Footer);
    LastInstructions.clear();
    QString footer;
    if (!instructions.isEmpty()) {
        instructions = CloseRtf(TrimRTF(instructions));
        LastInstructions = instructions;
        LoadRichText(instructions, editor.Inst);
        footer = hasDance ? field(QStringLiteral("Footer")) : QString();
        if (!footer.isEmpty()) {
            footer = CloseRtf(TrimRTF(WrapPlainText(footer, withoutIndent)));
            LoadRichText(footer, editor.Footer);
        }
        QString shown = instructions;
        if (!editor.Footer->text().trimmed().isEmpty()) shown = JoinFooter(TrimRTF(instructions), footer);
        LoadRichText(shown, Instructions);
    } else {
        // Empty, in the card font: what is typed into a dance without
        // instructions is stored in that font too.
        LoadRichText(head + para + QStringLiteral("\r\n}\r\n"), editor.Inst);
    }

    // The value the Dances filter looks for in the instructions, in bold red.
    const QString sought = DancesData.Filtered() ? InstructionsHighlightValue(DancesFilter) : QString();
    if (!sought.isEmpty()) {
        QTextCharFormat mark;
        mark.setFontWeight(QFont::Bold);
        mark.setForeground(Qt::red);
        for (const auto &[start, length] : HighlightRanges(Instructions->document()->toPlainText(), sought)) {
            QTextCursor c(Instructions->document());
            c.setPosition(start);
            c.setPosition(start + length, QTextCursor::KeepAnchor);
            c.mergeCharFormat(mark);
        }
    }

    if (!OptionChecked(QStringLiteral("UseFooter"))) {
        if (!instructions.isEmpty()) LoadRichText(instructions, editor.Inst);
        editor.Footer->clear();
    }

    const QString title = DisplayTitle(Title->text());
    if (OptionChecked(QStringLiteral("ShowTitles")) || FullScreenShowing()) {
        AddTitleHeading(Instructions, title);
        AddTitleHeading(editor.Inst, title);
    } else {
        // Leading lines that are empty or the title itself go.
        QTextDocument *doc = Instructions->document();
        while (doc->blockCount() > 1) {
            const QString line = doc->firstBlock().text().trimmed();
            if (!line.isEmpty() && line != title) break;
            QTextCursor c(doc->firstBlock());
            c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
    }
    Instructions->setModified(instructionsModified);

    if (OptionChecked(QStringLiteral("IntEditor"))) {
        QString stored;
        // The page shows the card layout too, so that a new paragraph gap or
        // line spacing is seen at once.
        if (!Instructions->document()->isEmpty()) Juggle(Instructions, stored, InstructionBox::MainInstructions);
        Juggle(editor.Inst, stored, InstructionBox::EditorInstructions);
        Juggle(editor.Footer, stored, InstructionBox::EditorFooter);
    }

    // The page change runs PCChange.
    if (!QuietShow) PC->setCurrentWidget(DancePage);

    LastFooter = footer;
    editor.Inst->setModified(false);
    editor.Footer->setModified(false);
    ShowingDance = false;
}

void TOrgForm::SetMusic() {
    ShowingDance = true;
    if (!DancesData.active()) {
        ShowingDance = false;
        return;
    }
    MusicInput in;
    in.music = DancesData.IsEmpty() ? QString() : field(QStringLiteral("Music"));
    in.sep = ProgrammeSeparator;
    in.chosenLine = ChosenMusicLine;
    // The selected programme row's recording choice, when that row is this dance.
    if (auto *row = Rows && ThisIndex >= 0 ? dynamic_cast<TDance *>(Rows->ThisItem) : nullptr)
        if (!DancesData.IsEmpty() && SameDanceKey(row->key(), CurrentDanceKey(DancesData))) in.chosenLine = row->Recording;
    in.isRec = IsRec->isChecked();
    in.locationColumn = LocationColumn;
    if (IniFile) in.recordedKeys = IniFile->ReadSection(QStringLiteral("Recorded"));
    in.playing = Playing;
    in.fullScreen = FullScreenShowing();
    const MusicShown out = ShowMusic(in);

    MusicText = out.musicText;
    CurrentMusicLine = out.currentMusicLine;
    Music->setText(out.boxText);
    if (out.moreThanOneLine) {
        LogHex(out.multiLineText);
        // Stored at once, so the message does not come back at every show.
        DancesData.Edit();
        DancesData.FieldByName(QStringLiteral("Music")).SetAsString(MusicText);
        DancesData.Post();
        ShowMsg(out.message);
    }
    ShowingDance = false;

    PlayPnl->setFixedHeight(out.panelHeight);
    PauseBtn->setToolTip(out.pauseHint);
    PlayFile = out.playFile;
    CdTrack = out.cdTrack;
    MidFile = out.midFile;
    if (!out.playHint.isEmpty()) PlayBtn->setToolTip(out.playHint);
    PlayPnl->setVisible(out.panelVisible);
}

// ---- order box, Find Dance, navigator -----------------------------------------

void TOrgForm::DOrderChange() {
    WriteLog(QStringLiteral("DOrderChange"));
    const int entry = DOrderBox->currentIndex();
    if (entry < 0 || entry > 3) return;
    const QString order = DanceOrders[entry];
    const QString previous = DancesData.indexName();
    const auto storeOrder = [](const QString &name) {
        if (IniFile) IniFile->WriteString(QStringLiteral("System"), QStringLiteral("DOrder"), name);
    };
    storeOrder(order);
    DancesData.CheckBrowseMode();
    SaveDancePos(DancesData);
    DancesData.close();
    DancesData.setIndexName(order);
    try {
        try {
            DancesData.open();
        } catch (const DbError &) {
            // Only a missing index is rebuilt; any other failure is what it says.
            if (Conn.hasIndex(order)) throw;
            RebuildDanceIndex(order);
            DancesData.open();
        }
    } catch (...) {
        // The page keeps its dances in the order they had.
        DancesData.close();
        DancesData.setIndexName(previous);
        storeOrder(previous);
        for (int i = 0; i < 4; ++i)
            if (SameText(DanceOrders[i], previous)) {
                const QSignalBlocker quiet(DOrderBox);
                DOrderBox->setCurrentIndex(i);
            }
        try {
            DancesData.open();
            RestDancePos(DancesData);
        } catch (...) {
            ForgetDancePos();
        }
        throw;
    }
    RestDancePos(DancesData);
}

void TOrgForm::FindClick() {
    WriteLog(QStringLiteral("Find Dance"));
    DancesData.CheckBrowseMode();
    TListForm *chooser = CreateListForm(this);
    const int result = chooser->Choose(ChooserMode::Dances);
    if (result == TListForm::Selected) {
        LocateDance(chooser->Chosen(QStringLiteral("Title")), chooser->Chosen(QStringLiteral("Format")),
                    chooser->Chosen(QStringLiteral("Style")));
        ShowDance();
    } else if (result == TListForm::New) {
        NewDanceClick();
    }
}

void TOrgForm::DNavBefore(NavButton button) {
    if (button == NavButton::Post) SaveDRec(DNav);
}

void TOrgForm::DNavClick(NavButton button) {
    ShowDance();
    TitleBtn->setFocus();
    if (button == NavButton::Insert) {
        WriteLog(QStringLiteral("New Dance (from Nav)"));
        Title->setFocus();
        DancesData.FieldByName(QStringLiteral("Callit")).SetAsString(QStringLiteral("Y"));
        const QSignalBlocker quiet(Callit);
        Callit->setChecked(true);
    }
}

// ---- notes and music boxes ---------------------------------------------------------

namespace {

// Fits the notes box to its text, word-wrapped in its width. The heights are
// those of the text area: the frame and the document's margins come on top,
// or the text would be cut.
void FitNotesBox(QPlainTextEdit *notes) {
    const QString text = notes->toPlainText();
    const int margin = qCeil(notes->document()->documentMargin());
    const QRect client = notes->viewport()->rect().adjusted(margin, margin, -margin, -margin);
    const int chrome = 2 * (notes->frameWidth() + margin);
    const QFontMetrics metrics(notes->font());
    const int measured = metrics.boundingRect(client, Qt::TextWordWrap, text).height();
    const int wanted = NotesWantedHeight(measured, FromWidgetText(text), metrics.lineSpacing());
    if (wanted != notes->height() - chrome) {
        const NotesBox box = NotesBoxFor(wanted, SettingInteger(QStringLiteral("System"), QStringLiteral("Notes")),
                                         metrics.lineSpacing());
        notes->setFixedHeight(box.height + chrome);
        notes->setVerticalScrollBarPolicy(box.scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    }
}

// A box filled while its page was hidden was measured in a width it never
// had: it is fitted again when it gets its real width.
class NotesWidthWatch : public QObject {
public:
    explicit NotesWidthWatch(QPlainTextEdit *notes) : QObject(notes), notes(notes) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Resize) {
            auto *resize = static_cast<QResizeEvent *>(event);
            if (watched == notes->viewport() && resize->size().width() != resize->oldSize().width())
                FitNotesBox(notes);
        }
        return false;
    }

private:
    QPlainTextEdit *notes;
};

} // namespace

void TOrgForm::NChange() {
    FitNotesBox(Notes);
    MarkDanceChanged(DancesData);
}

void TOrgForm::MusicChange() {
    if (ShowingDance) return;
    const QString text = Music->text();
    if (text.contains(ProgrammeSeparator) && !MusicDialogActive) {
        ShowMsg(QStringLiteral("Field contains information about recorded music.  Please right-click to change it."));
        SetMusic();
        return;
    }
    if (text != MusicText) {
        MusicText = text;
        MarkDanceChanged(DancesData);
    }
}

void TOrgForm::ConnectDancePage() {
    ConnectFullScreen();
    // The walks of other parts give Events back to these handlers.
    SetEventsScrollHandler([](Dataset &ds) {
        if (OrgForm) OrgForm->EventsAfterScroll(ds);
    });
    SetEventsEnable([](Dataset &ds) {
        if (OrgForm) OrgForm->EventsEnable();
        else ds.EnableControls();
    });
    connect(Notes, &QPlainTextEdit::textChanged, this, [this] { NChange(); });
    Notes->viewport()->installEventFilter(new NotesWidthWatch(Notes));
    connect(Music, &QLineEdit::textChanged, this, [this] { MusicChange(); });
    connect(DOrderBox, &QComboBox::activated, this, [this] { DOrderChange(); });
    connect(TitleBtn, &QPushButton::clicked, this, [this] { FindClick(); });
    DNav->BeforeAction = [this](NavButton button) { DNavBefore(button); };
    connect(ESource, &TDataSource::edited, this, [this] { EDataChange(); });
}
