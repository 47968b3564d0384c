#pragma once

// Wine's own notepad, a program nobody here wrote, placed beside the program under test.

#include "e2e/harness/Harness.h"

#include <optional>
#include <string>

namespace e2e
{

class Notepad
{
  public:
    // Starts notepad and waits for its window; placed at the given screen position.
    explicit Notepad(POINT position = OnThisScreen(POINT{880, 420}));
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;
    // Ends it by its process.
    ~Notepad();

    bool Started() const { return m_edit != nullptr; }
    // Why a test of it cannot run here: on Windows 11, Notepad is a packaged app whose window
    // belongs to another process and holds no EDIT box. Nothing when it started, or under Wine,
    // where its notepad must start.
    std::optional<std::string> Unavailable() const;
    HWND Edit() const { return m_edit; }
    POINT EditCentre() const;

  private:
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
};

} // namespace e2e
