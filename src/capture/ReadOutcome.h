#pragma once

#include "capture/Harvest.h"
#include "capture/ReaderChain.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

namespace mirufon
{

// What a harvest brought: its text when it harvested.
struct HarvestResult
{
    HarvestOutcome outcome = HarvestOutcome::NothingToRead;
    std::wstring text;
};

// A read that ended in an error of this program's own (out of memory, say), not in the other
// program's silence.
struct ReadFailed
{
};

// Word, before a read ends, that its program answers: a harvest's items arrive, or a text of
// this many characters is on its way (0 when none is announced).
struct ReadAnswering
{
    std::size_t chars = 0;
};

// What comes back from a read to the main window's thread: the element's texts, a harvest's
// result, a failure of this program's own, or word that the read's program answers.
using ReadContent = std::variant<ElementTexts, HarvestResult, ReadFailed, ReadAnswering>;

struct ReadOutcome
{
    std::uint64_t id = 0;
    ReadContent content;
};

} // namespace mirufon
