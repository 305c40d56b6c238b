// Shared start-up of the fuzz targets: no dump files for failed reads (every
// other input fails one), and the value array class announced so that
// tables nested in cells can be read.
#ifndef LABELPLU_FUZZ_FUZZSETUP_H
#define LABELPLU_FUZZ_FUZZSETUP_H

#include <cstdio>
#include <cstdlib>
#include <string>

#include "values/ByteStream.h"
#include "values/ValueArray.h"

namespace labelplu::fuzz {

inline void Setup() {
  SetStreamDumpFolderProvider([] { return std::string(); });
  AnnounceValueArrayClass();
}

// The bytes of a stream, for comparing two writes.
inline std::string Contents(const ByteStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Memory()),
                     static_cast<size_t>(stream.Size()));
}

// A broken invariant is a finding: stop so that libFuzzer keeps the input.
[[noreturn]] inline void Finding(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace labelplu::fuzz

#endif  // LABELPLU_FUZZ_FUZZSETUP_H
