// What the dialog's controls show: filled from the settings when it opens, read back and
// stored when it closes with "OK" or its close box, and the start-with-Windows entry.

#include "platform/win32/settingsdialog/SettingsDialog.h"
#include "platform/win32/window/SystemMessage.h"
#include "shell/AppInfo.h"
#include "text/UiText.h"

#include <string>

namespace mirufon::win32
{

// Fills the lists in row order (get name, get value, newline, cancel last, stop/resume,
// harvest), then the modifier, whose choice sets the prefix labels, then the check boxes; the
// last one from the registry, as Windows will find it at the next logon.
void SettingsDialog::Fill()
{
    m_filled = EditorStateFor(m_settings);
    for (const int index : kKeyListRows)
    {
        const auto list = static_cast<std::size_t>(index);
        HWND control = m_keyLists[list];
        ::SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (int letter = 0; letter < kLetterCount; ++letter)
        {
            const std::wstring text = KeyLetter(letter);
            ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(m_filled.letter[list]), 0);
    }
    ::SendMessageW(m_modifier, CB_RESETCONTENT, 0, 0);
    for (const std::wstring_view entry : kModifierEntries)
    {
        const std::wstring text(entry);
        ::SendMessageW(m_modifier, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageW(m_modifier, CB_SETCURSEL, static_cast<WPARAM>(m_filled.modifier), 0);
    RelabelPrefixes();
    ::SendMessageW(m_tabSeparatedBox, BM_SETCHECK,
                   m_filled.tabSeparated ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageW(m_captureCopiesBox, BM_SETCHECK,
                   m_filled.captureCopies ? BST_CHECKED : BST_UNCHECKED, 0);
    m_startsWithWindows = m_runAtLogon.NamesThisProgram();
    ::SendMessageW(m_startWithWindowsBox, BM_SETCHECK,
                   m_startsWithWindows ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsDialog::RelabelPrefixes()
{
    const int modifier = static_cast<int>(::SendMessageW(m_modifier, CB_GETCURSEL, 0, 0));
    const std::wstring text = PrefixLabel(modifier);
    for (HWND label : m_prefixes)
    {
        ::SetWindowTextW(label, text.c_str());
    }
}

EditorState SettingsDialog::CurrentState() const
{
    EditorState state;
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        const auto selected = ::SendMessageW(m_keyLists[list], CB_GETCURSEL, 0, 0);
        state.letter[list] = selected == CB_ERR ? kNoLetter : static_cast<int>(selected);
    }
    const auto modifier = ::SendMessageW(m_modifier, CB_GETCURSEL, 0, 0);
    state.modifier = modifier == CB_ERR ? -1 : static_cast<int>(modifier);
    state.tabSeparated =
        ::SendMessageW(m_tabSeparatedBox, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    state.captureCopies =
        ::SendMessageW(m_captureCopiesBox, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return state;
}

// Only a change the user made reaches the registry: an entry the box did not show as this
// program's (another copy's, say) stays as it is unless the box is checked.
void SettingsDialog::ApplyStartWithWindows()
{
    const bool checked = ::SendMessageW(m_startWithWindowsBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked == m_startsWithWindows)
    {
        return;
    }
    const LSTATUS error = m_runAtLogon.Set(checked);
    if (error == ERROR_SUCCESS)
    {
        return;
    }
    const std::wstring text = std::wstring(Text(UiText::StartWithWindowsFailed)) + L"\r\n" +
                              SystemMessage(static_cast<DWORD>(error));
    ::MessageBoxW(Handle(), text.c_str(), GetAppTitle().c_str(), MB_OK | MB_ICONWARNING);
}

} // namespace mirufon::win32
