#pragma once

#include <cstdint>

namespace mirufon
{

// A window handle as an integer, 0 standing for none.
using WindowId = std::uintptr_t;

} // namespace mirufon
