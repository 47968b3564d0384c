#include "text/UiText.h"

#include "support/JapaneseText.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace mirufon
{
namespace
{

using testsupport::HasJapanese;

// Every text has both columns, and the English one, which menus and tooltips show where no
// test can read them back, holds no Japanese character.
TEST(UiText, EveryTextSpeaksBothLanguages)
{
    for (std::size_t row = 0; row < static_cast<std::size_t>(UiText::Count); ++row)
    {
        const auto id = static_cast<UiText>(row);
        SetLanguage(Language::Japanese);
        EXPECT_FALSE(Text(id).empty()) << row;
        SetLanguage(Language::English);
        EXPECT_FALSE(Text(id).empty()) << row;
        EXPECT_FALSE(HasJapanese(Text(id))) << row;
    }
    EXPECT_EQ(FormatText(UiText::AlreadyRunning, L"renamed"),
              L"Mirufon (renamed) is already running!");
    SetLanguage(Language::Japanese);

    struct Case
    {
        std::uint16_t languageId;
        Language language;
    };
    for (const Case& test : {Case{0x0411, Language::Japanese}, Case{0x0409, Language::English},
                             Case{0x0809, Language::English}, Case{0x0011, Language::Japanese},
                             Case{0x0804, Language::English}})
    {
        EXPECT_EQ(LanguageForDisplayLanguage(test.languageId), test.language) << test.languageId;
    }
}

} // namespace
} // namespace mirufon
