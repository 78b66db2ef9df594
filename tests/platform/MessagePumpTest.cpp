#include "MessagePump.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

struct FakeClock {
    steady_clock::time_point now{};
    long long reads = 0;
    MessagePump::Clock clock()
    {
        return [this] { return ++reads, now; };
    }
};

TEST(MessagePumpTest, LooksAtTheClockOnceEveryStrideAndIsDueAfterTheInterval)
{
    FakeClock clock;
    MessagePump pump(clock.clock(), milliseconds(15), 256);
    clock.reads = 0;

    // Before the interval has passed nothing is due, and the clock is read
    // only once per 256 calls.
    for (int i = 0; i < 1024; ++i)
        EXPECT_FALSE(pump.due());
    EXPECT_EQ(clock.reads, 4);

    clock.now += milliseconds(15);
    int firstDue = 0;
    for (int i = 1; i <= 256 && !firstDue; ++i)
        if (pump.due())
            firstDue = i;
    EXPECT_EQ(firstDue, 256);
    EXPECT_TRUE(firstDue > 0);

    // run() restarts the interval and the stride.
    pump.run();
    clock.now += milliseconds(14);
    for (int i = 0; i < 512; ++i)
        EXPECT_FALSE(pump.due());
    clock.now += milliseconds(1);
    for (int i = 0; i < 255; ++i)
        EXPECT_FALSE(pump.due());
    EXPECT_TRUE(pump.due());
}

TEST(MessagePumpTest, PumpRunsPendingEventsOnlyWhenDue)
{
    FakeClock clock;
    MessagePump pump(clock.clock(), milliseconds(15), 4);
    int fired = 0;
    QTimer::singleShot(0, [&] { ++fired; });

    for (int i = 0; i < 8; ++i)
        pump.pump();
    EXPECT_EQ(fired, 0);

    clock.now += milliseconds(20);
    for (int i = 0; i < 4; ++i)
        pump.pump();
    EXPECT_EQ(fired, 1);
}

} // namespace
