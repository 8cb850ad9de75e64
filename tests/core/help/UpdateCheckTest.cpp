// The version the download page offers, and what "Check for updates" does
// with it against a local server.

#include "TestSupport.h"
#include "platform/net/HttpStub.h"

#include "core/help/UpdateCheck.h"
#include "core/startup/StartupRules.h"
#include "platform/net/Fetch.h"
#include "platform/shell/DocumentOpener.h"

namespace {

TEST(OfferedVersion, ReadsTheRunAfterTheFirstMarker) {
    const struct {
        const char *page, *version;
    } table[] = {
        {"<p>Latest version is 4.12 (released 3 May)</p>", "4.12"},
        {"Latest version is <b>6.104</b>", ""},
        {"Latest version is 6.104</b>", "6.104"},
        {"Latest version is\n\t 6.104.", "6.104"},
        {"<html>Please log in</html>", ""},
        {"Latest version is unknown", ""},
        {"Latest version is 7.2 ... Latest version is 8.0", "7.2"},
        {"", ""},
    };
    for (const auto &row : table)
        EXPECT_EQ(OfferedVersion(QString::fromLatin1(row.page)), QString::fromLatin1(row.version)) << row.page;
}

class RecordingOpener : public DocumentOpener {
public:
    bool open(const QUrl &target) override {
        opened << target.toString();
        return true;
    }
    QStringList opened;
};

class CheckForUpdatesTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        SetDocumentOpener(&opener);
        SetConnectionProbe([] { return true; });
        qputenv("QUILLARY_SITE", stub.base().toUtf8() + "/");
    }
    void TearDown() override {
        qunsetenv("QUILLARY_SITE");
        SetConnectionProbe({});
        SetDocumentOpener(nullptr);
        QuillaryTest::TearDown();
    }
    HttpStub stub;
    RecordingOpener opener;
};

TEST_F(CheckForUpdatesTest, OpensTheDownloadPageOnlyForANewerVersion) {
    const QString page = stub.base() + QStringLiteral("/download.htm");
    const struct {
        QByteArray body;
        QString message;
        bool opens;
    } table[] = {
        {"Latest version is 9.1", "Quillary version 9.1 is available.\nIts download page will now open in your browser.",
         true},
        {"Latest version is 6.103", "You are using the latest version, 6.103", false},
        {"Latest version is 6.99", "You are using the latest version, 6.103", false},
        {"Latest version is 6.2", "You are using the latest version, 6.103", false},
        {"Sign in to continue", "Cannot read the latest version from " + page + ".", false},
    };
    ASSERT_EQ(ProgramVersion, QStringLiteral("6.103"));
    for (const auto &row : table) {
        answerer->clear();
        opener.opened.clear();
        stub.replies["/download.htm"] = HttpStub::reply(200, row.body);
        try {
            CheckForUpdates();
        } catch (const SilentAbort &) {
        }
        EXPECT_EQ(answerer->texts().join("|").trimmed(), row.message) << row.body.constData();
        EXPECT_EQ(opener.opened, row.opens ? QStringList{page} : QStringList{}) << row.body.constData();
    }
}

TEST_F(CheckForUpdatesTest, AStoppedServerGivesTheFailure) {
    stub.stop();
    EXPECT_THROW(CheckForUpdates(), SilentAbort);
    EXPECT_EQ(answerer->texts().join("|").trimmed(), NoInternetText);
    EXPECT_TRUE(opener.opened.isEmpty());
}

} // namespace
