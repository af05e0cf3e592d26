// Tolvane catches no exception: should one be thrown, the program ends at once. Defining here what
// the library would throw from (its verbose handler, its error throwers, the allocating new) keeps
// its exception machinery and symbol demangler, much of the program's size, out of the file.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
}  // namespace std

// Out of memory ends the program, as an exception nobody catches would.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size ? size : 1)) {
        return memory;
    }
    std::abort();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
