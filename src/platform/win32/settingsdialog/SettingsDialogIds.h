#pragma once

// The settings dialog's window class and control ids. The end-to-end driver finds the dialog
// and its controls by these.
namespace mirufon::win32
{

inline constexpr wchar_t kSettingsDialogClass[] = L"MirufonSettings";

enum SettingsControlId : int
{
    // The values of IDOK and IDCANCEL, so that Enter and Escape reach the two buttons' handler
    // through IsDialogMessage.
    kIdSettingsOk = 1,
    kIdSettingsCancel = 2,
    // The key lists cmbHotKey(0) to (5): kIdSettingsKeyList + list index.
    kIdSettingsKeyList = 300,
    kIdSettingsModifier = 310,
    kIdSettingsAddCopy = 311,
    kIdSettingsTab = 312,
    kIdSettingsStartWithWindows = 313,
    // The prefix labels lbl(0) to (5), each beside the key list of the same index.
    kIdSettingsPrefix = 320,
    // The labels lblHotKey(0) to (7): kIdSettingsHeading + label index.
    kIdSettingsHeading = 330,
    kIdSettingsHotKeyFrame = 340,
    kIdSettingsOtherFrame = 341,
};

constexpr int SettingsKeyListId(int list)
{
    return kIdSettingsKeyList + list;
}

constexpr int SettingsPrefixId(int list)
{
    return kIdSettingsPrefix + list;
}

constexpr int SettingsHeadingId(int label)
{
    return kIdSettingsHeading + label;
}

} // namespace mirufon::win32
