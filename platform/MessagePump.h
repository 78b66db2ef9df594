#pragma once

#include <chrono>
#include <functional>

// Lets window messages run inside long loops without paying for it on every
// row: processEvents() plus a progress bar update cost about 4 us, a clock
// check 0.03 us. Loops call due() (or pump()) after every row and update
// their progress display only when due() says so. Loops with slow steps
// (one file per step) call run() directly.
class MessagePump {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    MessagePump();
    // For tests: a fake clock, the interval and how many calls share one clock check.
    MessagePump(Clock clock, std::chrono::milliseconds interval, int callsPerCheck);

    // Cheap: looks at the clock once every callsPerCheck calls; true when
    // the interval (15 ms) has passed since the last run().
    bool due();
    // Processes pending events and restarts the interval.
    void run();
    void pump()
    {
        if (due())
            run();
    }

private:
    Clock clock_;
    std::chrono::steady_clock::duration interval_;
    int callsPerCheck_;
    int calls_ = 0;
    std::chrono::steady_clock::time_point last_;
};
