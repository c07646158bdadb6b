#pragma once

#include <functional>

namespace client {

// Runs work on a worker thread and returns when it has finished, rethrowing what it threw.
// Called on the application's thread, it keeps that thread handling its events meanwhile
// (paints, timers, queued calls, the window system's expose, close and ping requests), so the
// windows stay painted and answer the window manager. Elsewhere, or without an application,
// work simply runs on the calling thread.
//
// Handlers that run during the wait must not destroy what work uses; a caller whose users
// must not start commands meanwhile holds their input back.
void RunKeepingWindowsAlive(const std::function<void()>& work);

}  // namespace client
