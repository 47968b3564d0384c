#pragma once

#include "hotkeys/HotKeys.h"
#include "platform/TextBox.h"
#include "settings/Settings.h"

#include <string>
#include <string_view>

namespace mirufon
{

constexpr std::wstring_view kClipboardErrorMarker = L"%%%% error addclip %%%%";
constexpr Rgb kIntroTextColour = MakeRgb(128, 128, 255);
constexpr Rgb kLogTextColour = MakeRgb(0, 0, 0);

// The introduction text of the log, built from the current settings; also the body of the
// hotkey help message.
std::wstring IntroductionText(const Settings& settings);
// The introduction's line for one command's hotkey: modifier + "+" + key + "：" + what it does
// ("Shift+A：ポイント位置文字列取得 accName").
std::wstring HotKeyLine(const Settings& settings, HotKeyCommand command);

// The two key labels of the main window: modifier + "+" + key, as stored.
struct KeyLabels
{
    std::wstring name;
    std::wstring value;
};
KeyLabels KeyLabelsFor(const Settings& settings);

// Ctrl+A exactly (key code 65, Ctrl alone).
bool IsSelectAllChord(int keyCode, bool shift, bool ctrl, bool alt);

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
    void AppendLineBreak();
    void CancelLastItem();
    // Clears the log and both preview boxes.
    void ClearAll(TextBox& preview0, TextBox& preview1);
    // Selects the whole log when the main window is the foreground window.
    void SelectAll(bool mainWindowIsForeground);

  private:
    TextBox& m_box;
    const Settings& m_settings;
    bool m_showingIntroduction = false;
};

} // namespace mirufon
