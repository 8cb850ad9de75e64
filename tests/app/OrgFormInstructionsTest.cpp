#include "DancePageFixture.h"

#include "platform/rtf/RichEdit.h"
#include "platform/shell/ProcessRunner.h"
#include "platform/rtf/RtfReader.h"
#include "presentation/CardSettings.h"
#include "presentation/cards/InstructionTemplate.h"

#include <QLineEdit>

namespace {

class InstructionsTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        savedPath = qgetenv("PATH");
        RTFFile = path("$$This.RTF");
    }
    void TearDown() override {
        qputenv("PATH", savedPath);
        ResetCardSettings();
        DancePageTest::TearDown();
    }
    void openWith(const QString &system, const QString &more = {}) {
        writeIni("DOrder=FST\r\n" + system, more);
        addDance("Jack", "Longways duple", "English",
                 {{"Instructions", InstructionRtfOf("Jack\r\nA1 Lead up and back, set and turn single, twice through.")},
                  {"Printed", "Y"}, {"Footer", "old footer"}});
        open();
        CardsDFont = "Arial";
        CheckHalfLines(12);
        form->PC->setCurrentWidget(form->DancePage);
        form->LocateDance("Jack", "Longways duple", "English");
    }
    static QString InstructionRtfOf(const QString &text) {
        QString body = text;
        body.replace("\r\n", "\r\n\\par ");
        return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
               "\\viewkind4\\uc1\\pard\\f0\\fs24 " +
               body + "\r\n\\par }\r\n";
    }
    QString danceField(const QString &name) { return scalar("SELECT " + name + " FROM Dances WHERE Title='Jack'").toString(); }
    // An editor script: copies replacement over its file when it is given.
    void editorScript(const QString &replacement) {
        if (!replacement.isEmpty()) WriteFileBytes(path("new.rtf"), replacement.toUtf8());
        const QString script = "#!/bin/sh\n" + (replacement.isEmpty() ? QString() : "cp '" + path("new.rtf") + "' \"$1\"\n");
        WriteFileBytes(path("editor.sh"), script.toUtf8());
        QFile::setPermissions(path("editor.sh"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QByteArray savedPath;
};

// Runs the real program, then lets the test act as the user meanwhile.
class MeanwhileRunner : public ProcessRunner {
public:
    std::function<void()> meanwhile;
    ProcessOutcome run(const QString &program, const QStringList &arguments) override {
        ProcessOutcome out = QtProcessRunner().run(program, arguments);
        if (meanwhile) meanwhile();
        return out;
    }
    bool startDetached(const QString &, const QStringList &) override { return false; }
};

TEST_F(InstructionsTest, FontCheckAnswers) {
    const QString templ = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Times;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs28 (*Title*)\\fs22 x\r\n\\par }\r\n";
    struct Row {
        int answer;
        QString font, templateFont;
        int templateHalfPoints;
    };
    const QList<Row> rows = {{ResultYes, "Times", "Times", 22}, {ResultNo, "Arial", "Arial", 24}, {ResultCancel, "Arial", "Times", 22}};
    openWith("UsePrimary=1\r\n");
    for (const Row &r : rows) {
        SCOPED_TRACE(r.answer);
        CardsDFont = "Arial";
        CheckHalfLines(12);
        WriteFileBytes(path("Template.RTF"), templ.toUtf8());
        answerer->clear();
        answerer->script(r.answer);
        form->CheckTemplateFont();
        ASSERT_EQ(answerer->boxes.size(), 1);
        EXPECT_EQ(answerer->boxes[0].helpContext, 55072);
        EXPECT_EQ(CardsDFont, r.font);
        const TemplateFont f = ReadTemplateFont(QString::fromUtf8(ReadFileBytes(path("Template.RTF"))));
        EXPECT_EQ(f.name, r.templateFont);
        EXPECT_EQ(f.halfPoints, r.templateHalfPoints);
    }
    EXPECT_EQ(IniFile->ReadString("Cards", "DFont", ""), "Times");
}

TEST_F(InstructionsTest, ExternalEditing) {
    struct Row {
        const char *name;
        QString replacement; // "" leaves the file alone
        bool otherDance;
        bool stored;
        QString message;
    };
    const QString edited = InstructionRtfOf("Jack\r\nA1 \\'b6 new figure");
    const QList<Row> rows = {
        {"unchanged", "", false, false, ""},
        {"changed", edited, false, true, "Warning: Instructions contain ¶"},
        {"another dance meanwhile", edited, true, false, "You changed dances before finishing editing the instructions!"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        openWith("IntEditor=0\r\nShowTitles=0\r\n", "[User]\r\nEditor=" + path("editor.sh") + "\r\n");
        editorScript(r.replacement);
        answerer->clear();
        MeanwhileRunner runner;
        if (r.otherDance) runner.meanwhile = [&] { form->Title->setText("Other"); };
        SetProcessRunner(&runner);
        if (!r.message.isEmpty()) answerer->script(ResultOK);
        form->EditInstructions();
        SetProcessRunner(nullptr);
        EXPECT_EQ(answerer->texts().join("|"), r.message);
        EXPECT_EQ(danceField("Footer").isEmpty(), r.stored);
        EXPECT_EQ(danceField("Printed").isEmpty(), r.stored);
        EXPECT_EQ(rtfPlainText(danceField("Instructions")).contains("new figure"), r.stored);
        form.reset();
        resetAll();
        QFile::remove(path("Quillary.mdb"));
        Database().create(path("Quillary.mdb"));
    }
}

TEST_F(InstructionsTest, NoEditorOpensHelp) {
    openWith("IntEditor=0\r\n", "[User]\r\nEditor=" + path("missing") + "\r\n");
    qputenv("PATH", folder().toUtf8());
    form->EditInstructions();
    EXPECT_EQ(helps, QList<int>({58201}));
}

TEST_F(InstructionsTest, ShortInstructionsComeFromTheTemplate) {
    // The shipped template, and an old one whose author placeholder gets the footer put before it.
    const QString shipped = QString::fromLatin1(ReadFileBytes(QStringLiteral(QUILLARY_SOURCE_DIR "/resources/Template.RTF")));
    const QString old = QString(shipped).replace("(*Footer*)", "(*\\b Author\\b0*) (*Collection*)");
    for (const QString &templ : {shipped, old}) {
        openWith("UsePrimary=0\r\nIntEditor=0\r\n", "[User]\r\nEditor=" + path("editor.sh") + "\r\n");
        editorScript("");
        WriteFileBytes(path("Template.RTF"), templ.toLatin1());
        DancesData.Edit();
        DancesData.FieldByName("Instructions").SetAsString("");
        DancesData.Post();
        form->ShowDance();
        form->Author->setText("Playford");
        DancesData.Edit();
        DancesData.FieldByName("Author").SetAsString("Playford");
        DancesData.FieldByName("Rhythm").SetAsString("Jig");
        form->Rhythm->setText("Jig");
        form->GenerateInstructions();
        const QString instructions = rtfPlainText(danceField("Instructions"));
        EXPECT_TRUE(instructions.startsWith("Jack\r\nLongways duple, ¶ bar jigs")) << instructions.toStdString();
        EXPECT_TRUE(instructions.contains("¶")) << "places to fill in";
        const QString footer = rtfPlainText("{\\rtf1 " + danceField("Footer"));
        EXPECT_TRUE(footer.contains("Playford")) << footer.toStdString();
        EXPECT_EQ(footer.count("Playford"), 1) << "the author once, from the footer rule";
        EXPECT_TRUE(ReadFileBytes(path("Template.RTF")).contains("(*Footer*)")) << "the standard template is brought up to date";
        form.reset();
        resetAll();
        QFile::remove(path("Quillary.mdb"));
        Database().create(path("Quillary.mdb"));
    }
}

} // namespace
