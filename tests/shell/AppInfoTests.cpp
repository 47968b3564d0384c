#include "shell/AppInfo.h"
#include "support/Version.h"
#include "text/UiText.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon
{
namespace
{

TEST(AppInfo, VersionTextJoinsMinorAndRevisionWithoutSeparator)
{
    EXPECT_EQ(GetVersionText(0, 2, 7), L"Ver0.27");
    EXPECT_EQ(GetVersionText(1, 10, 0), L"Ver1.100");
    EXPECT_EQ(GetVersionText(12, 0, 305), L"Ver12.0305");
}

TEST(AppInfo, TitleIsNameSpaceVersion)
{
    EXPECT_EQ(GetAppTitle(), testsupport::ExpectedTitle());
    EXPECT_EQ(GetAppTitle(3, 1, 4), L"ミルフォン Ver3.14");
}

TEST(AppInfo, VersionMenuTextHasOneSpaceThenTwo)
{
    EXPECT_EQ(VersionMenuText(L"mirufon", L"Example Works"),
              L"mirufon " + testsupport::ExpectedVersionText() + L"  Example Works");
    // A renamed executable and an empty company entry still give the same frame.
    EXPECT_EQ(VersionMenuText(L"別名", L""), L"別名 " + testsupport::ExpectedVersionText() + L"  ");
}

TEST(AppInfo, AlreadyRunningTextNamesTheExecutable)
{
    EXPECT_EQ(AlreadyRunningText(L"mirufon"), L"ミルフォン(mirufon) は既に起動中です！");
    EXPECT_EQ(AlreadyRunningText(L"renamed"), L"ミルフォン(renamed) は既に起動中です！");
    EXPECT_EQ(Text(UiText::AlreadyRunningTitle), L"起動中！");
}

TEST(AppInfo, StartFailedTextGivesTheSystemsReasonOnTheNextLine)
{
    EXPECT_EQ(StartFailedText(L"メモリが不足しています。"),
              L"ミルフォンを起動できませんでした。\r\nメモリが不足しています。");
    EXPECT_EQ(StartFailedText(L""), L"ミルフォンを起動できませんでした。");
}

} // namespace
} // namespace mirufon
