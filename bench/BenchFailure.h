#pragma once

// How a benchmark that drives the real program gives up: a failure that says what went wrong,
// caught in wmain and printed.

#include <stdexcept>
#include <string>

namespace mirufon::bench
{

struct BenchFailure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

inline void Require(bool ok, const std::string& what)
{
    if (!ok)
    {
        throw BenchFailure(what);
    }
}

} // namespace mirufon::bench
