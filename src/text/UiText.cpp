#include "text/UiText.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace mirufon
{
namespace
{

constexpr std::size_t kLanguageCount = 1;

struct Entry
{
    UiText id;
    std::array<std::wstring_view, kLanguageCount> texts; // in the order of Language
};

// One row per text, one column per language.
constexpr Entry kTexts[] = {
    {UiText::AppName, {L"ミルフォン"}},
    {UiText::AlreadyRunningTitle, {L"起動中！"}},
    {UiText::AlreadyRunning, {L"ミルフォン({0}) は既に起動中です！"}},
    {UiText::StartFailed, {L"ミルフォンを起動できませんでした。"}},
    {UiText::SettingsNotSaved, {L"設定を保存できませんでした。"}},
    {UiText::LogNotSaved, {L"ログを保存できませんでした。"}},
    {UiText::RestoreQuestion, {L"前回のログが残っています。復元しますか？"}},
    {UiText::KeysHeldElsewhere, {L"次のホットキーは他のプログラムが使用中のため使えません。"}},
    {UiText::HotKeyHelpTitle, {L"ホットキー説明"}},
    {UiText::TrayNotice, {L"タスクトレイに収納します！"}},
    {UiText::NoResponse, {L"（応答なし）"}},
    {UiText::HarvestCut, {L"（上限に達したため、ここで打ち切りました）"}},

    {UiText::ClipboardErrorTitle, {L"クリップボードエラー"}},
    {UiText::ClipboardCannotOpen, {L"クリップボードを開けません。"}},
    {UiText::ClipboardNoText, {L"クリップボードに文字列がありません。"}},
    {UiText::ClipboardCannotRead, {L"クリップボードの文字列を読めません。"}},

    {UiText::MenuStop, {L"停止"}},
    {UiText::MenuResume, {L"再開"}},
    {UiText::MenuView, {L"表示"}},
    {UiText::MenuAlwaysOnTop, {L"最前面表示"}},
    {UiText::MenuClear, {L"クリア"}},
    {UiText::MenuSettings, {L"設定"}},
    {UiText::MenuHelp, {L"ヘルプ"}},
    {UiText::MenuHotKeys, {L"？ホットキー"}},
    {UiText::MenuVersion, {L"バージョン"}},
    {UiText::MenuShow, {L"表示"}},
    {UiText::MenuLeaveTray, {L"トレイから出す"}},
    {UiText::MenuQuit, {L"終了"}},

    {UiText::LogUndo, {L"元に戻す(&U)"}},
    {UiText::LogCut, {L"切り取り(&T)"}},
    {UiText::LogCopy, {L"コピー(&C)"}},
    {UiText::LogPaste, {L"貼り付け(&P)"}},
    {UiText::LogDelete, {L"削除(&D)"}},
    {UiText::LogSelectAll, {L"すべて選択(&A)"}},
    {UiText::LogSave, {L"ログを保存(&S)..."}},

    {UiText::NameLabel, {L"accName:"}},
    {UiText::ValueLabel, {L"accValue:"}},

    {UiText::DuplicateTitle, {L"重複"}},
    {UiText::DuplicateKeys, {L"キーが重複しています！"}},
    {UiText::HotKeysFrame, {L"ホットキー"}},
    {UiText::OtherFrame, {L"その他"}},
    {UiText::CopyCaptureCheck, {L"コピーでも取得"}},
    {UiText::TabSeparatorCheck, {L"タブ区切り"}},
    {UiText::OkButton, {L"OK"}},
    {UiText::CancelButton, {L"Cancel"}},
    {UiText::ModifierTip, {L"装飾キー"}},
    {UiText::CopyCaptureTip, {L"コピーした文字列も取得する"}},
    {UiText::TabSeparatorTip, {L"項目区切りをタブ(x09)コード挿入"}},
    {UiText::HeadingCaptureName, {L"取得"}},
    {UiText::HeadingLineBreak, {L"改行"}},
    {UiText::HeadingCancel, {L"取消"}},
    {UiText::HeadingStopResume, {L"停止/再開"}},
    {UiText::HeadingHarvest, {L"まとめて取得"}},
    {UiText::HeadingName, {L"accName"}},
    {UiText::HeadingValue, {L"accValue"}},
    {UiText::HeadingModifier, {L"修飾キー"}},

    {UiText::IntroFirstLine, {L"ポイント位置の文字列を連続取得します。"}},
    {UiText::IntroSeparator, {L"区切り："}},
    {UiText::SeparatorTab, {L"タブ"}},
    {UiText::SeparatorLineBreak, {L"改行"}},
    {UiText::IntroKeysHeading, {L"操作用のホットキー"}},
    {UiText::IntroKeyDoes, {L"："}},
    {UiText::DoesCaptureName, {L"ポイント位置文字列取得 accName"}},
    {UiText::DoesCaptureValue, {L"ポイント位置文字列取得 accValue"}},
    {UiText::DoesLineBreak, {L"改行"}},
    {UiText::DoesCancel, {L"取り消し（前回取得項目キャンセル）"}},
    {UiText::DoesStopResume, {L"停止/再開"}},
    {UiText::DoesHarvest, {L"まとめて取得"}},
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
