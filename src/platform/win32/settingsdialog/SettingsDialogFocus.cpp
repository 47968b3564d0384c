// Where the dialog's focus may go: the key lists take no keyboard input, a key list whose
// letter another list shows keeps the focus, and the focused control survives deactivation.

#include "platform/ScopedFlag.h"
#include "platform/win32/settingsdialog/KeyListInput.h"
#include "platform/win32/settingsdialog/SettingsDialog.h"
#include "text/UiText.h"

#include <algorithm>
#include <string>

namespace mirufon::win32
{

// The key lists take no keyboard input; every other control that can take the focus refuses a
// click while the focused key list clashes with another.
void SettingsDialog::SubclassControls()
{
    const FocusChangeGuard refuse = [this](HWND target) { return RefuseFocusChange(target); };
    for (HWND list : m_keyLists)
    {
        m_subclasses.push_back(std::make_unique<ControlSubclass>(
            list, [this, refuse](HWND control, UINT message, WPARAM wParam, LPARAM lParam)
            { return OnKeyListMessage(Handle(), refuse, control, message, wParam, lParam); }));
    }
    for (HWND control :
         {m_modifier, m_captureCopiesBox, m_tabSeparatedBox, m_startWithWindowsBox, m_ok, m_cancel})
    {
        m_subclasses.push_back(std::make_unique<ControlSubclass>(
            control, [refuse](HWND target, UINT message, WPARAM, LPARAM)
            { return OnFocusGateMessage(refuse, target, message); }));
    }
}

int SettingsDialog::KeyListIndex(HWND control) const
{
    const auto found = std::find(m_keyLists.begin(), m_keyLists.end(), control);
    return control && found != m_keyLists.end() ? static_cast<int>(found - m_keyLists.begin()) : -1;
}

// The duplicate test, run before the focus moves to `target` (a click on it, or a key that
// would move the focus or press a button): when the focus is on a key list whose letter
// another list shows, the move is refused with a message and the focus stays on that list.
// True when refused; the caller then drops the click or key.
bool SettingsDialog::RefuseFocusChange(HWND target)
{
    if (m_refusing)
    {
        // The message is already up; anything that slips through meanwhile is dropped too.
        return true;
    }
    HWND focus = ::GetFocus();
    if (focus == target)
    {
        return false;
    }
    const int list = KeyListIndex(focus);
    if (list < 0 || !IsDuplicate(CurrentState().letter, list))
    {
        return false;
    }
    const ScopedFlag refusing(m_refusing);
    m_lastFocus = focus;
    ::MessageBoxW(Handle(), std::wstring(Text(UiText::DuplicateKeys)).c_str(),
                  std::wstring(Text(UiText::DuplicateTitle)).c_str(), MB_OK);
    // The program may have closed the dialog while the message was up.
    if (Exists() && ::IsWindow(focus))
    {
        ::SetFocus(focus);
    }
    return true;
}

// The dialog is not a system dialog, so it keeps its focused control itself across
// deactivation (the duplicate message takes the activation too).
void SettingsDialog::OnActivate(bool active)
{
    if (!active)
    {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus))
        {
            m_lastFocus = focus;
        }
        return;
    }
    HWND target = m_lastFocus && ::IsWindow(m_lastFocus) && ::IsChild(Handle(), m_lastFocus)
                      ? m_lastFocus
                      : m_keyLists[0];
    ::SetFocus(target);
}

} // namespace mirufon::win32
