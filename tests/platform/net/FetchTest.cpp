// FetchURL against a local server: what is saved, what fails and how.

#include "TestSupport.h"
#include "platform/net/HttpStub.h"

#include "platform/net/Fetch.h"

#include <QFile>

namespace {

struct FetchCase {
    const char *name;
    QByteArray raw;      // the reply to "/page"
    bool ok;
    QByteArray expected; // the text of a successful fetch
};

const QByteArray Big(70000, 'x');

const FetchCase FetchCases[] = {
    {"ok", HttpStub::reply(200, "Latest version is 9.1"), true, "Latest version is 9.1"},
    {"notFound", HttpStub::reply(404, "Not here"), false, {}},
    {"serverError", HttpStub::reply(500, "Oops"), false, {}},
    {"redirect", HttpStub::reply(302, "", "Location: /other\r\n"), true, "moved here"},
    {"cutOff", "HTTP/1.1 200 OK\r\nContent-Length: 500\r\nConnection: close\r\n\r\nonly part", false, {}},
    {"neverAnswers", "", false, {}},
    {"overCap", HttpStub::reply(200, Big), false, {}},
};

class FetchTest : public QuillaryTest, public ::testing::WithParamInterface<FetchCase> {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        fetcher.timeoutMs = 300;
        fetcher.capBytes = 65536;
        SetFetcher(&fetcher);
        SetConnectionProbe([] { return true; });
    }
    void TearDown() override {
        SetFetcher(nullptr);
        SetConnectionProbe({});
        QuillaryTest::TearDown();
    }
    QtFetcher fetcher;
};

TEST_P(FetchTest, SavesOnlyWhatArrivedWhole) {
    const FetchCase &c = GetParam();
    HttpStub stub;
    stub.replies["/page"] = c.raw;
    stub.replies["/other"] = HttpStub::reply(200, "moved here");
    const QString file = path(QStringLiteral("got.htm"));
    QString text;
    bool aborted = false;
    try {
        text = FetchURL(stub.base() + QStringLiteral("/page"), file);
    } catch (const SilentAbort &) {
        aborted = true;
    }
    EXPECT_EQ(aborted, !c.ok);
    EXPECT_EQ(QFile::exists(file), c.ok);
    if (c.ok) {
        EXPECT_EQ(text, QString::fromLatin1(c.expected));
        EXPECT_EQ(ReadFileBytes(file), c.expected);
        EXPECT_EQ(stub.agents.value(0), QByteArray("Quillary"));
    } else {
        EXPECT_EQ(answerer->texts().join("|").trimmed(), NoInternetText);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, FetchTest, ::testing::ValuesIn(FetchCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(FetchTest, DisconnectedFailsWithoutAsking) {
    HttpStub stub;
    SetConnectionProbe([] { return false; });
    EXPECT_THROW(FetchURL(stub.base() + QStringLiteral("/page")), SilentAbort);
    EXPECT_TRUE(stub.agents.isEmpty());
}

} // namespace
