#include "platform/win32/mainwindow/FindDialog.h"

#include <algorithm>

namespace mirufon::win32
{
namespace
{

// The dialog's window property that points to its FindDialog.
constexpr wchar_t kOwnerProperty[] = L"Mirufon.FindDialog";

} // namespace

FindDialog::FindDialog() : m_requestMessage(::RegisterWindowMessageW(FINDMSGSTRINGW))
{
}

FindDialog::~FindDialog()
{
    Close();
}

void FindDialog::Close()
{
    if (m_dialog)
    {
        ::DestroyWindow(m_dialog);
        m_dialog = nullptr;
    }
}

bool FindDialog::Open(HWND owner, std::wstring_view what, bool matchCase)
{
    if (m_dialog)
    {
        ::SetActiveWindow(m_dialog);
        return true;
    }
    m_what.fill(L'\0');
    std::copy_n(what.begin(), std::min<std::size_t>(what.size(), kTextRoom - 1), m_what.begin());
    m_request = FINDREPLACEW{};
    m_request.lStructSize = sizeof m_request;
    m_request.hwndOwner = owner;
    // Whole words are not told apart: the box for them is hidden.
    m_request.Flags = FR_DOWN | FR_HIDEWHOLEWORD | FR_ENABLEHOOK | (matchCase ? FR_MATCHCASE : 0);
    m_request.lpstrFindWhat = m_what.data();
    m_request.wFindWhatLen = kTextRoom;
    m_request.lpfnHook = &FindDialog::Hook;
    m_request.lCustData = reinterpret_cast<LPARAM>(this);
    m_dialog = ::FindTextW(&m_request);
    return m_dialog != nullptr;
}

bool FindDialog::TranslateDialogMessage(MSG& message)
{
    return m_dialog && ::IsDialogMessageW(m_dialog, &message) != FALSE;
}

std::optional<FindRequest> FindDialog::TakeRequest(LPARAM lParam)
{
    const auto* request = reinterpret_cast<const FINDREPLACEW*>(lParam);
    if (!request || request->lCustData != reinterpret_cast<LPARAM>(this))
    {
        return std::nullopt;
    }
    if (request->Flags & FR_DIALOGTERM)
    {
        // The dialog destroys itself once this message has been handled.
        m_dialog = nullptr;
        return std::nullopt;
    }
    if (!(request->Flags & FR_FINDNEXT))
    {
        return std::nullopt;
    }
    return FindRequest{std::wstring(request->lpstrFindWhat), (request->Flags & FR_MATCHCASE) != 0,
                       (request->Flags & FR_DOWN) ? SearchDirection::Down : SearchDirection::Up};
}

// Everything goes on to the dialog's own handling (FALSE); WM_INITDIALOG answers TRUE, so that
// the dialog gives its first control the focus. The dialog also goes when its owner does,
// without a request that says so: its FindDialog forgets it then.
UINT_PTR CALLBACK FindDialog::Hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        ::SetPropW(
            dialog, kOwnerProperty,
            reinterpret_cast<HANDLE>(reinterpret_cast<const FINDREPLACEW*>(lParam)->lCustData));
        return TRUE;
    case WM_ACTIVATE:
        ::SendMessageW(::GetWindow(dialog, GW_OWNER), kActivationMessage,
                       LOWORD(wParam) != WA_INACTIVE ? 1 : 0, 0);
        break;
    case WM_DESTROY:
        if (auto* self = static_cast<FindDialog*>(::RemovePropW(dialog, kOwnerProperty)))
        {
            self->m_dialog = nullptr;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace mirufon::win32
