#pragma once

#include "platform/win32/window/Handles.h"
#include "text/TextSearch.h"

#include <commdlg.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mirufon::win32
{

// What the Find dialog asks for when its "find next" button is pressed.
struct FindRequest
{
    std::wstring what;
    bool matchCase = false;
    SearchDirection direction = SearchDirection::Down;
};

// The system's Find dialog (FindTextW) over the log: modeless and owned by the main window.
// The owner receives the dialog's requests as RequestMessage() (lParam for TakeRequest), is
// told by kActivationMessage (wParam 1 or 0, sent) when the dialog gains or loses the
// activation, and passes its thread's messages through TranslateDialogMessage.
class FindDialog
{
  public:
    static constexpr UINT kActivationMessage = WM_APP + 20;

    FindDialog();
    FindDialog(const FindDialog&) = delete;
    FindDialog& operator=(const FindDialog&) = delete;
    // Destroys the dialog, which must not outlive the request it works on.
    ~FindDialog();

    UINT RequestMessage() const { return m_requestMessage; }

    // Opens the dialog on the text and the state of its match-case box, or brings the open one
    // to the front as it is. False when it could not be created.
    bool Open(HWND owner, std::wstring_view what, bool matchCase);
    bool IsOpen() const { return m_dialog != nullptr; }
    void Close();
    bool TranslateDialogMessage(MSG& message);

    // A request message: the search it asks for, or nothing when the dialog is going away.
    std::optional<FindRequest> TakeRequest(LPARAM lParam);

  private:
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // The longest text the dialog's box takes, with room for its NUL.
    static constexpr WORD kTextRoom = 1024;

    UINT m_requestMessage = 0;
    std::array<wchar_t, kTextRoom> m_what{};
    FINDREPLACEW m_request{};
    HWND m_dialog = nullptr;
};

} // namespace mirufon::win32
