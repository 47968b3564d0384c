#pragma once

// What a test needs of the system it runs on. The suite runs under Wine on the project's
// machines and on a real Windows from the tests zip; a test that needs what only one of them
// has skips on the other, saying why. Each check gives that reason, or nothing when the test
// can run here.

#include <optional>
#include <string>

namespace e2e
{

// Whether this process runs under Wine: Wine's ntdll exports wine_get_version, Windows' does
// not.
bool UnderWine();

// For a test of Wine's own programs or settings (its regedit and task manager, its notepad,
// the keys of its prefix): what it uses, said in the reason.
std::optional<std::string> NeedsWine(const std::string& what);

// For a test that reads the program's Japanese texts or Conf.txt in code page 932: a Japanese
// display language and ANSI code page, where the program speaks Japanese.
std::optional<std::string> NeedsJapaneseWindows();

// For the English suite: a display language other than Japanese, and an ANSI code page other
// than 932.
std::optional<std::string> NeedsEnglishWindows();

} // namespace e2e

// Skips the test, saying why, when the check gives a reason: E2E_SKIP_IF(NeedsWine("...")).
#define E2E_SKIP_IF(check)                                                                         \
    if (const std::optional<std::string> skipReason = (check))                                     \
    GTEST_SKIP() << *skipReason
