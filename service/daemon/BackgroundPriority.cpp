#include "service/daemon/BackgroundPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace service {
namespace {

// A set's checks take a fifth of a second of one processor; at this niceness a reload
// gets about a quarter of a processor a serving thread also wants, so it still finishes
// within a second or so on a busy machine.
constexpr int kBackgroundNiceness = 5;

}  // namespace

void RunAtBackgroundPriority() {
    // On Linux a thread's niceness is its own: PRIO_PROCESS with the thread's id.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kBackgroundNiceness);
}

}  // namespace service
