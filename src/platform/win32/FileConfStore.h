#pragma once

#include "platform/ConfStore.h"

#include <string>

namespace mirufon::win32
{

// Conf.txt at a fixed path, in the ANSI code page.
class FileConfStore final : public ConfStore
{
  public:
    explicit FileConfStore(std::wstring path);

    std::optional<std::wstring> Read() override;
    StoreWrite Write(std::wstring_view text) override;

    const std::wstring& Path() const { return m_path; }

  private:
    std::wstring m_path;
};

// The folder of the running executable, without a trailing separator.
std::wstring ExecutableDirectory();
// The executable's file name without folder and extension.
std::wstring ExecutableBaseName();
// Conf.txt beside the executable.
std::wstring ConfPathBesideExecutable();

} // namespace mirufon::win32
