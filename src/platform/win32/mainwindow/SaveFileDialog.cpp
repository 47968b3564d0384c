#include "platform/win32/mainwindow/SaveFileDialog.h"

#include "platform/win32/window/SystemMessage.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace mirufon::win32
{
namespace
{

using Microsoft::WRL::ComPtr;

// A string the shell allocated with CoTaskMemAlloc.
class TaskString
{
  public:
    TaskString() = default;
    TaskString(const TaskString&) = delete;
    TaskString& operator=(const TaskString&) = delete;
    ~TaskString() { ::CoTaskMemFree(m_text); }

    PWSTR* Put() { return &m_text; }
    std::wstring Value() const { return m_text ? std::wstring(m_text) : std::wstring(); }

  private:
    PWSTR m_text = nullptr;
};

std::wstring DocumentsFolder()
{
    TaskString path;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, path.Put())))
    {
        return {};
    }
    return path.Value();
}

// The folder as a shell item; null when it no longer exists.
ComPtr<IShellItem> FolderItem(const std::wstring& folder)
{
    ComPtr<IShellItem> item;
    if (folder.empty() ||
        FAILED(::SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&item))))
    {
        return nullptr;
    }
    return item;
}

HRESULT Prepare(IFileSaveDialog& dialog, const std::wstring& suggestedName,
                const std::wstring& folder)
{
    FILEOPENDIALOGOPTIONS options = 0;
    HRESULT result = dialog.GetOptions(&options);
    if (FAILED(result))
    {
        return result;
    }
    // The program writes the file itself, beside the target first: the dialog creates none.
    result =
        dialog.SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                          FOS_NOREADONLYRETURN | FOS_NOCHANGEDIR | FOS_NOTESTFILECREATE);
    if (FAILED(result))
    {
        return result;
    }
    dialog.SetDefaultExtension(L"txt");
    if (const ComPtr<IShellItem> start = FolderItem(folder.empty() ? DocumentsFolder() : folder))
    {
        dialog.SetFolder(start.Get());
    }
    return dialog.SetFileName(suggestedName.c_str());
}

SaveChoice Failed(HRESULT result)
{
    ReportFailure(L"the Save dialog failed", static_cast<DWORD>(result));
    const std::wstring message = SystemMessage(static_cast<DWORD>(result));
    return SaveChoice{std::nullopt,
                      message.empty() ? std::to_wstring(static_cast<DWORD>(result)) : message};
}

} // namespace

SaveChoice ChooseSaveFile(HWND owner, const std::wstring& suggestedName, const std::wstring& folder)
{
    ComPtr<IFileSaveDialog> dialog;
    HRESULT result = ::CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&dialog));
    if (FAILED(result))
    {
        return Failed(result);
    }
    result = Prepare(*dialog.Get(), suggestedName, folder);
    if (FAILED(result))
    {
        return Failed(result);
    }
    result = dialog->Show(owner);
    if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED))
    {
        return SaveChoice{};
    }
    ComPtr<IShellItem> chosen;
    if (SUCCEEDED(result))
    {
        result = dialog->GetResult(&chosen);
    }
    TaskString path;
    if (SUCCEEDED(result))
    {
        result = chosen->GetDisplayName(SIGDN_FILESYSPATH, path.Put());
    }
    if (FAILED(result))
    {
        return Failed(result);
    }
    return SaveChoice{path.Value(), {}};
}

} // namespace mirufon::win32
