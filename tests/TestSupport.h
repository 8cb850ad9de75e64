#pragma once
// Shared test fixture: a temporary data folder, a pinned clock, the answerer
// installed, and the program-wide state reset around every test.

#include "base/TestAnswerer.h"
#include "platform/shell/DocumentOpener.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Failed comparisons show texts as text. Declared here, seen by every test
// file, so that all of them print a QString the same way.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

class QuillaryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary data folder, ending with "/".
    QString folder() const;
    QString path(const QString &name) const { return folder() + name; }
    // Pins "now"; the default is 6 December 2026 14:05:09.
    void setNow(const QDateTime &now);

    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<TestAnswerer> answerer;
};

// Writes bytes to a file, creating folders as needed.
void WriteFileBytes(const QString &path, const QByteArray &bytes);
QByteArray ReadFileBytes(const QString &path);

// Keeps what would have been opened in the browser, viewer or mail program.
class RecordingOpener : public DocumentOpener {
public:
    RecordingOpener() { SetDocumentOpener(this); }
    ~RecordingOpener() override { SetDocumentOpener(nullptr); }
    bool open(const QUrl &target) override { return opened << target.toString(QUrl::FullyEncoded), true; }
    QStringList opened;
};

// Runs a program and gives its standard output (pdfinfo, pdftotext and the like).
QString ProgramOutput(const QString &program, const QStringList &args);

// The document headless chromium makes of a page file (its profile in
// profileFolder); *log gets chromium's log, where script errors show.
QString BrowserDom(const QString &file, const QString &profileFolder, QString *log = nullptr);

// Handles the application's events for a while.
void PumpEvents(int ms);
