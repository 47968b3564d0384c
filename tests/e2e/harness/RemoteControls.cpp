#include "e2e/harness/RemoteControls.h"

#include "platform/win32/reading/RemoteMemory.h"

#include <cstddef>
#include <cstring>

namespace e2e
{
namespace
{

using mirufon::win32::RemoteBlock;

constexpr UINT kMessageLimitMs = 5000;
constexpr std::size_t kTextChars = 1024;

// A structure, then room for a text, in the other program's memory.
template <typename Item> struct ItemWithText
{
    Item item{};
    wchar_t text[kTextChars]{};
};

} // namespace

RemoteControls::RemoteControls(HWND anyWindow)
    : m_window(anyWindow), m_ready(mirufon::win32::OpenTargetProcess(anyWindow).access ==
                                   mirufon::win32::MemoryAccess::Open)
{
}

RemoteBlock RemoteControls::Block(std::size_t bytes) const
{
    return RemoteBlock(mirufon::win32::OpenTargetProcess(m_window).handle, bytes);
}

std::optional<LRESULT> RemoteControls::Send(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam) const
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageLimitMs,
                               &result))
    {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

HTREEITEM RemoteControls::TreeChild(HWND tree, HTREEITEM parent) const
{
    const auto item = Send(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT,
                           reinterpret_cast<LPARAM>(parent));
    return item ? reinterpret_cast<HTREEITEM>(*item) : nullptr;
}

HTREEITEM RemoteControls::TreeNext(HWND tree, HTREEITEM item) const
{
    const auto next = Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item));
    return next ? reinterpret_cast<HTREEITEM>(*next) : nullptr;
}

std::wstring RemoteControls::TreeItemText(HWND tree, HTREEITEM item) const
{
    RemoteBlock buffer = Block(sizeof(ItemWithText<TVITEMW>));
    if (!buffer)
    {
        return {};
    }
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText =
        static_cast<wchar_t*>(buffer.AddressAt(offsetof(ItemWithText<TVITEMW>, text)));
    request.cchTextMax = kTextChars;
    if (!buffer.Write(&request, sizeof request) ||
        !Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.AddressAt(0))) ||
        !buffer.Read(&request, sizeof request))
    {
        return {};
    }
    return mirufon::win32::ReadRemoteString(buffer.Process(), request.pszText, kTextChars);
}

std::optional<RECT> RemoteControls::TreeItemRect(HWND tree, HTREEITEM item) const
{
    RemoteBlock buffer = Block(sizeof(RECT));
    RECT rect{};
    // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
    std::memcpy(&rect, &item, sizeof(HTREEITEM));
    if (!buffer || !buffer.Write(&rect, sizeof rect))
    {
        return std::nullopt;
    }
    const auto shown =
        Send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer.AddressAt(0)));
    if (!shown || !*shown || !buffer.Read(&rect, sizeof rect))
    {
        return std::nullopt;
    }
    return rect;
}

int RemoteControls::ListViewCount(HWND list) const
{
    return static_cast<int>(Send(list, LVM_GETITEMCOUNT).value_or(0));
}

std::wstring RemoteControls::ListViewText(HWND list, int item, int column) const
{
    RemoteBlock buffer = Block(sizeof(ItemWithText<LVITEMW>));
    if (!buffer)
    {
        return {};
    }
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText =
        static_cast<wchar_t*>(buffer.AddressAt(offsetof(ItemWithText<LVITEMW>, text)));
    request.cchTextMax = kTextChars;
    if (!buffer.Write(&request, sizeof request) ||
        !Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
              reinterpret_cast<LPARAM>(buffer.AddressAt(0))) ||
        !buffer.Read(&request, sizeof request))
    {
        return {};
    }
    return mirufon::win32::ReadRemoteString(buffer.Process(), request.pszText, kTextChars);
}

std::optional<RECT> RemoteControls::ListViewCellRect(HWND list, int item, int column) const
{
    RemoteBlock buffer = Block(sizeof(RECT));
    RECT rect{};
    rect.top = column;
    rect.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    if (!buffer || !buffer.Write(&rect, sizeof rect))
    {
        return std::nullopt;
    }
    const auto found =
        Send(list, column == 0 ? LVM_GETITEMRECT : LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
             reinterpret_cast<LPARAM>(buffer.AddressAt(0)));
    if (!found || !*found || !buffer.Read(&rect, sizeof rect))
    {
        return std::nullopt;
    }
    return rect;
}

int RemoteControls::FindListViewItem(HWND list, const std::wstring& text, int column) const
{
    const int count = ListViewCount(list);
    for (int item = 0; item < count; ++item)
    {
        const std::wstring cell = ListViewText(list, item, column);
        if (::CompareStringOrdinal(cell.c_str(), -1, text.c_str(), -1, TRUE) == CSTR_EQUAL)
        {
            return item;
        }
    }
    return -1;
}

std::optional<POINT> VisibleCentreOf(HWND window, const RECT& client)
{
    RECT area{};
    RECT visible{};
    if (!::GetClientRect(window, &area) || !::IntersectRect(&visible, &area, &client))
    {
        return std::nullopt;
    }
    POINT centre{(visible.left + visible.right) / 2, (visible.top + visible.bottom) / 2};
    ::ClientToScreen(window, &centre);
    return centre;
}

} // namespace e2e
