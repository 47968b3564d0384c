// The program under stress and with damaged input: copies in quick succession, stop presses at
// a brisk pace, a window stored off every screen, Conf.txt in the encodings of modern editors,
// an oversized line and the leftover of an interrupted save.

#include "e2e/harness/AppDriver.h"
#include "e2e/harness/Clipboard.h"
#include "e2e/harness/Harness.h"
#include "e2e/harness/Input.h"
#include "e2e/harness/ProcessCounters.h"
#include "e2e/harness/SystemChecks.h"
#include "e2e/harness/Target.h"
#include "platform/win32/settingsdialog/SettingsDialogIds.h"
#include "shell/Layout.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace e2e
{
namespace
{

using namespace mirufon::win32;

constexpr wchar_t kClipboardErrorMarker[] = L"%%%% error addclip %%%%";

std::vector<std::wstring> Items(const std::wstring& log)
{
    std::vector<std::wstring> items;
    size_t start = 0;
    while (start <= log.size())
    {
        const size_t end = log.find(L"\r\n", start);
        items.push_back(log.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos)
        {
            break;
        }
        start = end + 2;
    }
    return items;
}

std::wstring Numbered(const wchar_t* prefix, int number)
{
    wchar_t text[64] = {};
    ::swprintf(text, 64, L"%ls %04d", prefix, number);
    return text;
}

// The value of "key = value" in Conf.txt's text.
std::wstring ConfValue(const std::wstring& conf, const std::wstring& key)
{
    const std::wstring head = key + L" = ";
    const size_t at = conf.find(head);
    if (at == std::wstring::npos)
    {
        return L"<missing>";
    }
    const size_t begin = at + head.size();
    return conf.substr(begin, conf.find(L"\r\n", begin) - begin);
}

RECT WorkAreaOf(HWND window)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

RECT RectOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

class Robustness : public ::testing::Test
{
  protected:
    HWND Start(const std::string& conf)
    {
        EXPECT_TRUE(WriteBytes(m_folder.File(L"Conf.txt"), conf));
        m_app.emplace(m_folder);
        return m_app->MainWindow();
    }

    std::wstring WrittenConf()
    {
        return AnsiToWide(ReadBytes(m_folder.File(L"Conf.txt")).value_or(""));
    }

    TempFolder m_folder;
    std::optional<App> m_app;
};

// Another program replaces the clipboard as fast as it can: copies it overwrites before anyone
// reads them are gone, but no clipboard state may become two items. At a person's pace every
// copy arrives once, in order.
TEST_F(Robustness, ClipboardStatesAreAppendedOnceEvenInABurst)
{
    const HWND main = Start("add copy = 1\r\n");
    ASSERT_NE(main, nullptr);
    TargetWindow target;
    target.BringToFront();

    constexpr int kBurst = 400;
    for (int i = 0; i < kBurst; ++i)
    {
        ASSERT_TRUE(SetClipboardText(target.Handle(), Numbered(L"burst", i)));
    }
    // Once this has arrived, every notification of the burst has been handled. A burst can keep
    // the clipboard busy through all ten tries of a read: the error box is then answered.
    ASSERT_TRUE(SetClipboardText(target.Handle(), L"burst end"));
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            if (const HWND box = m_app->FindWindowOf(L"#32770", L"クリップボードエラー"))
            {
                DismissMessageBox(box);
            }
            return Items(LogText(main)).back() == L"burst end";
        },
        30s))
        << Utf8(LogText(main).substr(0, 400));
    // Before the last item, only earlier states of the burst, each once, in order.
    std::vector<std::wstring> burst = Items(LogText(main));
    burst.pop_back();
    int last = -1;
    for (const std::wstring& item : burst)
    {
        int number = -1;
        if (item == kClipboardErrorMarker)
        {
            continue;
        }
        ASSERT_EQ(::swscanf(item.c_str(), L"burst %d", &number), 1) << Utf8(item);
        EXPECT_GT(number, last) << "appended twice or out of order: " << Utf8(item);
        last = number;
    }

    // A person's pace: one copy every 150 ms, whatever the program is doing.
    constexpr int kPaced = 20;
    const std::wstring before = LogText(main);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i <= kPaced; ++i)
    {
        const auto due = start + i * 150ms;
        PumpMessages(std::chrono::duration_cast<std::chrono::milliseconds>(std::max(
            due - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{})));
        ASSERT_TRUE(
            SetClipboardText(target.Handle(), i < kPaced ? Numbered(L"paced", i) : L"paced end"));
    }
    std::wstring expected = before;
    for (int i = 0; i < kPaced; ++i)
    {
        expected += L"\r\n" + Numbered(L"paced", i);
    }
    expected += L"\r\npaced end";
    EXPECT_TRUE(WaitForText(main, kIdLog, expected, 10s));
}

// Each press toggles: none may fall into a moment where the stop key is not registered (it
// would then reach the window in front as a plain key).
TEST_F(Robustness, StopPressesAtABriskPaceAreNeverLost)
{
    const HWND main = Start("");
    ASSERT_NE(main, nullptr);
    TargetWindow target;
    target.BringToFront();
    ASSERT_TRUE(ClickAt(target.EditCentre()));
    ASSERT_TRUE(WaitUntil([&] { return target.Focus() == target.Edit(); }, 3s));

    constexpr int kPresses = 400; // PressChord leaves 30 ms after each press
    for (int i = 0; i < kPresses; ++i)
    {
        ASSERT_TRUE(PressChord({VK_SHIFT}, 'G'));
    }
    // A loaded machine may toggle slower than the presses come: a command posted now is
    // carried out once every press before it has been.
    ::PostMessageW(main, WM_COMMAND, kMenuClear, 0);
    ASSERT_TRUE(WaitUntil([&] { return LogText(main).empty(); }, 60s));
    EXPECT_EQ(Utf8(WindowText(target.Edit())), Utf8(target.EditValue()))
        << "a stop press reached the window in front";
    // An even number of presses: running, so the name key captures.
    ASSERT_TRUE(MovePointer(target.ButtonCentre()));
    ASSERT_TRUE(PressChord({VK_SHIFT}, 'A'));
    EXPECT_TRUE(WaitForText(main, kIdLog, target.ButtonCaption()));
}

// A stored window whose title bar cannot be reached comes back on the nearest screen, and is
// written back there; one whose title bar is reachable stays exactly where it was.
TEST_F(Robustness, WindowStoredOffScreenComesBackAndAReachableOneStays)
{
    const int tpp = mirufon::TwipsPerPixel(ScreenDpi());
    {
        const HWND main = Start("form left = 99999999\r\nform top = 99999999\r\n");
        ASSERT_NE(main, nullptr);
        const RECT work = WorkAreaOf(main);
        const RECT placed = RectOf(main);
        EXPECT_GE(placed.left, work.left);
        EXPECT_GE(placed.top, work.top);
        EXPECT_LE(placed.right, work.right);
        EXPECT_LE(placed.bottom, work.bottom);
        ASSERT_TRUE(m_app->Close());
        const std::wstring conf = WrittenConf();
        EXPECT_EQ(ConfValue(conf, L"form left"), std::to_wstring(placed.left * tpp));
        EXPECT_EQ(ConfValue(conf, L"form top"), std::to_wstring(placed.top * tpp));
    }

    // 150 pixels of the title bar inside the right edge: reachable, kept.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.right - 150;
    const int top = work.top + 40;
    std::ostringstream conf;
    conf << "form left = " << left * tpp << "\r\nform top = " << top * tpp << "\r\n";
    const HWND main = Start(conf.str());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(RectOf(main).left, left);
    EXPECT_EQ(RectOf(main).top, top);
}

std::string Utf16Bytes(const std::wstring& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t unit : text)
    {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>((unit >> 8) & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::wstring FromUtf16(const std::string& bytes, bool bigEndian)
{
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(
            static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first)));
    }
    return text;
}

// Conf.txt as modern editors save it: read whole, first key included, and written back in the
// same encoding with the same byte-order mark.
TEST_F(Robustness, ConfInUtf8OrUtf16IsReadAndWrittenBackInItsEncoding)
{
    const std::wstring text = L"key get name = Q\r\nkey modify = Ctrl\r\ndisp pos = 左上隅\r\n"
                              L"search string = 検索 ｶﾀｶﾅ €\r\n";
    struct Case
    {
        const char* name;
        std::string bytes;
        std::string mark;
    };
    const Case cases[] = {
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + Utf8(text), "\xEF\xBB\xBF"},
        {"UTF-8", Utf8(text), ""},
        {"UTF-16 LE", Utf16Bytes(text, false), "\xFF\xFE"},
        {"UTF-16 BE", Utf16Bytes(text, true), "\xFE\xFF"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const HWND main = Start(c.bytes);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(Utf8(ControlText(main, kIdKeyName)), "Ctrl+Q");
        ASSERT_TRUE(m_app->Close());
        const std::string written = ReadBytes(m_folder.File(L"Conf.txt")).value_or("");
        ASSERT_EQ(written.substr(0, c.mark.size()), c.mark);
        ASSERT_NE(written.substr(c.mark.size(), 3), "\xEF\xBB\xBF") << "a mark was added";
        const std::string expectedLines =
            "disp pos = 左上隅\r\ndisp top = 1\r\nsearch string = 検索 ｶﾀｶﾅ €\r\n";
        if (c.mark.size() == 2)
        {
            const std::wstring wide = FromUtf16(written, c.mark == "\xFE\xFF");
            EXPECT_NE(Utf8(wide).find(expectedLines), std::string::npos) << Utf8(wide);
            EXPECT_NE(Utf8(wide).find("key get name = Q\r\n"), std::string::npos);
        }
        else
        {
            EXPECT_NE(written.find(expectedLines), std::string::npos) << written;
            EXPECT_NE(written.find("key get name = Q\r\n"), std::string::npos);
        }
    }
}

// One line of 10 MB is no setting: it is skipped, the other lines are read, and start-up is
// as quick as ever.
TEST_F(Robustness, OversizedLineIsSkippedAndStartUpStaysQuick)
{
    E2E_SKIP_IF(NeedsJapaneseWindows());
    const std::string conf =
        "key get name = Q\r\nkey modify = " + std::string(10'000'000, 'x') + "\r\nkey crlf = R\r\n";
    const HWND main = Start(conf);
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    EXPECT_EQ(Utf8(ControlText(main, kIdKeyName)), "Shift+Q");
    // Cut short, so that a failure does not print megabytes.
    EXPECT_TRUE(IsIntroduction(LogText(main).substr(0, 1000), L"改行", L"Shift", L"QZRBGL"));
    ASSERT_TRUE(m_app->Close());
    EXPECT_EQ(Utf8(ConfValue(WrittenConf(), L"key modify").substr(0, 40)), "Shift");
}

// A save killed between writing the temporary file and replacing Conf.txt leaves the
// temporary file: the next start removes it and reads Conf.txt itself.
TEST_F(Robustness, LeftoverOfAnInterruptedSaveIsRemovedAtStart)
{
    ASSERT_TRUE(WriteBytes(m_folder.File(L"Conf.txt.new"), "key get name = K\r\n"));
    const HWND main = Start("key get name = Q\r\n");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Utf8(ControlText(main, kIdKeyName)), "Shift+Q");
    EXPECT_TRUE(
        WaitUntil([&] { return !ReadBytes(m_folder.File(L"Conf.txt.new")).has_value(); }, 5s))
        << "Conf.txt.new is still there";
}

// Opened and closed again and again, the settings dialog leaves nothing behind: no GDI object
// (its class icons were loaded anew at every opening), no handle, no window.
TEST_F(Robustness, SettingsDialogOpenedAgainAndAgainLeavesNothingBehind)
{
    const HWND main = Start("");
    ASSERT_NE(main, nullptr);
    const auto openAndCancel = [&]
    {
        ::PostMessageW(main, WM_COMMAND, kMenuSettings, 0);
        HWND dialog = nullptr;
        const bool opened = WaitUntil(
            [&]
            {
                dialog = m_app->FindWindowOf(kSettingsDialogClass, L"");
                return dialog && ::IsWindowVisible(dialog);
            });
        if (opened)
        {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdSettingsCancel, BN_CLICKED), 0);
        }
        return opened && WaitUntil([&] { return !::IsWindow(dialog) && ::IsWindowEnabled(main); });
    };
    // The first openings create what lasts: the class, fonts, the system's caches.
    ASSERT_TRUE(openAndCancel());
    ASSERT_TRUE(openAndCancel());
    ProgramCounters counters(m_app->ProcessId(), L"");
    const Counters before = counters.Sample();
    ASSERT_GT(before.gdiObjects, 0) << "the GDI objects could not be counted";
    ASSERT_GT(before.handles, 0) << "the handles could not be counted";
    ASSERT_GT(before.windows, 0) << "the windows could not be counted";
    for (int i = 0; i < 12; ++i)
    {
        ASSERT_TRUE(openAndCancel()) << "opening " << i;
    }
    const Counters after = counters.Sample();
    // A few objects come and go with painting; a leak of one per opening would exceed this.
    EXPECT_LE(after.gdiObjects - before.gdiObjects, 6);
    EXPECT_LE(after.handles - before.handles, 2);
    EXPECT_EQ(after.windows, before.windows);
}

} // namespace
} // namespace e2e
