#pragma once

namespace service {

// Lowers the calling thread's CPU priority (by niceness, for this thread alone), so that
// the work it does besides serving, loading and checking a data set on reload, gives way
// to the serving threads whenever both want a processor: a reload then costs the clients
// nothing but otherwise idle time. Threads started later by this one inherit it, so call
// it after the serving threads have started. Does nothing where it is not allowed.
void RunAtBackgroundPriority();

}  // namespace service
