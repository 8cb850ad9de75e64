#include "base/Cp1252.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/media/WavePlayer.h"
#include "platform/shell/DocumentOpener.h"
#include "platform/shell/FilePicker.h"
#include "platform/shell/ProcessRunner.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class FakeOpener : public DocumentOpener {
public:
    bool open(const QUrl &target) override {
        opened.append(target);
        return result;
    }
    QList<QUrl> opened;
    bool result = true;
};

class FakePanel : public MessagePanelView {
public:
    void showPanel(const QString &text) override { shown.append(text); }
    void hidePanel() override { ++hides; }
    QStringList shown;
    int hides = 0;
};

// Answers starts from a table of program names; records every call.
class FakeRunner : public ProcessRunner {
public:
    ProcessOutcome run(const QString &program, const QStringList &arguments) override {
        calls.append(QStringList{program} + arguments);
        return outcomes.value(program);
    }
    bool startDetached(const QString &program, const QStringList &arguments) override {
        detached.append(QStringList{program} + arguments);
        return detachResult;
    }
    QMap<QString, ProcessOutcome> outcomes; // missing: not started
    QList<QStringList> calls, detached;
    bool detachResult = true;
};

class FakePicker : public FilePicker {
public:
    bool pick(const FilePickRequest &request, QString &chosen) override {
        requests.append(request);
        if (answer.isEmpty()) return false;
        chosen = answer;
        return true;
    }
    QList<FilePickRequest> requests;
    QString answer; // empty: Cancel
};

class ShellTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        QDir::setCurrent(folder());
        SetDocumentOpener(&opener);
        SetProcessRunner(&runner);
        SetFilePicker(&picker);
        SetMessagePanel(&panel);
    }
    void TearDown() override {
        SetDocumentOpener(nullptr);
        SetProcessRunner(nullptr);
        SetFilePicker(nullptr);
        SetMessagePanel(nullptr);
        QuillaryTest::TearDown();
    }
    FakeOpener opener;
    FakeRunner runner;
    FakePicker picker;
    FakePanel panel;
};

} // namespace

TEST_F(ShellTest, LinksSkipTheFileCheck) {
    const QStringList links = {QStringLiteral("http://example.org/maps?q=AB1+2CD"),
                               QStringLiteral("https://example.org/"),
                               QStringLiteral("mailto:someone@example.org?Subject=Ceilidh")};
    for (const QString &link : links) OpenDocument(link, ShowNormal);
    ASSERT_EQ(opener.opened.size(), 3);
    EXPECT_EQ(opener.opened[0].scheme(), QStringLiteral("http"));
    EXPECT_EQ(opener.opened[0].query(), QStringLiteral("q=AB1+2CD"));
    EXPECT_EQ(opener.opened[2].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(panel.shown.value(2), QStringLiteral("\r\n Trying to run...\r\n ") + links[2]);
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(ShellTest, MissingFileAbandonsWithoutOpening) {
    for (const QString &target : {QStringLiteral("C:\\none.htm"), QStringLiteral("none.htm"), QStringLiteral("Http.txt")}) {
        answerer->clear();
        EXPECT_THROW(OpenDocument(target, ShowMaximised), SilentAbort) << target.toStdString();
        EXPECT_EQ(answerer->texts(), QStringList{QStringLiteral("File not found:\n") + target});
    }
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(panel.shown.isEmpty());
}

TEST_F(ShellTest, ExistingFileOpensByItsPathWhateverTheCaseAndSlashes) {
    WriteFileBytes(path(QStringLiteral("Lists/Prog.htm")), "<html></html>");
    OpenDocument(folder() + QStringLiteral("Lists\\PROG.HTM"), ShowNormal);
    OpenDocument(QStringLiteral("Lists/prog.htm"), ShowNormal);
    ASSERT_EQ(opener.opened.size(), 2);
    for (const QUrl &url : opener.opened) {
        EXPECT_TRUE(url.isLocalFile());
        EXPECT_EQ(QFileInfo(url.toLocalFile()).canonicalFilePath(),
                  QFileInfo(path(QStringLiteral("Lists/Prog.htm"))).canonicalFilePath());
    }
}

TEST_F(ShellTest, RunCommandStartsTheProgramAloneNeverTheShell) {
    struct Case {
        const char *name;
        QString line;
        QStringList startable; // programs that start
        int exitCode;
        QStringList call;      // program and arguments, as the runner got them
        const char *error;     // "" for none
        bool message;
    };
    const QStringList backup = {QStringLiteral("backup"), QStringLiteral("My Data"), QStringLiteral("-q")};
    const QList<Case> cases = {
        {"program", "backup \"My Data\" -q", {"backup"}, 0, backup, "", false},
        {"program fails", "backup \"My Data\" -q", {"backup"}, 2, backup, "", true},
        {"cannot start: no shell tried", "backup \"My Data\" -q", {"/bin/sh"}, 0, backup,
         "Unable to run \rbackup \"My Data\" -q", false},
        {"shell syntax is plain text", "cp $(touch m) `touch m`;rm \"$$x\"", {"cp"}, 0,
         {"cp", "$(touch", "m)", "`touch", "m`;rm", "$$x"}, "", false},
        {"empty line", "", {"/bin/sh"}, 0, {}, "Unable to run \r", false},
    };
    for (const Case &c : cases) {
        runner.calls.clear();
        runner.outcomes.clear();
        answerer->clear();
        for (const QString &p : c.startable) runner.outcomes[p] = ProcessOutcome{true, c.exitCode};
        int after = 0;
        try {
            RunCommand(c.line, [&] { ++after; });
            EXPECT_FALSE(*c.error) << c.name << ": no error raised";
        } catch (const std::runtime_error &e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), QString::fromUtf8(c.error)) << c.name;
        }
        EXPECT_EQ(after, *c.error ? 0 : 1) << c.name;
        EXPECT_EQ(runner.calls, c.call.isEmpty() ? QList<QStringList>{} : QList<QStringList>{c.call}) << c.name;
        EXPECT_EQ(answerer->sawText(QStringLiteral("Error calling external routine")), c.message) << c.name;
    }
    // A program path and a file name with blanks and shell marks go whole.
    runner.calls.clear();
    const QString program = QStringLiteral("/opt/My Editor/edit"), file = QStringLiteral("/data;$(x)/$$This.RTF");
    try {
        RunCommand(program, {file}, {});
        ADD_FAILURE() << "no error raised";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Unable to run \r") + program + ' ' + file);
    }
    EXPECT_EQ(runner.calls, QList<QStringList>{QStringList({program, file})});
}

TEST_F(ShellTest, EditorOpensFileElseFallsBackToItsProgram) {
    WriteFileBytes(path(QStringLiteral("SQL.Txt")), "select 1");
    OpenWithEditor(path(QStringLiteral("SQL.Txt")));
    EXPECT_TRUE(runner.detached.isEmpty()) << "no editor configured";
    ASSERT_EQ(opener.opened.size(), 1);

    IniFile = std::make_unique<TIniFile>(path(QStringLiteral("Quillary.ini")));
    IniFile->WriteString(QStringLiteral("User"), QStringLiteral("Editor"), QStringLiteral("/usr/bin/myeditor"));
    OpenWithEditor(path(QStringLiteral("SQL.Txt")));
    ASSERT_EQ(runner.detached.size(), 1);
    EXPECT_EQ(runner.detached[0], (QStringList{QStringLiteral("/usr/bin/myeditor"), path(QStringLiteral("SQL.Txt"))}));
    EXPECT_EQ(opener.opened.size(), 1);

    runner.detachResult = false;
    IniFile->WriteString(QStringLiteral("User"), QStringLiteral("Editor"), QStringLiteral("C:\\Windows\\Notepad.exe"));
    OpenWithEditor(path(QStringLiteral("SQL.Txt")));
    EXPECT_EQ(runner.detached.value(1).value(0), QStringLiteral("C:/Windows/Notepad.exe"));
    EXPECT_EQ(opener.opened.size(), 2) << "an editor that cannot start gives way to the file's own program";
}

TEST_F(ShellTest, ShowInEditorWritesProgTxtInCurrentFolder) {
    ShowInEditor(QStringLiteral("Café\r\nReel"));
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("Prog.Txt"))), QByteArray("Caf\xE9\r\nReel"));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(QFileInfo(opener.opened[0].toLocalFile()).fileName(), QStringLiteral("Prog.Txt"));
}

TEST(DialogNameFilter, Conversions) {
    const QList<QPair<QString, QString>> cases = {
        {QStringLiteral("RTF files|*.RTF"), QStringLiteral("RTF files (*.RTF *.rtf)")},
        {QStringLiteral("Text files|*.Txt"), QStringLiteral("Text files (*.Txt *.txt *.TXT)")},
        {QStringLiteral("Web pages|*.htm;*.html|All files|*.*"),
         QStringLiteral("Web pages (*.htm *.HTM *.html *.HTML);;All files (*)")},
        {QStringLiteral("Tunes|*.mp3|"), QStringLiteral("Tunes (*.mp3 *.MP3)")},
        {QStringLiteral("Settings"), QStringLiteral("Settings (*)")},
        {QString(), QString()},
    };
    for (const auto &c : cases) EXPECT_EQ(DialogNameFilter(c.first), c.second) << c.first.toStdString();
}

TEST_F(ShellTest, PickFileOkReplacesNameCancelKeepsIt) {
    QString name = QStringLiteral("Template.RTF");
    EXPECT_FALSE(PickFile(nullptr, QStringLiteral("RTF files|*.RTF"), QStringLiteral("C:\\Quillary\\"), true, name,
                          QStringLiteral("Template")));
    EXPECT_EQ(name, QStringLiteral("Template.RTF"));
    ASSERT_EQ(picker.requests.size(), 1);
    const FilePickRequest &r = picker.requests[0];
    EXPECT_EQ(r.folder, QStringLiteral("C:/Quillary/"));
    EXPECT_EQ(r.defaultSuffix, QStringLiteral("RTF"));
    EXPECT_EQ(r.nameFilter, QStringLiteral("RTF files (*.RTF *.rtf)"));
    EXPECT_TRUE(r.open);

    picker.answer = QStringLiteral("/home/caller/New.rtf");
    EXPECT_TRUE(PickFile(nullptr, QStringLiteral("RTF files|*.RTF"), folder(), false, name, QStringLiteral("Save")));
    EXPECT_EQ(name, QStringLiteral("/home/caller/New.rtf"));
    EXPECT_FALSE(picker.requests[1].open);
}

namespace {
class RecordingSink : public WaveSink {
public:
    void play(const QString &path) override { played.append(path); }
    QStringList played;
};
} // namespace

TEST_F(ShellTest, WaveResourcesByNameInAnyCase) {
    TempFolder = path(QStringLiteral("temp/"));
    QDir().mkpath(TempFolder);
    RecordingSink sink;
    SetWaveSink(&sink);
    for (const QString &name : {QStringLiteral("Click"), QStringLiteral("ON"), QStringLiteral("off"),
                                QStringLiteral("ClickQuiet"), QStringLiteral("Beep")})
        PlayWaveResource(name);
    SetWaveSink(nullptr);
    ASSERT_EQ(sink.played.size(), 4) << "an unknown name plays nothing";
    const QStringList expected = {QStringLiteral("Click.wav"), QStringLiteral("On.wav"), QStringLiteral("Off.wav"),
                                  QStringLiteral("ClickQuiet.wav")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sink.played[i], TempFolder + QStringLiteral("Quillary-") + expected[i]);
        EXPECT_TRUE(ReadFileBytes(sink.played[i]).startsWith("RIFF")) << "a WAV file on disk";
    }
}
