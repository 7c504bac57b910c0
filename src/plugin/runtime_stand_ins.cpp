// The DLL's own versions of the few C++ runtime entry points its code reaches.
//
// The runtime's versions report failure by throwing, and one throw site is enough to
// link in the whole exception machinery: the unwinder, thread support for it, the
// verbose terminate handler with its demangler and printf, the exception classes and
// the old string type they carry. That was most of the DLL's size. Nothing in the
// plug-in catches, so any of these throws ended in terminate and abort already; here
// they abort at once, which leaves the outcome as it was.
//
// Linked into the DLL only: the test programs keep the runtime's own versions. A link
// error about a second definition of one of these means new code reaches another of the
// runtime's throwing functions: give it a version here too.
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

void* operator new(std::size_t size) {
    // malloc(0) may return null; new must still return a unique pointer.
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    std::abort();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

// Reached from the standard containers' and std::function's checks (a length beyond
// max_size, an empty std::function called); the code never relies on them throwing.
namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std
