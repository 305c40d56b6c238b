// A counting allocator for the benchmarks: the executable replaces malloc,
// calloc, realloc, free and the aligned forms with versions that forward to
// the C library and, inside a HeapWindow, count the bytes of every block
// allocated and freed (malloc_usable_size) and the peak of their balance.
// Every heap allocation of the process is seen: operator new, the automation
// runtime's strings and arrays, zlib's state. Outside a window the
// replacements only forward, so timed runs pay nothing for the counting.
//
// Not built under the sanitizers (they replace malloc themselves); Counting()
// then answers false and the figures stay 0.
#ifndef LABELPLU_BENCH_HEAPCOUNTER_H
#define LABELPLU_BENCH_HEAPCOUNTER_H

#include <cstddef>

namespace labelplu::bench {

bool Counting();

// Counts while it lives (one window at a time, on one thread's behalf).
class HeapWindow {
 public:
  HeapWindow();
  ~HeapWindow();
  HeapWindow(const HeapWindow&) = delete;
  HeapWindow& operator=(const HeapWindow&) = delete;
  // The largest growth of the heap since the window opened, in bytes.
  size_t Peak() const;
};

}  // namespace labelplu::bench

#endif  // LABELPLU_BENCH_HEAPCOUNTER_H
