// The cost of appending and cancelling an item on logs from 1 KB to 10 MB, over an in-memory
// text box: shows that neither operation grows with the length of the log.

#include "LogBench.h"
#include "MemoryTextBox.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

int main()
{
    using namespace mirufon::bench;

    const TextBoxFactory makeMemoryBox = [](std::wstring_view text)
    { return std::make_unique<MemoryTextBox>(text); };

    const auto rows = MeasureLogSizes(makeMemoryBox, kLogBenchSizes);
    return PrintLogTable(stdout, "Capture log over an in-memory text box", rows) ? 0 : 1;
}
