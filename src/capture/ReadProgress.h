#pragma once

#include <cstddef>

namespace mirufon
{

// What a read tells its caller while it runs, and asks of it. Called on the read's thread.
class ReadProgress
{
  public:
    ReadProgress() = default;
    ReadProgress(const ReadProgress&) = delete;
    ReadProgress& operator=(const ReadProgress&) = delete;
    virtual ~ReadProgress() = default;

    // The program under the point answers: a harvest's items arrive, or a text of this many
    // characters is on its way (0 when none is announced). The read is not stuck, though
    // copying that much may take a while. A harvest tells it after every item, and again after
    // every answer while a reader gathers items before it adds them: an implementation that
    // tells another thread does so at most every so often.
    virtual void Answering(std::size_t chars) = 0;
    // Whether the read is to stop before its next item (a harvest that was cancelled): a
    // harvest asks before every item.
    virtual bool Cancelled() const = 0;
};

} // namespace mirufon
