// The last step of run-tests.cmd: reads what each test program left in the results folder (its
// exit code in <program>.exit, its GoogleTest report in <program>.xml), prints every skipped
// test with its reason and every failed one, then how many were skipped and one summary line,
// "tests: N passed, M failed". Exits with 1 when anything failed.
//   test-summary <results folder>

#include "TestReport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace
{

std::optional<std::string> ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// cmd writes "%errorlevel%" and a line break; anything unreadable is an error too.
int ExitCode(const std::filesystem::path& path)
{
    const std::string text = ReadFile(path).value_or("");
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, 10);
    return end == text.c_str() ? -1 : static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: test-summary <results folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::vector<std::filesystem::path> exits;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    {
        if (entry.path().extension() == ".exit")
        {
            exits.push_back(entry.path());
        }
    }
    std::sort(exits.begin(), exits.end());
    testreport::RunSummary summary;
    if (exits.empty())
    {
        // Nothing ran at all: no test program was found beside run-tests.cmd.
        summary.AddProgram("run-tests.cmd", -1, std::nullopt);
    }
    for (const std::filesystem::path& exit : exits)
    {
        std::filesystem::path report = exit;
        report.replace_extension(".xml");
        summary.AddProgram(exit.stem().string(), ExitCode(exit), ReadFile(report));
    }
    for (const std::string& line : summary.Lines())
    {
        std::printf("%s\n", line.c_str());
    }
    return summary.Failed() == 0 ? 0 : 1;
}
