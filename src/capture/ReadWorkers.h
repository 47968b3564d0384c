#pragma once

#include "capture/ReaderChain.h"

#include <cstdint>
#include <string>

namespace mirufon
{

// What a read takes from the point.
enum class ReadKind
{
    Element, // the name and value of the element there
    Harvest, // every item of the list, table or tree there, or every text of its window
};

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
    ReadKind kind = ReadKind::Element;
    // Whether the read may put a block of memory into the other program, as the messages of
    // list views, trees, headers, status bars and tab controls need. A preview that reads again
    // under a resting pointer may not, most of the time: the read of such a control is then
    // skipped, and what the preview shows stands.
    bool mayOpenMemory = true;
};

// Runs reads on worker threads. The texts of a read come back on the main window's thread,
// later, never from inside Start; so does word that its program answers. A read stuck in another
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
    // Asks a harvest under way to stop before its next item; it then ends Cancelled. Harmless
    // for a read that has ended or is no harvest.
    virtual void Cancel(std::uint64_t id) = 0;
};

} // namespace mirufon
