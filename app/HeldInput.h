#pragma once

// Holds back the user's input (keys, mouse buttons and moves, wheel, touch, tablet) that
// reaches any of the program's windows while a hold exists, and hands it back to the same
// windows, in its order, once the last hold has ended: the held events are posted, so they
// run from the next pass of the event loop after that. Everything else (paints, timers,
// queued calls, the window system's expose, close and ping requests) goes on as usual.
// Holds nest; only the application's thread may make them.
class HeldInput {
public:
    HeldInput();
    ~HeldInput();
    HeldInput(const HeldInput&) = delete;
    HeldInput& operator=(const HeldInput&) = delete;
};
