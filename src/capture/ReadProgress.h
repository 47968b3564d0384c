#pragma once

#include <cstddef>

namespace mirufon
{

// What a reader tells about a read while it runs.
class ReadProgress
{
  public:
    ReadProgress() = default;
    ReadProgress(const ReadProgress&) = delete;
    ReadProgress& operator=(const ReadProgress&) = delete;
    virtual ~ReadProgress() = default;

    // The program under the point answers: a harvest's items arrive, or a text of this many
    // characters is on its way (0 when none is announced). The read is not stuck, though
    // copying that much may take a while.
    virtual void Answering(std::size_t chars) = 0;
    // Whether the read is to stop before its next item (a harvest that was cancelled).
    virtual bool Cancelled() const = 0;
};

} // namespace mirufon
