#include "capture/CaptureLog.h"
#include "platform/win32/mainwindow/Win32TextBox.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon::win32
{
namespace
{

// A real multi-line EDIT in a hidden window, styled as the main window's log.
class Win32TextBoxTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_edit = ::CreateWindowExW(0, L"EDIT", L"",
                                   WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL |
                                       ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
                                   0, 0, 380, 280, m_parent, nullptr, nullptr, nullptr);
        ASSERT_NE(m_edit, nullptr);
        LiftTextLimit(m_edit);
        m_box.Attach(m_edit);
    }
    void TearDown() override { ::DestroyWindow(m_parent); }

    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
    Win32TextBox m_box;
};

TEST_F(Win32TextBoxTest, HoldsFarMoreThan32767CharactersAndEditsAtTheEnd)
{
    const std::wstring line = L"0123456789abcdefghij\r\n";
    std::wstring big;
    while (big.size() < 200000)
    {
        big += line;
    }
    m_box.SetText(big);
    ASSERT_EQ(m_box.Length(), big.size());

    m_box.Append(L"末尾\tend");
    EXPECT_EQ(m_box.Length(), big.size() + 6);
    EXPECT_EQ(m_box.Slice(big.size() - 2, 100), L"\r\n末尾\tend");
    EXPECT_EQ(m_box.Slice(m_box.Length(), 5), L"");

    // The caret sits at the end after every edit.
    DWORD start = 0, end = 0;
    ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, m_box.Length());
    EXPECT_EQ(end, m_box.Length());

    m_box.Truncate(big.size() - line.size());
    EXPECT_EQ(m_box.Length(), big.size() - line.size());
    EXPECT_EQ(m_box.Text(), big.substr(0, big.size() - line.size()));
}

TEST_F(Win32TextBoxTest, CaptureLogWorksOnTheRealControl)
{
    Settings settings;
    settings.separator = L"\t";
    settings.tabSeparated = 1;
    CaptureLog log(m_box, settings);
    log.ShowIntroduction();
    log.AppendItem(L"a\tb");
    log.AppendItem(L"c");
    log.AppendLineBreak();
    log.AppendItem(L"d");
    EXPECT_EQ(m_box.Text(), L"a b\tc\r\nd");
    log.CancelLastItem();
    EXPECT_EQ(m_box.Text(), L"a b\tc");
    log.CancelLastItem();
    EXPECT_EQ(m_box.Text(), L"a b");

    // A cancel far beyond the 16-bit positions still cuts at the right place.
    std::wstring big(70000, L'x');
    m_box.SetText(big);
    log.AppendItem(L"last");
    log.CancelLastItem();
    EXPECT_EQ(m_box.Length(), big.size());
}

} // namespace
} // namespace mirufon::win32
