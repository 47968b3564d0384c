#pragma once

// Measures what appending an item (AppendItem) and cancelling it (CancelLastItem) cost on logs of
// growing length, over any TextBox implementation. The caller supplies a factory that makes a box
// holding a given text; the figures are medians in microseconds per operation.

#include "capture/CaptureLog.h"
#include "platform/TextBox.h"
#include "settings/Settings.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirufon::bench
{

// Makes a box whose text is exactly the given text.
using TextBoxFactory = std::function<std::unique_ptr<TextBox>(std::wstring_view text)>;

// 1 KB, 100 KB, 1 MB and 10 MB of characters.
inline const std::vector<std::size_t> kLogBenchSizes = {
    std::size_t{1} << 10, std::size_t{100} << 10, std::size_t{1} << 20, std::size_t{10} << 20};

struct LogBenchOptions
{
    int samples = 101; // timed rounds; the median is reported
    int batch = 32;    // operations per timed round, to lift them above the clock's grain
    int warmUpRounds = 3;
};

struct LogFigures
{
    std::size_t size = 0;
    double getDtUs = 0.0;
    double keyBackUs = 0.0;
    // The log had its original length again after every append had been cancelled.
    bool intact = false;
};

// Short items joined by CR LF, exactly `length` characters, not ending a line (so that each
// appended item brings its separator and each cancel takes it away again).
inline std::wstring MakeLogText(std::size_t length)
{
    std::wstring text;
    text.reserve(length + 32);
    for (unsigned item = 0; text.size() < length; ++item)
    {
        text += L"item ";
        text += std::to_wstring(item % 100000);
        text += L"\r\n";
    }
    text.resize(length);
    if (!text.empty() && text.back() == L'\n')
    {
        text.back() = L'x';
    }
    if (!text.empty() && text.back() == L'\r')
    {
        text.back() = L'x';
    }
    return text;
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
    {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

inline LogFigures MeasureLog(const TextBoxFactory& make, std::size_t size,
                             const LogBenchOptions& options = {})
{
    using Clock = std::chrono::steady_clock;

    const std::unique_ptr<TextBox> box = make(MakeLogText(size));
    const Settings settings; // CR LF separator
    CaptureLog log(*box, settings);

    std::vector<double> getDt;
    std::vector<double> keyBack;
    const int batch = std::max(options.batch, 1);
    bool intact = box->Length() == size;
    for (int round = -options.warmUpRounds; round < options.samples; ++round)
    {
        const Clock::time_point start = Clock::now();
        for (int op = 0; op < batch; ++op)
        {
            log.AppendItem(L"new item");
        }
        const Clock::time_point appended = Clock::now();
        for (int op = 0; op < batch; ++op)
        {
            log.CancelLastItem();
        }
        const Clock::time_point cancelled = Clock::now();

        intact = intact && box->Length() == size;
        if (round < 0)
        {
            continue;
        }
        const auto perOp = [batch](Clock::duration d)
        { return std::chrono::duration<double, std::micro>(d).count() / batch; };
        getDt.push_back(perOp(appended - start));
        keyBack.push_back(perOp(cancelled - appended));
    }
    return LogFigures{size, Median(std::move(getDt)), Median(std::move(keyBack)), intact};
}

inline std::vector<LogFigures> MeasureLogSizes(const TextBoxFactory& make,
                                               const std::vector<std::size_t>& sizes,
                                               const LogBenchOptions& options = {})
{
    std::vector<LogFigures> figures;
    for (const std::size_t size : sizes)
    {
        figures.push_back(MeasureLog(make, size, options));
    }
    return figures;
}

inline std::string SizeLabel(std::size_t size)
{
    if (size >= (std::size_t{1} << 20) && size % (std::size_t{1} << 20) == 0)
    {
        return std::to_string(size >> 20) + " MB";
    }
    if (size >= (std::size_t{1} << 10) && size % (std::size_t{1} << 10) == 0)
    {
        return std::to_string(size >> 10) + " KB";
    }
    return std::to_string(size) + " chars";
}

// One table, ratios against the first row. Returns false when a log did not come back to its
// original length (the figures are then meaningless).
inline bool PrintLogTable(std::FILE* out, const char* title, const std::vector<LogFigures>& rows)
{
    std::fprintf(out, "%s\n", title);
    std::fprintf(out, "%-10s %12s %8s %12s %8s\n", "size", "AppendItem us", "ratio",
                 "CancelLastItem us", "ratio");
    bool allIntact = true;
    for (const LogFigures& row : rows)
    {
        const LogFigures& base = rows.front();
        const double getDtRatio = base.getDtUs > 0.0 ? row.getDtUs / base.getDtUs : 0.0;
        const double keyBackRatio = base.keyBackUs > 0.0 ? row.keyBackUs / base.keyBackUs : 0.0;
        std::fprintf(out, "%-10s %12.3f %7.2fx %12.3f %7.2fx%s\n", SizeLabel(row.size).c_str(),
                     row.getDtUs, getDtRatio, row.keyBackUs, keyBackRatio,
                     row.intact ? "" : "  (log not restored)");
        allIntact = allIntact && row.intact;
    }
    return allIntact;
}

} // namespace mirufon::bench
