#include "bench/HeapCounter.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#if !defined(LP_NO_HEAP_COUNTER)
#include <malloc.h>

#include <cerrno>

extern "C" {
// glibc's own allocator entry points, reserved names by design.
void* __libc_malloc(size_t size);                      // NOLINT(bugprone-reserved-identifier)
void* __libc_calloc(size_t count, size_t size);        // NOLINT(bugprone-reserved-identifier)
void* __libc_realloc(void* block, size_t size);        // NOLINT(bugprone-reserved-identifier)
void* __libc_memalign(size_t alignment, size_t size);  // NOLINT(bugprone-reserved-identifier)
void __libc_free(void* block);                         // NOLINT(bugprone-reserved-identifier)
}
#endif

namespace labelplu::bench {
namespace {

std::atomic<bool> g_counting{false};
// Bytes allocated minus bytes freed since the window opened, and its peak.
std::atomic<int64_t> g_balance{0};
std::atomic<int64_t> g_peak{0};

[[maybe_unused]] void Count(int64_t bytes) {
  const int64_t now = g_balance.fetch_add(bytes, std::memory_order_relaxed) + bytes;
  int64_t peak = g_peak.load(std::memory_order_relaxed);
  while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
  }
}

}  // namespace

HeapWindow::HeapWindow() {
  g_balance.store(0, std::memory_order_relaxed);
  g_peak.store(0, std::memory_order_relaxed);
  g_counting.store(true, std::memory_order_release);
}

HeapWindow::~HeapWindow() {
  g_counting.store(false, std::memory_order_release);
}

size_t HeapWindow::Peak() const {
  return static_cast<size_t>(std::max<int64_t>(g_peak.load(), 0));
}

#if !defined(LP_NO_HEAP_COUNTER)
bool Counting() {
  return true;
}
#else
bool Counting() {
  return false;
}
#endif

}  // namespace labelplu::bench

#if !defined(LP_NO_HEAP_COUNTER)
namespace {

bool Counting() {
  return labelplu::bench::g_counting.load(std::memory_order_relaxed);
}

void Added(void* block) {
  if (block && Counting()) labelplu::bench::Count(static_cast<int64_t>(malloc_usable_size(block)));
}

void Removed(void* block) {
  if (block && Counting()) labelplu::bench::Count(-static_cast<int64_t>(malloc_usable_size(block)));
}

}  // namespace

extern "C" {

void* malloc(size_t size) {
  void* block = __libc_malloc(size);
  Added(block);
  return block;
}

void* calloc(size_t count, size_t size) {
  void* block = __libc_calloc(count, size);
  Added(block);
  return block;
}

void* realloc(void* block, size_t size) {
  const int64_t old = block && Counting() ? static_cast<int64_t>(malloc_usable_size(block)) : 0;
  void* moved = __libc_realloc(block, size);
  if ((moved || size == 0) && Counting()) {
    labelplu::bench::Count(-old);
    Added(moved);
  }
  return moved;
}

void free(void* block) {
  Removed(block);
  __libc_free(block);
}

void* memalign(size_t alignment, size_t size) {
  void* block = __libc_memalign(alignment, size);
  Added(block);
  return block;
}

void* aligned_alloc(size_t alignment, size_t size) {
  return memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
  void* block = __libc_memalign(alignment, size);
  if (!block) return ENOMEM;
  Added(block);
  *out = block;
  return 0;
}

}  // extern "C"
#endif
