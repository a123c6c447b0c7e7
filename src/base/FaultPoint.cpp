#include "base/FaultPoint.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace mrk2 {

namespace {

long killAtStep() {
    const char* value = std::getenv("MRK2_KILL_AT_STEP");
    return value ? std::strtol(value, nullptr, 10) : 0;
}

}  // namespace

void faultPoint() {
    static const long limit = killAtStep();
    static std::atomic<long> passed{0};
    if (limit > 0 && ++passed == limit)
        ::kill(::getpid(), SIGKILL);
}

}  // namespace mrk2
