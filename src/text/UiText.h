#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirufon
{

// The languages the user interface speaks.
enum class Language
{
    Japanese,
    English,
};

// The language for Windows' display language (a LANGID): Japanese for Japanese, English for
// any other.
Language LanguageForDisplayLanguage(std::uint16_t languageId);

// Every text the user sees, by name: captions, menus, message boxes, the introduction, labels,
// tips and the notices. What Conf.txt holds (keys and stored values), the hotkeys' atom names
// and clipboard format names belong to the file and the system, not to the user: they are not
// here.
enum class UiText
{
    AppName,
    AlreadyRunningTitle,
    AlreadyRunning, // {0}: the executable's name
    StartFailed,
    SettingsNotSaved,
    LogNotSaved,
    SavingAtSessionEnd,
    RestoreQuestion,
    KeysHeldElsewhere,
    HotKeyHelpTitle,
    TrayNotice,
    NoResponse,
    RunsAsAdministrator,
    HarvestCut,

    ClipboardErrorTitle,
    ClipboardCannotOpen,
    ClipboardNoText,
    ClipboardCannotRead,

    MenuStop,
    MenuResume,
    MenuView,
    MenuAlwaysOnTop,
    MenuClear,
    MenuSettings,
    MenuHelp,
    MenuHotKeys,
    MenuVersion,
    MenuShow,
    MenuLeaveTray,
    MenuQuit,

    LogUndo,
    LogCut,
    LogCopy,
    LogPaste,
    LogDelete,
    LogSelectAll,
    LogSave,
    LogFind,

    NameLabel,
    ValueLabel,

    DuplicateTitle,
    DuplicateKeys,
    HotKeysFrame,
    OtherFrame,
    CopyCaptureCheck,
    TabSeparatorCheck,
    StartWithWindowsCheck,
    StartWithWindowsFailed,
    OkButton,
    CancelButton,
    ModifierTip,
    CopyCaptureTip,
    TabSeparatorTip,
    HeadingCaptureName,
    HeadingLineBreak,
    HeadingCancel,
    HeadingStopResume,
    HeadingHarvest,
    HeadingName,
    HeadingValue,
    HeadingModifier,

    IntroFirstLine,
    IntroSeparator,
    SeparatorTab,
    SeparatorLineBreak,
    IntroKeysHeading,
    IntroKeyDoes,
    DoesCaptureName,
    DoesCaptureValue,
    DoesLineBreak,
    DoesCancel,
    DoesStopResume,
    DoesHarvest,

    Count,
};

// The language the program shows its texts in, chosen once at start.
void SetLanguage(Language language);
Language CurrentLanguage();

// The text in the current language.
std::wstring_view Text(UiText id);
// The text with "{0}" replaced by the argument.
std::wstring FormatText(UiText id, std::wstring_view argument);

} // namespace mirufon
