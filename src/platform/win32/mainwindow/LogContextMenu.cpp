#include "platform/win32/mainwindow/LogContextMenu.h"

#include "text/UiText.h"

#include <windowsx.h>

namespace mirufon::win32
{
namespace
{

enum Command : UINT
{
    kUndo = 1,
    kCut,
    kCopy,
    kPaste,
    kDelete,
    kSelectAll,
    kSave,
    kFind,
};

struct EditState
{
    bool canUndo = false;
    bool hasSelection = false;
    bool hasText = false;
    bool canPaste = false;
};

EditState StateOf(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return EditState{::SendMessageW(edit, EM_CANUNDO, 0, 0) != 0, start != end,
                     ::GetWindowTextLengthW(edit) > 0,
                     ::IsClipboardFormatAvailable(CF_UNICODETEXT) != 0};
}

void Add(HMENU menu, UINT id, UiText caption, bool enabled)
{
    ::AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id,
                  std::wstring(Text(caption)).c_str());
}

UniqueMenu BuildMenu(const EditState& state, bool canSave)
{
    UniqueMenu menu(::CreatePopupMenu());
    HMENU m = menu.Get();
    Add(m, kUndo, UiText::LogUndo, state.canUndo);
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    Add(m, kCut, UiText::LogCut, state.hasSelection);
    Add(m, kCopy, UiText::LogCopy, state.hasSelection);
    Add(m, kPaste, UiText::LogPaste, state.canPaste);
    Add(m, kDelete, UiText::LogDelete, state.hasSelection);
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    Add(m, kSelectAll, UiText::LogSelectAll, state.hasText);
    Add(m, kFind, UiText::LogFind, state.hasText);
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    Add(m, kSave, UiText::LogSave, canSave);
    return menu;
}

// Where the menu opens: the clicked point, or for the keyboard's menu key the caret.
POINT MenuPoint(HWND edit, LPARAM point)
{
    if (point != -1)
    {
        return POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    }
    POINT caret{};
    if (::GetFocus() == edit && ::GetCaretPos(&caret))
    {
        ::ClientToScreen(edit, &caret);
        return caret;
    }
    RECT box{};
    ::GetWindowRect(edit, &box);
    return POINT{box.left, box.top};
}

void Run(HWND edit, UINT command, const LogMenuSave& save, const std::function<void()>& find)
{
    switch (command)
    {
    case kUndo:
        ::SendMessageW(edit, WM_UNDO, 0, 0);
        break;
    case kCut:
        ::SendMessageW(edit, WM_CUT, 0, 0);
        break;
    case kCopy:
        ::SendMessageW(edit, WM_COPY, 0, 0);
        break;
    case kPaste:
        ::SendMessageW(edit, WM_PASTE, 0, 0);
        break;
    case kDelete:
        ::SendMessageW(edit, WM_CLEAR, 0, 0);
        break;
    case kSelectAll:
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        break;
    case kSave:
        if (save.save)
        {
            save.save();
        }
        break;
    case kFind:
        if (find)
        {
            find();
        }
        break;
    default:
        break;
    }
}

} // namespace

void ShowLogContextMenu(HWND edit, LPARAM point, const LogMenuSave& save,
                        const std::function<void()>& find)
{
    // As the box's own menu does: it takes the focus, so its selection shows.
    ::SetFocus(edit);
    const UniqueMenu menu = BuildMenu(StateOf(edit), save.enabled);
    const POINT at = MenuPoint(edit, point);
    const auto chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_RIGHTBUTTON,
                         at.x, at.y, 0, edit, nullptr));
    Run(edit, chosen, save, find);
}

} // namespace mirufon::win32
