#include "text/UiText.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace mirufon
{
namespace
{

constexpr std::size_t kLanguageCount = 2;

struct Entry
{
    UiText id;
    std::array<std::wstring_view, kLanguageCount> texts; // in the order of Language
};

// One row per text, one column per language.
constexpr Entry kTexts[] = {
    {UiText::AppName, {L"ミルフォン", L"Mirufon"}},
    {UiText::AlreadyRunningTitle, {L"起動中！", L"Already running"}},
    {UiText::AlreadyRunning, {L"ミルフォン({0}) は既に起動中です！", L"Mirufon ({0}) is already running!"}},
    {UiText::StartFailed, {L"ミルフォンを起動できませんでした。", L"Mirufon could not start."}},
    {UiText::SettingsNotSaved, {L"設定を保存できませんでした。", L"The settings could not be saved."}},
    {UiText::LogNotSaved, {L"ログを保存できませんでした。", L"The log could not be saved."}},
    {UiText::SavingAtSessionEnd, {L"設定とログを保存しています。", L"Saving the settings and the log."}},
    {UiText::RestoreQuestion, {L"前回のログが残っています。復元しますか？", L"A log from the last run is left. Restore it?"}},
    {UiText::KeysHeldElsewhere, {L"次のホットキーは他のプログラムが使用中のため使えません。", L"These hotkeys are in use by another program and cannot be used:"}},
    {UiText::HotKeyHelpTitle, {L"ホットキー説明", L"Hotkeys"}},
    {UiText::TrayNotice, {L"タスクトレイに収納します！", L"Going to the notification area!"}},
    {UiText::NoResponse, {L"（応答なし）", L"(Not responding)"}},
    {UiText::RunsAsAdministrator, {L"（管理者として実行中のため読めません）", L"(Runs as administrator: cannot be read)"}},
    {UiText::HarvestCut, {L"（上限に達したため、ここで打ち切りました）", L"(Cut here: the limit was reached)"}},

    {UiText::ClipboardErrorTitle, {L"クリップボードエラー", L"Clipboard error"}},
    {UiText::ClipboardCannotOpen, {L"クリップボードを開けません。", L"The clipboard cannot be opened."}},
    {UiText::ClipboardNoText, {L"クリップボードに文字列がありません。", L"The clipboard holds no text."}},
    {UiText::ClipboardCannotRead, {L"クリップボードの文字列を読めません。", L"The clipboard's text cannot be read."}},

    {UiText::MenuStop, {L"停止", L"Stop"}},
    {UiText::MenuResume, {L"再開", L"Resume"}},
    {UiText::MenuView, {L"表示", L"View"}},
    {UiText::MenuAlwaysOnTop, {L"最前面表示", L"Always on top"}},
    {UiText::MenuClear, {L"クリア", L"Clear"}},
    {UiText::MenuSettings, {L"設定", L"Settings"}},
    {UiText::MenuHelp, {L"ヘルプ", L"Help"}},
    {UiText::MenuHotKeys, {L"？ホットキー", L"Hotkeys?"}},
    {UiText::MenuVersion, {L"バージョン", L"Version"}},
    {UiText::MenuShow, {L"表示", L"Show"}},
    {UiText::MenuLeaveTray, {L"トレイから出す", L"Leave the tray"}},
    {UiText::MenuQuit, {L"終了", L"Quit"}},

    {UiText::LogUndo, {L"元に戻す(&U)", L"&Undo"}},
    {UiText::LogCut, {L"切り取り(&T)", L"Cu&t"}},
    {UiText::LogCopy, {L"コピー(&C)", L"&Copy"}},
    {UiText::LogPaste, {L"貼り付け(&P)", L"&Paste"}},
    {UiText::LogDelete, {L"削除(&D)", L"&Delete"}},
    {UiText::LogSelectAll, {L"すべて選択(&A)", L"Select &all"}},
    {UiText::LogSave, {L"ログを保存(&S)...", L"&Save log..."}},
    {UiText::LogFind, {L"検索...", L"Find..."}},

    {UiText::NameLabel, {L"accName:", L"accName:"}},
    {UiText::ValueLabel, {L"accValue:", L"accValue:"}},

    {UiText::DuplicateTitle, {L"重複", L"Duplicate"}},
    {UiText::DuplicateKeys, {L"キーが重複しています！", L"Two commands have the same key!"}},
    {UiText::HotKeysFrame, {L"ホットキー", L"Hotkeys"}},
    {UiText::OtherFrame, {L"その他", L"Other"}},
    {UiText::CopyCaptureCheck, {L"コピーでも取得", L"Capture copies too"}},
    {UiText::TabSeparatorCheck, {L"タブ区切り", L"Tab separated"}},
    {UiText::StartWithWindowsCheck, {L"Windows の起動時に開始", L"Start with Windows"}},
    {UiText::StartWithWindowsFailed, {L"Windows の起動時に開始する設定を変更できませんでした。", L"Starting with Windows could not be changed."}},
    {UiText::OkButton, {L"OK", L"OK"}},
    {UiText::CancelButton, {L"Cancel", L"Cancel"}},
    {UiText::ModifierTip, {L"装飾キー", L"Modifier key"}},
    {UiText::CopyCaptureTip, {L"コピーした文字列も取得する", L"Also capture text copied in other programs"}},
    {UiText::TabSeparatorTip, {L"項目区切りをタブ(x09)コード挿入", L"Separate items with a tab (x09)"}},
    {UiText::HeadingCaptureName, {L"取得", L"Capture"}},
    {UiText::HeadingLineBreak, {L"改行", L"Line break"}},
    {UiText::HeadingCancel, {L"取消", L"Cancel"}},
    {UiText::HeadingStopResume, {L"停止/再開", L"Stop/Resume"}},
    {UiText::HeadingHarvest, {L"まとめて取得", L"Harvest all"}},
    {UiText::HeadingName, {L"accName", L"accName"}},
    {UiText::HeadingValue, {L"accValue", L"accValue"}},
    {UiText::HeadingModifier, {L"修飾キー", L"Modifier"}},

    {UiText::IntroFirstLine, {L"ポイント位置の文字列を連続取得します。", L"Captures the text under the pointer, item after item."}},
    {UiText::IntroSeparator, {L"区切り：", L"Separator: "}},
    {UiText::SeparatorTab, {L"タブ", L"tab"}},
    {UiText::SeparatorLineBreak, {L"改行", L"line break"}},
    {UiText::IntroKeysHeading, {L"操作用のホットキー", L"Hotkeys"}},
    {UiText::IntroKeyDoes, {L"：", L": "}},
    {UiText::DoesCaptureName, {L"ポイント位置文字列取得 accName", L"capture the text under the pointer (accName)"}},
    {UiText::DoesCaptureValue, {L"ポイント位置文字列取得 accValue", L"capture the text under the pointer (accValue)"}},
    {UiText::DoesLineBreak, {L"改行", L"line break"}},
    {UiText::DoesCancel, {L"取り消し（前回取得項目キャンセル）", L"cancel the last item"}},
    {UiText::DoesStopResume, {L"停止/再開", L"stop/resume"}},
    {UiText::DoesHarvest, {L"まとめて取得", L"harvest everything under the pointer"}},
};

constexpr std::size_t kTextCount = static_cast<std::size_t>(UiText::Count);
static_assert(std::size(kTexts) == kTextCount, "one row per text");

// The table's rows in the order of UiText: checked once, at compile time.
constexpr bool RowsInOrder()
{
    for (std::size_t row = 0; row < kTextCount; ++row)
    {
        if (static_cast<std::size_t>(kTexts[row].id) != row)
        {
            return false;
        }
    }
    return true;
}
static_assert(RowsInOrder(), "rows in the order of UiText");

std::atomic<Language> g_language{Language::Japanese};

} // namespace

Language LanguageForDisplayLanguage(std::uint16_t languageId)
{
    // The primary language is the low ten bits (PRIMARYLANGID); 0x11 is Japanese.
    constexpr std::uint16_t kPrimaryMask = 0x3FF;
    constexpr std::uint16_t kJapanese = 0x11;
    return (languageId & kPrimaryMask) == kJapanese ? Language::Japanese : Language::English;
}

void SetLanguage(Language language)
{
    g_language = language;
}

Language CurrentLanguage()
{
    return g_language;
}

std::wstring_view Text(UiText id)
{
    const auto row = static_cast<std::size_t>(id);
    if (row >= kTextCount)
    {
        return {};
    }
    return kTexts[row].texts[static_cast<std::size_t>(g_language.load())];
}

std::wstring FormatText(UiText id, std::wstring_view argument)
{
    std::wstring text(Text(id));
    if (const std::size_t at = text.find(L"{0}"); at != std::wstring::npos)
    {
        text.replace(at, 3, argument);
    }
    return text;
}

} // namespace mirufon
