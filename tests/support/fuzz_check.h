// Fails as "<target>_fuzz: <condition>", the form scripts/fuzz.sh reports (clang only).
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(c)                                                                              \
    ((c) ? void()                                                                                  \
         : (std::fprintf(stderr, "%.*s: %s\n", int(sizeof(__FILE_NAME__)) - 5, __FILE_NAME__, #c), \
            std::abort()))
