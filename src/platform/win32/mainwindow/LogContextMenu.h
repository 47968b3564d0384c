#pragma once

#include "platform/win32/window/Handles.h"

#include <functional>

namespace mirufon::win32
{

// What the log's context menu adds to the usual edit commands.
struct LogMenuSave
{
    bool enabled = false;       // greyed while the log shows the introduction
    std::function<void()> save; // runs when "ログを保存(S)..." is chosen
};

// The log box's context menu (WM_CONTEXTMENU, at the point in lParam or, from the keyboard,
// at the caret): 元に戻す, 切り取り, コピー, 貼り付け, 削除, すべて選択, 検索 (find runs) and
// ログを保存, each enabled as the box's state allows. Returns once the chosen command has been
// carried out.
void ShowLogContextMenu(HWND edit, LPARAM point, const LogMenuSave& save,
                        const std::function<void()>& find);

} // namespace mirufon::win32
