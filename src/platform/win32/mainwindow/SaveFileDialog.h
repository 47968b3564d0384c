#pragma once

#include "platform/win32/window/Handles.h"
#include "shell/Dialogs.h"

#include <string>

namespace mirufon::win32
{

// The system's Save dialog (IFileSaveDialog) owned by the window, on the suggested name in the
// folder, or in the user's Documents folder when the folder is empty; it asks before replacing
// a file. Needs a single-threaded COM apartment on the calling thread. Returns once it has
// closed: the chosen path, nothing when cancelled, or why it could not be shown.
SaveChoice ChooseSaveFile(HWND owner, const std::wstring& suggestedName,
                          const std::wstring& folder);

} // namespace mirufon::win32
