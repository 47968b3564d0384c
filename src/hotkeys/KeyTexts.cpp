#include "hotkeys/KeyTexts.h"

#include <array>

namespace mirufon
{

std::wstring IntroductionText(const Settings& settings)
{
    const std::wstring_view separatorWord = settings.tabSeparated == 1 ? L"タブ" : L"改行";

    std::wstring text;
    text += L"\r\n";
    text += L"ポイント位置の文字列を連続取得します。\r\n";
    text += L"区切り：";
    text += separatorWord;
    text += L"\r\n";
    text += L"\r\n";
    text += L"操作用のホットキー\r\n";
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
    constexpr std::array<std::wstring_view, kHotKeyCommandCount> kDoes = {
        L"ポイント位置文字列取得 accName", L"ポイント位置文字列取得 accValue", L"改行",
        L"取り消し（前回取得項目キャンセル）", L"停止/再開"};
    return settings.modifier + L"+" + KeySetting(settings, command) + L"：" +
           std::wstring(kDoes[static_cast<std::size_t>(command)]);
}

KeyLabels KeyLabelsFor(const Settings& settings)
{
    return KeyLabels{settings.modifier + L"+" + settings.nameKey,
                     settings.modifier + L"+" + settings.valueKey};
}

} // namespace mirufon
