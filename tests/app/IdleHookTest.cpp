#include "base/Log.h"
#include "core/services/ErrorRouting.h"
#include "core/services/IdleHook.h"
#include "core/services/WheelSteps.h"
#include "platform/sqlite/Database.h"
#include "TestSupport.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace {

// Runs the event loop until it has been idle for a while.
void Settle(int ms = 50) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(IdleHook, OneCallAfterActivityAndNoneWhileNothingHappens) {
    int calls = 0;
    IdleHook hook([&] { ++calls; });
    Settle();
    const int settled = calls;
    Settle(); // only the loop's own quit timer runs meanwhile
    EXPECT_LE(calls - settled, 2);
    const int before = calls;
    // Five queued calls handled in one go make one idle call (and the
    // settling loop's own timer at most one more).
    for (int i = 0; i < 5; ++i) QTimer::singleShot(0, [] {});
    Settle(20);
    EXPECT_GE(calls, before + 1);
    EXPECT_LE(calls, before + 2);
}

TEST(WheelSteps, TouchpadDeltasAddUp) {
    WheelSteps steps;
    EXPECT_EQ(steps.add(120), 1);
    EXPECT_EQ(steps.add(-240), -2);
    EXPECT_EQ(steps.add(40), 0);
    EXPECT_EQ(steps.add(40), 0);
    EXPECT_EQ(steps.add(40), 1);
    EXPECT_EQ(steps.add(-60), 0);
    EXPECT_EQ(steps.add(-60), -1);
    EXPECT_EQ(steps.add(360), 3);
}

TEST(WheelPace, SecondTurnAtOnceIsIgnored) {
    WheelPace pace;
    EXPECT_TRUE(pace.accept());
    EXPECT_FALSE(pace.accept());
    QElapsedTimer t;
    t.start();
    while (t.nsecsElapsed() < 1000000) {
    }
    EXPECT_TRUE(pace.accept());
}

TEST(ExceptionNames, TypeAndMessage) {
    const auto db = std::make_exception_ptr(DbError(QStringLiteral("no such table: X")));
    EXPECT_EQ(ExceptionMessage(db), QStringLiteral("no such table: X"));
    EXPECT_EQ(ExceptionTypeName(db), QStringLiteral("DbError"));
    EXPECT_EQ(ExceptionTypeName(std::make_exception_ptr(std::bad_alloc())), QStringLiteral("std::bad_alloc"));
    EXPECT_EQ(ExceptionMessage(std::make_exception_ptr(42)), QStringLiteral("Unknown error"));
    EXPECT_EQ(ExceptionTypeName(std::make_exception_ptr(42)), QStringLiteral("int"));
}

class ExceptionHandlerTest : public QuillaryTest {
protected:
    void TearDown() override {
        SetExceptionHandler({});
        QuillaryTest::TearDown();
    }
};

TEST_F(ExceptionHandlerTest, TakesQuietAndOrdinaryFailuresButNotTheSilentAbort) {
    QStringList seen;
    SetExceptionHandler([&](std::exception_ptr e) {
        seen << ExceptionTypeName(e);
        throw std::runtime_error("handler failed"); // swallowed
    });
    RouteEscapedException(std::make_exception_ptr(EQuietError("")));
    RouteEscapedException(std::make_exception_ptr(std::runtime_error("x")));
    RouteEscapedException(std::make_exception_ptr(SilentAbort()));
    EXPECT_EQ(seen, (QStringList{"EQuietError", "std::runtime_error"}));
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

} // namespace
