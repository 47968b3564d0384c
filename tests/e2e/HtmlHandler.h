#pragma once

// Stands in for the system's browser: what the program opens with ShellExecute becomes visible
// to the test.

#include "e2e/Harness.h"

#include <optional>
#include <string>

namespace e2e
{

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
