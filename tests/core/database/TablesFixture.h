#pragma once
// The run's database on a temporary data folder: a settings file, the
// catalogue file, the shell replaced by scripted fakes, and the tables and
// handlers reset around every test.

#include "core/services/MainWindowLink.h"
#include "platform/shell/DocumentOpener.h"
#include "platform/shell/ProcessRunner.h"
#include "TestSupport.h"

#include <QStringList>
#include <functional>

struct FakeRunner : ProcessRunner {
    // Each run is logged; the action decides: false = cannot start.
    std::function<bool(const QString &, const QStringList &, int *)> action =
        [](const QString &, const QStringList &, int *code) {
            *code = 0;
            return true;
        };
    QStringList runs;
    QStringList detached;
    ProcessOutcome run(const QString &program, const QStringList &arguments) override {
        runs.append((QStringList{program} + arguments).join(' '));
        ProcessOutcome out;
        out.started = action(program, arguments, &out.exitCode);
        return out;
    }
    bool startDetached(const QString &program, const QStringList &) override {
        detached.append(program);
        return true;
    }
};

struct FakeOpener : DocumentOpener {
    QStringList opened; // local files as paths
    bool open(const QUrl &target) override {
        opened.append(target.isLocalFile() ? target.toLocalFile() : target.toString());
        return true;
    }
};

struct RecordingWindow : MainWindowLink {
    QStringList calls;
    FocusControl focus;
    void ShowDance() override { calls.append("ShowDance"); }
    void ShowEvent() override { calls.append("ShowEvent"); }
    void SetBusy(bool busy) override { calls.append(busy ? "Busy" : "NotBusy"); }
    void SetDOrderBox(int entry) override { calls.append(QStringLiteral("DOrderBox %1").arg(entry)); }
    void FormView() override { calls.append("FormView"); }
    void CloseMainWindow() override { calls.append("Close"); }
};

class TablesTest : public QuillaryTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A settings file in the data folder with these lines (plus [System]).
    void writeIni(const QString &systemLines = QString());
    // The sample catalogue as "Quillary.mdb" in the data folder.
    void useSample();
    // An empty catalogue with the given dances (title, format, style, author).
    void useDances(const QList<QStringList> &dances);
    QString dbFile() const { return path("Quillary.mdb"); }
    QString logText() const;
    // A plain query on the run's connection.
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    FakeRunner runner;
    FakeOpener opener;
    RecordingWindow window;
};
