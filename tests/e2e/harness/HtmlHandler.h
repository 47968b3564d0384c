#pragma once

// Stands in for the system's browser: what the program opens with ShellExecute becomes visible
// to the test.

#include "e2e/harness/Harness.h"

#include <optional>
#include <string>

namespace e2e
{

// Why no handler can stand in for the browser here: on Windows the browser the user chose for
// .html files (their UserChoice) opens them, whatever handler a program registers, so a test
// would open the user's browser and see nothing. Nothing when there is no such choice (Wine).
std::optional<std::string> HtmlOpenedByUsersChoice();

// Points the system's handler for .html files at a command that copies the opened file, so
// the test sees which page the program asked the system to open. Undone at the end.
class HtmlHandlerOverride
{
  public:
    explicit HtmlHandlerOverride(const std::wstring& copyTo);
    HtmlHandlerOverride(const HtmlHandlerOverride&) = delete;
    HtmlHandlerOverride& operator=(const HtmlHandlerOverride&) = delete;
    ~HtmlHandlerOverride();

  private:
    std::optional<std::wstring> m_previous;
};

} // namespace e2e
