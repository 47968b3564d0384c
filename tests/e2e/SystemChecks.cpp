#include "e2e/SystemChecks.h"

#include "text/UiText.h"

#include <windows.h>

#include <cstdio>

namespace e2e
{
namespace
{

bool JapaneseDisplayLanguage()
{
    return mirufon::LanguageForDisplayLanguage(::GetUserDefaultUILanguage()) ==
           mirufon::Language::Japanese;
}

std::string LanguageAndCodePage()
{
    char text[96] = {};
    std::snprintf(text, sizeof text, "display language 0x%04X, ANSI code page %u",
                  ::GetUserDefaultUILanguage(), ::GetACP());
    return text;
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
    if (JapaneseDisplayLanguage() && ::GetACP() == 932)
    {
        return std::nullopt;
    }
    return "reads the program's Japanese texts, which it shows on a Japanese Windows only (" +
           LanguageAndCodePage() + " here; the English test runs instead)";
}

std::optional<std::string> NeedsEnglishWindows()
{
    if (!JapaneseDisplayLanguage() && ::GetACP() != 932)
    {
        return std::nullopt;
    }
    return "needs a Windows that is not Japanese, where the program speaks English (" +
           LanguageAndCodePage() + " here; the Japanese tests run instead)";
}

} // namespace e2e
