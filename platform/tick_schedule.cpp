#include "platform/tick_schedule.h"

namespace valley {

double tickWait(TickSchedule& schedule, double now) {
    if (!schedule.started) {
        schedule.started = true;
        schedule.nextTick = now;
    }
    const double due = schedule.nextTick;
    schedule.nextTick = due + tickSeconds;
    schedule.ticksUndrawn += 1;
    return due > now ? due - now : 0.0;
}

double tickDelay(const TickSchedule& schedule, double now) {
    return schedule.started && schedule.nextTick > now ? schedule.nextTick - now : 0.0;
}

bool drawTick(TickSchedule& schedule, double now) {
    if (now >= schedule.nextTick) {
        if (schedule.ticksUndrawn < mostTicksPerFrame) {
            return false;
        }
        schedule.givenUp += now - schedule.nextTick;
        schedule.nextTick = now;
    }
    schedule.ticksUndrawn = 0;
    return true;
}

} // namespace valley
