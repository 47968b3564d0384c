#pragma once

#include "capture/ElementReader.h"

#include <cstdint>

namespace mirufon
{

// A read of the element at a point, to be done away from the main window's thread.
struct ReadRequest
{
    std::uint64_t id = 0;
    std::int32_t x = 0; // screen point, pixels
    std::int32_t y = 0;
    // The window the pointer probe found at the point, resolved once on the main window's
    // thread; the read starts from it.
    std::uintptr_t window = 0;
    WantedTexts wanted;
    std::size_t maxChars = kWholeText;
};

// Runs reads on worker threads. The texts of a read come back on the main window's thread,
// later, never from inside Start; so does word of a long text on its way. A read stuck in another
// program keeps its worker for as long as it takes; it is never terminated, and later reads get
// other workers.
class ReadWorkers
{
  public:
    ReadWorkers() = default;
    ReadWorkers(const ReadWorkers&) = delete;
    ReadWorkers& operator=(const ReadWorkers&) = delete;
    virtual ~ReadWorkers() = default;

    virtual void Start(const ReadRequest& request) = 0;
};

} // namespace mirufon
