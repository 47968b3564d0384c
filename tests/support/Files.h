#pragma once

// Files for the tests that need real ones: a fresh folder of their own, and whole files read and
// written byte for byte.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>

namespace testsupport
{

// A fresh folder under the temporary folder, named prefix, the process id and a number, removed
// with everything in it at the end.
class TempFolder
{
  public:
    explicit TempFolder(const std::wstring& prefix);
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::wstring& Path() const { return m_path; }
    // The folder's own name, the last part of its path.
    std::wstring Name() const { return m_path.substr(m_path.find_last_of(L'\\') + 1); }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

  private:
    std::wstring m_path;
};

// The whole file, or nothing when it cannot be opened.
std::optional<std::string> ReadBytes(const std::wstring& path);
// Replaces the file with exactly these bytes.
bool WriteBytes(const std::wstring& path, const std::string& bytes);

} // namespace testsupport
