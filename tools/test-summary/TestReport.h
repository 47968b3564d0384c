#pragma once

// The results of a test run from GoogleTest's XML reports, one per test program: which cases
// passed, failed or were skipped (and why), and one summary line for the whole run. A program
// that wrote no report, or ended with an error that its report does not show, counts as one
// failed test, so that a crash is never read as success.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testreport
{

enum class Outcome
{
    Passed,
    Failed,
    Skipped,
    NotRun, // disabled: counted as nothing
};

struct TestCase
{
    std::string name; // Suite.Case
    Outcome outcome = Outcome::Passed;
    std::string skipReason; // the message given with the skip, without its source location
};

// The cases of one GoogleTest XML report; nothing when the text is not such a report (cut
// short, empty, something else).
std::optional<std::vector<TestCase>> ReadReport(std::string_view xml);

class RunSummary
{
  public:
    // One test program's result: its exit code and its report's text (nothing when it wrote
    // none).
    void AddProgram(std::string_view program, int exitCode,
                    const std::optional<std::string>& report);

    int Passed() const { return m_passed; }
    int Failed() const { return m_failed; }
    int Skipped() const { return m_skipped; }
    // A line for each skipped and each failed test, then the number skipped, then
    // "tests: N passed, M failed".
    std::vector<std::string> Lines() const;

  private:
    int m_passed = 0;
    int m_failed = 0;
    int m_skipped = 0;
    std::vector<std::string> m_skips;
    std::vector<std::string> m_failures;
};

} // namespace testreport
