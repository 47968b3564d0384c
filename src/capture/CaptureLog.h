#pragma once

#include "platform/TextBox.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace mirufon
{

constexpr Rgb kIntroTextColour = MakeRgb(128, 128, 255);
constexpr Rgb kLogTextColour = MakeRgb(0, 0, 0);

// The capture log: the main window's log box, whether it still shows the introduction, and its
// text colour. Every producer appends through AppendItem.
class CaptureLog
{
  public:
    CaptureLog(TextBox& box, const Settings& settings);

    // The introduction text, in the pale colour.
    void ShowIntroduction();
    // While the introduction is still shown, rebuilds it from the current settings (after the
    // keys or the separator changed); a log that holds anything else is left alone.
    void RefreshIntroduction();
    // True from ShowIntroduction until the first item replaces the introduction.
    bool IsShowingIntroduction() const { return m_showingIntroduction; }
    // A log kept from an earlier run, shown as an ordinary log: items are appended to it.
    void ShowRestored(std::wstring_view text);

    void AppendItem(std::wstring_view item);
    // A harvest: one item, its tabs and line breaks kept.
    void AppendHarvest(std::wstring_view harvest);
    void AppendLineBreak();
    // Removes the last item with the separator before it: the text after the later of the last
    // line break and the last separator; right after a harvest, while the log still ends with
    // it, the whole harvest.
    void CancelLastItem();
    // The user edited the log: a harvest at its end is no longer one to remove whole.
    void ForgetHarvest() { m_lastHarvest.reset(); }
    // Clears the log and both preview boxes.
    void ClearAll(TextBox& preview0, TextBox& preview1);
    // Selects the whole log when the main window is the foreground window.
    void SelectAll(bool mainWindowIsForeground);

  private:
    // Where the last harvest stands in the log: from its separator to the log's end then, and
    // the text it ended with.
    struct HarvestPlace
    {
        std::size_t start = 0;
        std::size_t end = 0;
        std::wstring tail;
    };

    std::size_t Append(std::wstring_view item);
    bool EndsWithLastHarvest() const;

    TextBox& m_box;
    const Settings& m_settings;
    bool m_showingIntroduction = false;
    std::optional<HarvestPlace> m_lastHarvest;
};

} // namespace mirufon
