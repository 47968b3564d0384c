#include "e2e/harness/SystemChecks.h"

#include "text/UiText.h"

#include <windows.h>

#include <cstdio>

namespace e2e
{
namespace
{

// Nothing when the display language and the ANSI code page are both Japanese, or both not, as
// wanted; otherwise the reason, with the language and code page found here.
std::optional<std::string> NeedsLanguage(bool japanese, const char* reason)
{
    const bool japaneseLanguage = mirufon::LanguageForDisplayLanguage(
                                      ::GetUserDefaultUILanguage()) == mirufon::Language::Japanese;
    if (japaneseLanguage == japanese && (::GetACP() == 932) == japanese)
    {
        return std::nullopt;
    }
    char here[96] = {};
    std::snprintf(here, sizeof here, "display language 0x%04X, ANSI code page %u",
                  ::GetUserDefaultUILanguage(), ::GetACP());
    return std::string(reason) + " (" + here + " here; the " +
           (japanese ? "English test runs" : "Japanese tests run") + " instead)";
}

} // namespace

bool UnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::string> NeedsWine(const std::string& what)
{
    if (UnderWine())
    {
        return std::nullopt;
    }
    return "needs " + what + ", which only Wine has (this is Windows itself)";
}

std::optional<std::string> NeedsJapaneseWindows()
{
    return NeedsLanguage(true, "reads the program's Japanese texts, which it shows on a Japanese "
                               "Windows only");
}

std::optional<std::string> NeedsEnglishWindows()
{
    return NeedsLanguage(false,
                         "needs a Windows that is not Japanese, where the program speaks English");
}

} // namespace e2e
