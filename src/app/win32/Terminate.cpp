// Tolvane catches no exception; should one escape, the program ends at once. Defining the
// library's verbose handler here keeps its symbol demangler, most of a 200 KB program, out.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
