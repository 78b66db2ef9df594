#include "MessagePump.h"

#include <QCoreApplication>

MessagePump::MessagePump()
    : MessagePump([] { return std::chrono::steady_clock::now(); }, std::chrono::milliseconds(15), 256)
{
}

MessagePump::MessagePump(Clock clock, std::chrono::milliseconds interval, int callsPerCheck)
    : clock_(std::move(clock)), interval_(interval), callsPerCheck_(callsPerCheck < 1 ? 1 : callsPerCheck),
      last_(clock_())
{
}

bool MessagePump::due()
{
    if (++calls_ < callsPerCheck_)
        return false;
    calls_ = 0;
    return clock_() - last_ >= interval_;
}

void MessagePump::run()
{
    QCoreApplication::processEvents();
    calls_ = 0;
    last_ = clock_();
}
