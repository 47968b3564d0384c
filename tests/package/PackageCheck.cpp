// The program as a user gets it: the x64 zip unpacked into a folder whose path holds Japanese
// text and spaces (MIRUFON_PACKAGE_DIR, set by scripts/check-package). From there it starts,
// captures, keeps its settings beside itself and opens the help page shipped with it.

#include "MirufonVersion.h"
#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/HtmlHandler.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/Target.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

constexpr int kMenuHelpPosition = 4; // 停止 | 表示 | クリア | 設定 | ヘルプ | ？ホットキー

class Package : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        wchar_t path[MAX_PATH * 4] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"MIRUFON_PACKAGE_DIR", path, MAX_PATH * 4);
        m_folder.assign(path, length < MAX_PATH * 4 ? length : 0);
        while (!m_folder.empty() && (m_folder.back() == L'\\' || m_folder.back() == L'/'))
        {
            m_folder.pop_back();
        }
        ASSERT_FALSE(m_folder.empty()) << "MIRUFON_PACKAGE_DIR names no folder";
        ASSERT_NE(m_folder.find(L' '), std::wstring::npos) << Utf8(m_folder);
        ASSERT_TRUE(
            std::any_of(m_folder.begin(), m_folder.end(), [](wchar_t c) { return c > 0x3000; }))
            << "no Japanese text in " << Utf8(m_folder);
        ASSERT_NE(::GetFileAttributesW(Exe().c_str()), INVALID_FILE_ATTRIBUTES) << Utf8(Exe());
    }

    std::wstring File(const std::wstring& name) const { return m_folder + L"\\" + name; }
    std::wstring Exe() const { return File(L"mirufon.exe"); }

    std::wstring m_folder;
};

TEST_F(Package, StartsInItsFolderCapturesAndSavesItsSettingsThere)
{
    ::DeleteFileW(File(L"Conf.txt").c_str());
    App app(Exe());
    ASSERT_TRUE(app.StartError().empty()) << Utf8(app.StartError());
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr) << "the main window did not appear";

    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    ASSERT_TRUE(WaitForText(main, kIdLog, target.ButtonCaption()));

    ASSERT_TRUE(app.Close());
    const auto conf = ReadBytes(File(L"Conf.txt"));
    ASSERT_TRUE(conf.has_value()) << "no Conf.txt beside the program";
    EXPECT_NE(conf->find("key get name = A\r\n"), std::string::npos) << *conf;
}

TEST_F(Package, HelpMenuOpensThePageShippedBesideTheProgram)
{
    const auto shipped = ReadBytes(File(L"mirufon-help.html"));
    ASSERT_TRUE(shipped.has_value());
    TempFolder scratch;
    const std::wstring opened = scratch.File(L"opened.html");
    HtmlHandlerOverride handler(opened);
    App app(Exe());
    const HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ChooseMenu(main, kMenuHelpPosition));
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(opened) == shipped; }, 15s))
        << "the page beside the program was not opened";
    EXPECT_TRUE(app.Close());
}

// The version resource and the manifest carry the project version from CMakeLists.txt.
TEST_F(Package, ProgramCarriesTheProjectVersion)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(Exe().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(Exe().c_str(), 0, size, block.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    // The order of the four parts, as the program reads them back for its version texts.
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(MIRUFON_VERSION_MINOR, MIRUFON_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(MIRUFON_VERSION_REVISION, MIRUFON_VERSION_PATCH));
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\FileVersion", &value,
                                 &length));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"" MIRUFON_VERSION_STRING);

    const HMODULE image = ::LoadLibraryExW(Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    const HRSRC resource = ::FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    const HGLOBAL loaded = resource ? ::LoadResource(image, resource) : nullptr;
    const std::string manifest = loaded
                                     ? std::string(static_cast<const char*>(::LockResource(loaded)),
                                                   ::SizeofResource(image, resource))
                                     : std::string();
    ::FreeLibrary(image);
    EXPECT_NE(manifest.find("name=\"Mirufon.Mirufon\" version=\"" MIRUFON_VERSION_STRING "\""),
              std::string::npos)
        << manifest;
    // A program without an execution level is run with its writes to Program Files redirected
    // (32-bit) or refused without a word of where Conf.txt went.
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos)
        << manifest;
}

} // namespace
} // namespace e2e
