#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/services/ErrorRouting.h"
#include "TestSupport.h"

#include <QAction>
#include <QEventLoop>
#include <QTimer>

namespace {

class EscapedExceptions : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        WriteLog(QStringLiteral("START"));
    }
    QByteArray log() const { return ReadFileBytes(path("Log.Txt")); }
};

// Each slot arms the next one before it throws, so the last one runs only
// when the event loop carried on after every failure.
TEST_F(EscapedExceptions, AreRoutedAndTheLoopGoesOn) {
    QEventLoop loop;
    QTimer safety;
    bool finished = false;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, &loop, &QEventLoop::quit);
    safety.start(5000);
    QAction item(QStringLiteral("Check all"));
    CommandItem = &item;

    QTimer::singleShot(0, &loop, [&] {
        QTimer::singleShot(0, &loop, [&] {
            QTimer::singleShot(0, &loop, [&] {
                QTimer::singleShot(0, &loop, [&] {
                    finished = true;
                    loop.quit();
                });
                throw std::runtime_error("Disk on fire");
            });
            throw EQuietError("Already told");
        });
        AbortMsg(QStringLiteral("Nothing selected"));
    });
    loop.exec();

    EXPECT_TRUE(finished);
    EXPECT_EQ(CommandItem, nullptr);
    // The abort's own message, then the ordinary error through the application
    // handler; the quiet error reaches only the log.
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[0].text.trimmed(), QStringLiteral("Nothing selected"));
    EXPECT_EQ(answerer->boxes[1].text.trimmed(), QStringLiteral("Disk on fire"));
    EXPECT_EQ(log(),
              QByteArray("Log File 6-Dec-26\r\n14.05.09  START\r\n14.05.09  Nothing selected\r\n"
                         "14.05.09  Already told\r\n14.05.09  Disk on fire\r\n"));
}

TEST_F(EscapedExceptions, ReplacedHandlerGetsTheMessage) {
    QStringList handled;
    SetApplicationHandler([&](const QString &m) { handled << m; });
    RouteEscapedException(std::make_exception_ptr(std::logic_error("FastStrings: start below 1")));
    RouteEscapedException(std::make_exception_ptr(42));
    RouteEscapedException(std::make_exception_ptr(SilentAbort()));
    RouteEscapedException(std::make_exception_ptr(EQuietError("shown before")));
    SetApplicationHandler({});
    EXPECT_EQ(handled, QStringList({"FastStrings: start below 1", "Unknown error"}));
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

// An action's handler that fails is routed at the slot: trigger() returns,
// and the handler's arguments are the signal's when it takes them.
TEST_F(EscapedExceptions, GuardedActionHandlersRouteTheirFailures) {
    QStringList handled;
    SetApplicationHandler([&](const QString &m) { handled << m; });
    QAction refused(QStringLiteral("Save")), checked(QStringLiteral("Bars"));
    checked.setCheckable(true);
    QObject::connect(&refused, &QAction::triggered, &refused, Guarded([] { throw std::runtime_error("Refused"); }));
    bool seen = false;
    QObject::connect(&checked, &QAction::triggered, &checked, Guarded([&](bool on) {
        seen = on;
        AbortMsg(QStringLiteral("Stopped"));
    }));
    EXPECT_NO_THROW(refused.trigger());
    EXPECT_NO_THROW(checked.trigger());
    SetApplicationHandler({});
    EXPECT_TRUE(seen);
    EXPECT_EQ(handled, QStringList({"Refused"}));
    EXPECT_TRUE(answerer->sawText("Stopped"));
}

} // namespace
