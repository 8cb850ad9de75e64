// FetchURL against a local server: what is saved, what fails and how.

#include "TestSupport.h"
#include "platform/net/HttpStub.h"

#include "platform/net/Fetch.h"

#include <QFile>

namespace {

struct FetchCase {
    const char *name;
    QByteArray raw;      // the reply to "/page"
    QByteArray expected; // the text of a successful fetch, empty for a failure
    int trickleMs = 0;   // the body a byte at a time
};

const FetchCase FetchCases[] = {
    {"ok", HttpStub::reply(200, "Latest version is 9.1"), "Latest version is 9.1"},
    {"serverError", HttpStub::reply(500, "Oops"), {}},
    {"redirect", HttpStub::reply(302, "", "Location: /other\r\n"), "moved here"},
    {"cutOff", "HTTP/1.1 200 OK\r\nContent-Length: 500\r\nConnection: close\r\n\r\nonly part", {}},
    {"neverAnswers", "", {}},
    {"overCap", HttpStub::reply(200, QByteArray(70000, 'x')), {}},
    {"disconnected", HttpStub::reply(200, "never asked"), {}},
    // Each byte comes well inside the no-data time, the whole body (2 s) long after the deadline.
    {"trickles", HttpStub::reply(200, QByteArray(40, 'x')), {}, 50},
};

class FetchTest : public QuillaryTest, public ::testing::WithParamInterface<FetchCase> {};

TEST_P(FetchTest, SavesOnlyWhatArrivedWhole) {
    const FetchCase &c = GetParam();
    QtFetcher fetcher;
    fetcher.timeoutMs = 300;
    fetcher.deadlineMs = 1000;
    fetcher.capBytes = 65536;
    SetFetcher(&fetcher);
    const bool connected = c.name != std::string("disconnected");
    SetConnectionProbe([connected] { return connected; });
    HttpStub stub;
    stub.replies["/page"] = c.raw;
    stub.trickleMs = c.trickleMs;
    stub.replies["/other"] = HttpStub::reply(200, "moved here");
    const QString file = path("got.htm");
    QString text;
    try {
        text = FetchURL(stub.base() + "/page", file);
    } catch (const SilentAbort &) {
        EXPECT_EQ(answerer->texts().join('|').trimmed(), NoInternetText);
    }
    EXPECT_EQ(text, QString::fromLatin1(c.expected));
    EXPECT_EQ(QFile::exists(file), !c.expected.isEmpty());
    EXPECT_EQ(ReadFileBytes(file), c.expected);
    EXPECT_EQ(stub.lastRequest.contains("User-Agent: Quillary\r\n"), connected);
    SetFetcher(nullptr);
    SetConnectionProbe({});
}

INSTANTIATE_TEST_SUITE_P(Replies, FetchTest, ::testing::ValuesIn(FetchCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
