#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzcheck {

// A broken property is a finding like a crash: say which one and stop, so that libFuzzer keeps
// the input that broke it.
[[noreturn]] inline void broken(const std::string &what)
{
    std::fprintf(stderr, "property broken: %s\n", what.c_str());
    std::abort();
}

inline void require(bool holds, const std::string &what)
{
    if (!holds)
        broken(what);
}

} // namespace fuzzcheck
