#include "app/process_priority.h"

#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

namespace mirva {

namespace {

// What the thread had before the first change, put back by setNormalPriority.
struct Saved {
    bool valid = false;
    int policy = SCHED_OTHER;
    sched_param parameters{};
    int nice = 0;
};
Saved saved;

void save()
{
    if (saved.valid)
        return;
    saved.policy = sched_getscheduler(0);
    sched_getparam(0, &saved.parameters);
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    saved.nice = errno == 0 ? nice : 0;
    saved.valid = saved.policy >= 0;
}

}  // namespace

Priority setRealtimePriority()
{
    save();
    // The lowest realtime level is enough to come before every normal thread, and leaves
    // the system's own realtime threads above the show.
    sched_param parameters{};
    parameters.sched_priority = sched_get_priority_min(SCHED_RR);
    if (sched_setscheduler(0, SCHED_RR, &parameters) == 0)
        return Priority::Realtime;
    // No realtime permitted: the best nice value the limits allow (the soft RLIMIT_NICE
    // ceiling is 20 - nice).
    rlimit limit{};
    int best = saved.nice;
    if (getrlimit(RLIMIT_NICE, &limit) == 0)
        best = limit.rlim_cur == RLIM_INFINITY ? -20 : 20 - static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 40));
    if (best < saved.nice && setpriority(PRIO_PROCESS, 0, best) == 0)
        return Priority::Raised;
    return Priority::Normal;
}

void setNormalPriority()
{
    if (!saved.valid)
        return;
    sched_setscheduler(0, saved.policy, &saved.parameters);
    setpriority(PRIO_PROCESS, 0, saved.nice);
}

}  // namespace mirva
