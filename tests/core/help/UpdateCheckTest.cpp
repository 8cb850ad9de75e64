// The version the download page offers, and "Check for updates" against a local server.

#include "TestSupport.h"
#include "platform/net/HttpStub.h"

#include "core/help/UpdateCheck.h"
#include "platform/net/Fetch.h"

namespace {

TEST(OfferedVersion, ReadsTheRunAfterTheFirstMarker) {
    const char *const table[][2] = {
        {"<p>Latest version is 4.12 (released 3 May)</p>", "4.12"}, {"Latest version is <b>6.104</b>", ""},
        {"Latest version is 6.104</b>", "6.104"}, {"Latest version is\n\t 6.104.", "6.104"},
        {"<html>Please log in</html>", ""}, {"Latest version is unknown", ""},
        {"Latest version is 7.2 ... Latest version is 8.0", "7.2"}};
    for (const auto &row : table) EXPECT_EQ(OfferedVersion(row[0]), QString(row[1])) << row[0];
    const QString longest = "9." + QString(MaxVersionLength - 2, '1');
    EXPECT_EQ(OfferedVersion("Latest version is " + longest + " "), longest);
    EXPECT_EQ(OfferedVersion("Latest version is " + longest + "1"), QString()) << "over the length: unreadable";
}

TEST(CheckForUpdates, OpensTheDownloadPageOnlyForANewerVersion) {
    TestAnswerer answerer;
    RecordingOpener opener;
    HttpStub stub;
    SetConnectionProbe([] { return true; });
    qputenv("QUILLARY_SITE", stub.base().toUtf8() + "/");
    const QString page = stub.base() + "/download.htm";
    const QString latest = "You are using the latest version, 6.103";
    const QPair<QByteArray, QString> table[] = {
        {"Latest version is 9.1", "Quillary version 9.1 is available.\nIts download page will now open in your browser."},
        {"Latest version is 6.103", latest}, {"Latest version is 6.99", latest}, {"Latest version is 6.2", latest},
        {"Sign in to continue", "Cannot read the latest version from " + page + "."},
        {"", NoInternetText}}; // the server stopped
    for (const auto &[body, message] : table) {
        answerer.clear();
        opener.opened.clear();
        stub.replies["/download.htm"] = HttpStub::reply(200, body);
        if (body.isEmpty()) stub.stop();
        try {
            CheckForUpdates();
        } catch (const SilentAbort &) {
        }
        EXPECT_EQ(answerer.texts().join('|').trimmed(), message) << body.constData();
        EXPECT_EQ(opener.opened, message.contains("available") ? QStringList{page} : QStringList{});
    }
    qunsetenv("QUILLARY_SITE");
    SetConnectionProbe({});
}

} // namespace
