#include "hotkeys/KeyTexts.h"

#include "text/UiText.h"

#include <array>

namespace mirufon
{

std::wstring IntroductionText(const Settings& settings)
{
    const std::wstring_view separatorWord =
        Text(settings.tabSeparated == 1 ? UiText::SeparatorTab : UiText::SeparatorLineBreak);

    std::wstring text;
    text += L"\r\n";
    text += Text(UiText::IntroFirstLine);
    text += L"\r\n";
    text += Text(UiText::IntroSeparator);
    text += separatorWord;
    text += L"\r\n";
    text += L"\r\n";
    text += Text(UiText::IntroKeysHeading);
    text += L"\r\n";
    for (HotKeyCommand command : kHotKeyCommands)
    {
        text += L"\r\n";
        text += HotKeyLine(settings, command);
    }
    return text;
}

std::wstring HotKeyLine(const Settings& settings, HotKeyCommand command)
{
    // What each command's hotkey does, in command order.
    constexpr std::array<UiText, kHotKeyCommandCount> kDoes = {
        UiText::DoesCaptureName, UiText::DoesCaptureValue, UiText::DoesLineBreak,
        UiText::DoesCancel,      UiText::DoesStopResume,   UiText::DoesHarvest};
    return settings.modifier + L"+" + KeySetting(settings, command) +
           std::wstring(Text(UiText::IntroKeyDoes)) +
           std::wstring(Text(kDoes[static_cast<std::size_t>(command)]));
}

KeyLabels KeyLabelsFor(const Settings& settings)
{
    return KeyLabels{settings.modifier + L"+" + settings.nameKey,
                     settings.modifier + L"+" + settings.valueKey};
}

} // namespace mirufon
