#pragma once
// A fuzz target is one function over an input of bytes that checks what must hold for every
// input and stops the process with a message when something does not. The same source is built
// twice: with libFuzzer (VELMORA_LIBFUZZER) as its own program, and into the corpus replay test,
// which feeds it every seed and every input that once found a fault.
#include <cstddef>
#include <cstdint>

using FuzzFunction = void (*)(const std::uint8_t* data, std::size_t size);

struct FuzzTargetEntry {
  const char* name;  // also the name of its corpus folder
  FuzzFunction run;
};

// The targets linked into this program, in no particular order; 0 when built with libFuzzer.
std::size_t FuzzTargetCount();
const FuzzTargetEntry& FuzzTargetAt(std::size_t index);
bool RegisterFuzzTarget(const char* name, FuzzFunction run);

// Named in the failure message, so that a replayed input that fails says which file it was.
void SetFuzzInputName(const char* name);
[[noreturn]] void FuzzCheckFailed(const char* file, int line, const char* condition);

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : FuzzCheckFailed(__FILE__, __LINE__, #condition))

#ifdef VELMORA_LIBFUZZER
#define VELMORA_FUZZ_TARGET(name)                                                       \
  static void name##Fuzz(const std::uint8_t* data, std::size_t size);                   \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {   \
    name##Fuzz(data, size);                                                             \
    return 0;                                                                           \
  }                                                                                     \
  static void name##Fuzz(const std::uint8_t* data, std::size_t size)
#else
#define VELMORA_FUZZ_TARGET(name)                                                       \
  static void name##Fuzz(const std::uint8_t* data, std::size_t size);                   \
  [[maybe_unused]] static const bool name##Registered = RegisterFuzzTarget(#name, name##Fuzz); \
  static void name##Fuzz(const std::uint8_t* data, std::size_t size)
#endif
