#include "core/services/ShellRoutines.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "platform/media/WavePlayer.h"
#include "platform/shell/DocumentOpener.h"
#include "platform/shell/FilePicker.h"
#include "platform/shell/ProcessRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QUrl>
#include <stdexcept>

static void initSounds() { Q_INIT_RESOURCE(sounds); }

namespace {

MessagePanelView *g_panel = nullptr;

QString slashes(const QString &path) {
    QString p = path;
    p.replace('\\', '/');
    return p;
}

// The existing file a stored path names, found whatever the case of its last
// part; empty when there is none.
QString existingFile(const QString &stored) {
    const QString path = slashes(stored);
    const QFileInfo info(path);
    if (info.isFile()) return info.absoluteFilePath();
    const QString folder = info.absolutePath() + '/';
    const QFileInfo found(FindFileNoCase(folder, info.fileName()));
    return found.isFile() ? found.absoluteFilePath() : QString();
}

// Every pattern of a ";"-separated list in the spellings a Linux file may
// have: as given, lower case and upper case. "*.*" means every file.
QString patternsFor(const QString &patterns) {
    QStringList out;
    for (const QString &raw : patterns.split(';', Qt::SkipEmptyParts)) {
        const QString p = raw.trimmed();
        if (p.isEmpty()) continue;
        if (p == QLatin1String("*.*") || p == QLatin1String("*")) {
            if (!out.contains(QStringLiteral("*"))) out.append(QStringLiteral("*"));
            continue;
        }
        for (const QString &v : {p, p.toLower(), FoldUpper(p)})
            if (!out.contains(v)) out.append(v);
    }
    return out.isEmpty() ? QStringLiteral("*") : out.join(' ');
}

} // namespace

void SetMessagePanel(MessagePanelView *panel) { g_panel = panel; }
MessagePanelView *CurrentMessagePanel() { return g_panel; }
void HideMessagePanel() {
    if (g_panel) g_panel->hidePanel();
}

bool OpenDocument(const QString &target, int showMode) {
    Q_UNUSED(showMode); // the desktop chooses how the program's window shows
    const bool link = target.startsWith(QLatin1String("http")) || target.startsWith(QLatin1String("mailto:"));
    QUrl url;
    if (link) {
        url = QUrl(target, QUrl::TolerantMode);
    } else {
        const QString file = existingFile(target);
        if (file.isEmpty()) AbortMsg(QStringLiteral("File not found:\r") + target);
        url = QUrl::fromLocalFile(file);
    }
    DocumentOpener &opener = CurrentDocumentOpener();
    if (g_panel) g_panel->showPanel(QStringLiteral("\r\n Trying to run...\r\n ") + target);
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    if ((!link && !opener.hasProgram(url.toLocalFile())) || !opener.open(url)) {
        ShowMsg(QStringLiteral("Error - could not open ") + target);
        return false;
    }
    return true;
}

void RunCommand(const QString &program, const QStringList &arguments, const std::function<void()> &afterRun) {
    ProcessOutcome outcome;
    if (!program.isEmpty()) outcome = CurrentProcessRunner().run(program, arguments);
    if (!outcome.started) {
        // The command as the user would type it: arguments with blanks quoted.
        QString shown = program;
        for (const QString &a : arguments)
            shown += QLatin1Char(' ') + (a.contains(QLatin1Char(' ')) || a.isEmpty() ? QLatin1Char('"') + a + QLatin1Char('"') : a);
        throw std::runtime_error((QStringLiteral("Unable to run \r") + shown).toStdString());
    }
    if (outcome.exitCode != 0) ShowMsg(QStringLiteral("Error calling external routine"));
    if (afterRun) afterRun();
}

void RunCommand(const QString &commandLine, const std::function<void()> &afterRun) {
    const QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty()) throw std::runtime_error((QStringLiteral("Unable to run \r") + commandLine).toStdString());
    RunCommand(parts.constFirst(), parts.mid(1), afterRun);
}

void OpenWithEditor(const QString &fileName) {
    const QString editor = slashes(SettingText(QStringLiteral("User"), QStringLiteral("Editor")).trimmed());
    if (!editor.isEmpty()) {
        if (CurrentProcessRunner().startDetached(editor, {slashes(fileName)})) return;
        WriteLog(QStringLiteral("Editor ") + editor + QStringLiteral(" could not be started; ") + fileName +
                 QStringLiteral(" opened with its own program"));
    }
    OpenDocument(fileName, ShowMaximised);
}

void ShowInEditor(const QString &text) {
    const QString path = FindFileNoCase(QDir::currentPath() + '/', QStringLiteral("Prog.Txt"));
    WriteTextFile(path, text);
    OpenWithEditor(path);
}

QString DialogNameFilter(const QString &filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (description.isEmpty() && patterns.trimmed().isEmpty()) continue;
        out.append((description.isEmpty() ? patterns.trimmed() : description) + QStringLiteral(" (") +
                   patternsFor(patterns) + ')');
    }
    return out.join(QStringLiteral(";;"));
}

bool PickFile(QWidget *owner, const QString &filter, const QString &initialFolder, bool open, QString &fileName,
              const QString &title, const QString &defaultSuffix) {
    FilePickRequest request;
    request.owner = owner;
    request.title = title;
    request.folder = slashes(initialFolder);
    request.fileName = slashes(fileName);
    request.nameFilter = DialogNameFilter(filter);
    request.defaultSuffix = defaultSuffix.isEmpty() ? QFileInfo(request.fileName).suffix() : defaultSuffix;
    request.open = open;
    QString chosen;
    if (!CurrentFilePicker().pick(request, chosen) || chosen.isEmpty()) return false;
    fileName = chosen;
    return true;
}

void PlayWaveResource(const QString &name) {
    static bool resources = (initSounds(), true);
    static QSet<QString> written;
    Q_UNUSED(resources);
    QString resource;
    for (const QString &entry : QDir(QStringLiteral(":/sounds")).entryList(QDir::Files))
        if (SameText(QFileInfo(entry).completeBaseName(), name)) resource = entry;
    if (resource.isEmpty()) {
        WriteLog(QStringLiteral("No sound ") + name);
        return;
    }
    const QString temp = TempFolder.isEmpty() ? QDir::tempPath() + '/' : TempFolder;
    const QString file = temp + QStringLiteral("Quillary-") + resource;
    if (!written.contains(file) || !QFile::exists(file)) {
        QFile in(QStringLiteral(":/sounds/") + resource);
        try {
            if (!in.open(QIODevice::ReadOnly)) throw std::runtime_error("resource unreadable");
            WriteBytesFile(file, in.readAll());
            written.insert(file);
        } catch (const std::exception &e) {
            WriteLog(QStringLiteral("Sound ") + name + QStringLiteral(" not written: ") + QString::fromUtf8(e.what()));
            // Another user's copy of the same sound still plays.
            if (!QFile::exists(file)) return;
        }
    }
    CurrentWaveSink().play(file);
}
