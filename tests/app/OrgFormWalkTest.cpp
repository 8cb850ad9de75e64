// The commands that walk Events or Dances with the controls disabled leave
// the window showing one record whole: every bound box, the check boxes,
// the notes, the music and the instructions.

#include "FakeProgress.h"
#include "EventFormFixture.h"

#include "core/dialogs/Progress.h"
#include "platform/sqlite/DataSource.h"
#include "platform/rtf/RichEdit.h"
#include "publishing/exchange/CsvExport.h"
#include "publishing/exchange/CsvImport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

class OrgFormWalkTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        SetProgressView(&progress);
        for (const char *t : {"Apple Cart", "Lavender Lady", "Millpond"})
            addDance(t, {{"Author", QString(t) + " author"},
                         {"Notes", QString(t) + " notes"},
                         {"Music", QString(t) + " tune"},
                         {"Instructions", QString("{\\rtf1 Steps of %1}").arg(t)},
                         {"OwnTune", QString(t) == "Apple Cart" ? "Y" : ""}});
    }
    void TearDown() override {
        SetProgressView(nullptr);
        EventFormTest::TearDown();
    }
    // What the window shows that is not the current record's, "" when it
    // shows the record whole.
    QString mismatches() {
        QStringList out;
        for (TDataSource *source : {form->ESource, form->DSource}) {
            Dataset *ds = source->dataset();
            for (QWidget *box : source->boxes()) {
                const QString field = source->fieldOf(box);
                auto *edit = qobject_cast<QLineEdit *>(box);
                const QString shown = edit ? edit->text() : box->findChild<QLineEdit *>()->text();
                if (shown != ds->FieldByName(field).AsString()) out << field + "=" + shown;
            }
        }
        const auto dance = [](const char *f) { return DancesData.FieldByName(f).AsString(); };
        if (form->Notes->toPlainText() != dance("Notes")) out << "Notes=" + form->Notes->toPlainText();
        if (form->Music->text() != dance("Music")) out << "Music=" + form->Music->text();
        if (!form->Instructions->document()->toPlainText().contains("Steps of " + dance("Title")))
            out << "Instructions=" + form->Instructions->document()->toPlainText();
        if (form->OwnTune->isChecked() != (dance("OwnTune") == "Y")) out << "OwnTune";
        if (form->DateBox->text().isEmpty()) out << "DateBox";
        return out.join(", ");
    }
    RecordingView progress;
};

} // namespace

// After each command, the dance and the event shown before it are shown
// again, whole; a pending edit was posted first.
TEST_F(OrgFormWalkTest, WalksShowTheRecordWhole) {
    addEvent("Bath", 1, QString(), {{"Venue", "Guildhall"}});
    const qint64 e = addEvent("Wells", 3, QString(), {{"Venue", "Cathedral"}});
    addEvent("Frome", 5, QString(), {{"Venue", "Market"}});
    const auto exportJob = [this](Dataset *ds) {
        ExportJob job;
        job.dataset = ds;
        job.file = path("out.csv");
        return job;
    };
    const auto importJob = [](const QByteArray &bytes) {
        ImportJob job;
        job.dataset = &DancesData;
        job.keyField = "Title";
        job.isDances = true;
        job.caption = "Import Dances";
        job.bytes = bytes;
        job.hasNames = true;
        for (int i = 0; i < 3; ++i)
            job.map.click(DancesData.FieldByName(QStringList{"Title", "Format", "Style"}[i]).Index(), i);
        return job;
    };
    const struct {
        const char *name;
        std::function<void()> run;
    } commands[] = {
        {"Export Dances", [&] { RunExport(exportJob(&DancesData)); }},
        {"Export Events", [&] { RunExport(exportJob(&EventsData)); }},
        {"Export Dances, three from the current", [&] {
             ExportJob job = exportJob(&DancesData);
             job.recordCount = 3;
             RunExport(job);
         }},
        {"Import Dances", [&] { RunImport(importJob("Title,Format,Style\r\nZebra,Longways,English\r\n")); }},
        {"Import Dances, refused", [&] { RunImport(importJob("Title,Format,Style\r\n\"x\r\n")); }},
    };
    open(e);
    form->PC->setCurrentWidget(form->DancePage);
    for (const auto &c : commands) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(DancesData.Seek({"Longways", "English", "Apple Cart"}, SeekMode::FirstEq));
        form->ShowDance();
        // A pending edit of the shown dance.
        form->Author->setText("Typed author");
        emit form->Author->textEdited(form->Author->text());
        c.run();
        EXPECT_EQ(DancesData.FieldByName("Title").AsString(), "Apple Cart");
        EXPECT_EQ(EventsData.FieldByName("Org").AsString(), "Wells");
        EXPECT_EQ(mismatches(), "");
        EXPECT_EQ(scalar("SELECT Author FROM Dances WHERE Title='Apple Cart'").toString(), "Typed author");
        EXPECT_EQ(DancesData.DisableCount(), 0);
        EXPECT_EQ(EventsData.DisableCount(), 0);
        EXPECT_TRUE(bool(EventsData.AfterScroll));
    }
}
