// labelplu: the system speaker.
#ifndef LABELPLU_PLATFORM_SYS_SPEAKER_H
#define LABELPLU_PLATFORM_SYS_SPEAKER_H

#include <cstdint>

namespace labelplu::sys {

// The longest tone Beep sounds; longer durations are cut to it.
inline constexpr uint32_t kMaxBeepMs = 10000;
// Frequencies outside this range are moved to its nearest end; 0 is silence.
inline constexpr uint32_t kMinBeepHz = 37;
inline constexpr uint32_t kMaxBeepHz = 32767;

// Sounds a tone of frequencyHz for durationMs (at most kMaxBeepMs) and
// returns after that time, keeping the thread's events flowing meanwhile
// (WaitPumping). The first way that works is used:
//   1. a PC-speaker input device (/dev/input/by-path/*-event-spkr): EV_SND
//      SND_TONE on, wait, off;
//   2. the console's KIOCSOUND (/dev/console, then /dev/tty0), opened
//      without blocking;
//   3. the BEL character written to the controlling terminal /dev/tty (never
//      to standard output), then the wait.
// With none of them it only waits. Never throws and never blocks past the
// duration by more than a few milliseconds. Thread-safe; tones sounded at
// the same time on one speaker cut each other short.
void Beep(uint32_t frequencyHz, uint32_t durationMs);

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_SPEAKER_H
