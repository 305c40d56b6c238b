// labelplu: the tick counter and waits that keep the thread's events flowing.
//
// "Window messages" are Qt events here. They are processed only when a
// QCoreApplication (or QApplication) exists and the caller is on the
// application's thread; otherwise the functions below just wait. Nothing
// here creates an application object.
#ifndef LABELPLU_PLATFORM_SYS_MESSAGEPUMP_H
#define LABELPLU_PLATFORM_SYS_MESSAGEPUMP_H

#include <cstdint>

namespace labelplu::sys {

// Milliseconds of a monotonic clock, wrapping at 2^32 (about 49.7 days);
// compare two readings by unsigned subtraction.
uint32_t TickCount();

// Returns after at least ms milliseconds. Each turn processes the pending
// events of the application thread (bounded by the remaining time) and then
// sleeps a slice of at most 10 ms, never past the end, so a wait costs
// almost no CPU. Event handlers run inside this call and may call back into
// the caller's code. WaitPumping(0) processes pending events once.
void WaitPumping(uint32_t ms);

// Processes the pending events of the application thread once; nothing
// when there is no application object or the caller is on another thread.
void ProcessMessages();

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_MESSAGEPUMP_H
