#include "platform/win32/Program.h"
#include "platform/win32/mainwindow/ControlIds.h"
#include "platform/win32/storage/ProgramFolders.h"
#include "platform/win32/window/Handles.h"
#include "platform/win32/window/SystemMessage.h"
#include "shell/AppInfo.h"
#include "text/UiText.h"

namespace
{

// Libraries loaded at run time come from the system folder only: a DLL planted beside the
// executable or in the current folder is never picked up.
void RestrictLibrarySearch()
{
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    using namespace mirufon;
    using namespace mirufon::win32;

    RestrictLibrarySearch();
    // Japanese for a Japanese Windows, English for any other.
    SetLanguage(LanguageForDisplayLanguage(::GetUserDefaultUILanguage()));

    UniqueKernelHandle instanceMutex(::CreateMutexW(nullptr, FALSE, kSingleInstanceMutex));
    const DWORD mutexError = ::GetLastError();
    // A copy run as administrator made a mutex that this one may not open (error 5): it runs
    // all the same.
    if (mutexError == ERROR_ALREADY_EXISTS || (!instanceMutex && mutexError == ERROR_ACCESS_DENIED))
    {
        const std::wstring text = AlreadyRunningText(ExecutableBaseName());
        // On top and in front: the running instance's window may be topmost and would hide it.
        ::MessageBoxW(nullptr, text.c_str(),
                      std::wstring(Text(UiText::AlreadyRunningTitle)).c_str(),
                      MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
        return 0;
    }

    Program program(instance);
    if (!program.Start())
    {
        const DWORD error = program.StartError();
        const std::wstring text = StartFailedText(error != 0 ? SystemMessage(error) : L"");
        ::MessageBoxW(nullptr, text.c_str(), GetAppTitle().c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    return program.Run();
}
