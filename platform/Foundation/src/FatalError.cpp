#include "Foundation/FatalError.hpp"

#include <cstdio>
#include <cstdlib>

void fatalError(const std::string& message) {
    std::fprintf(stderr, "Fatal error: %s\n", message.c_str());
    std::fflush(stdout);
    std::fflush(stderr);
    std::abort();
}
