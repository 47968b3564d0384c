#include "platform/win32/reading/Accessibility.h"
#include "support/ControlItems.h"
#include "support/MessagePump.h"
#include "support/ProcessObjects.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <psapi.h>

#include <cwctype>
#include <string>

namespace mirufon::win32
{
namespace
{

constexpr wchar_t WindowClassName[] = L"MirufonAccessibilityTestWindow";
constexpr wchar_t WindowCaption[] = L"標題 Title";
// Japanese, ASCII, and characters outside code page 932 (the euro sign, a surrogate pair).
constexpr wchar_t ButtonCaption[] = L"保存 Save Ω€ 😀";
constexpr wchar_t EditValue[] = L"東京 Tokyo 한국어 €";

// What the accessibility reader gives at a point, with no control known there.
ReaderAnswer ReadAccessibleAt(POINT point, WantedTexts wanted)
{
    ReadTarget target;
    target.x = point.x;
    target.y = point.y;
    return MsaaReader().Read(target, wanted);
}

std::wstring NameAt(POINT point)
{
    return ReadAccessibleAt(point, WantedTexts{true, false}).name;
}

std::wstring ValueAt(POINT point)
{
    return ReadAccessibleAt(point, WantedTexts{false, true}).value;
}

void PumpMessages(DWORD milliseconds)
{
    testsupport::DispatchFor(std::chrono::milliseconds(milliseconds));
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
    {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

// Whether the executable names oleacc.dll in its import table, i.e. links it at load time.
bool ImportsOleAcc()
{
    const auto* base = reinterpret_cast<const BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
    {
        return false;
    }
    const auto* import =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name != 0; ++import)
    {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), "oleacc.dll") == 0)
        {
            return true;
        }
    }
    return false;
}

struct ResourceUse
{
    long handles = -1;
    long gdiObjects = -1;
    long userObjects = -1;
    SIZE_T committedBytes = 0;
    SIZE_T heapBytesInUse = 0;
};

// Bytes in busy blocks over all the process's heaps: COM objects and BSTRs live there.
SIZE_T HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = ::GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i)
    {
        if (!::HeapLock(heaps[i]))
        {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[i], &entry))
        {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0)
            {
                total += entry.cbData;
            }
        }
        ::HeapUnlock(heaps[i]);
    }
    return total;
}

// Wine leaves the handle and GUI object counts at 0; Windows fills them. There the handles and
// GDI objects are counted in Wine's tables, and the windows stand for the USER objects (the
// ones a read could leave here are the windows of COM's apartments). PagefileUsage is the
// process's private committed memory on both (Wine leaves PrivateUsage at 0).
ResourceUse MeasureResourceUse()
{
    ResourceUse use;
    const HANDLE process = ::GetCurrentProcess();
    use.handles = testsupport::HandlesOf(process, ::GetCurrentProcessId());
    use.gdiObjects = testsupport::GdiObjectsOf(process);
    const DWORD userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
    use.userObjects = userObjects != 0 ? static_cast<long>(userObjects)
                                       : testsupport::WindowsOf(::GetCurrentProcessId());
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(process, &memory, sizeof(memory)))
    {
        use.committedBytes = memory.PagefileUsage;
    }
    use.heapBytesInUse = HeapBytesInUse();
    return use;
}

// A visible, topmost window with a BUTTON and an EDIT, on an apartment-threaded COM thread
// as the program's UI thread is.
class AccessibilityTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(SUCCEEDED(com));
        m_comInitialised = true;

        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = WindowClassName;
        // Registered once for all the tests of the process.
        if (!::RegisterClassExW(&windowClass))
        {
            ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
        }

        m_window =
            ::CreateWindowExW(0, WindowClassName, WindowCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              120, 120, 460, 260, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(m_window, nullptr);
        m_button =
            ::CreateWindowExW(0, L"BUTTON", ButtonCaption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              20, 20, 260, 40, m_window, nullptr, instance, nullptr);
        ASSERT_NE(m_button, nullptr);
        m_edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", EditValue,
                                   WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 20, 90, 320, 30,
                                   m_window, nullptr, instance, nullptr);
        ASSERT_NE(m_edit, nullptr);

        ::SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::ShowWindow(m_window, SW_SHOWNORMAL);
        ::UpdateWindow(m_window);
        ::SetForegroundWindow(m_window);
        // Wait until hit tests at the controls find them: the window is really on screen.
        for (int tries = 0; tries < 100; ++tries)
        {
            PumpMessages(20);
            if (::WindowFromPoint(testsupport::CentreOf(m_button)) == m_button &&
                ::WindowFromPoint(testsupport::CentreOf(m_edit)) == m_edit)
            {
                return;
            }
        }
        FAIL() << "the test window did not come on screen";
    }

    void TearDown() override
    {
        if (m_window != nullptr)
        {
            ::DestroyWindow(m_window);
        }
        if (m_comInitialised)
        {
            ::CoUninitialize();
        }
    }

    // A point on the caption bar, between the window's top edge and its client area.
    POINT TitleBarPoint() const
    {
        RECT windowRect{};
        ::GetWindowRect(m_window, &windowRect);
        POINT clientOrigin{0, 0};
        ::ClientToScreen(m_window, &clientOrigin);
        return POINT{(windowRect.left + windowRect.right) / 2,
                     (windowRect.top + clientOrigin.y) / 2};
    }

    bool m_comInitialised = false;
    HWND m_window = nullptr;
    HWND m_button = nullptr;
    HWND m_edit = nullptr;
};

TEST_F(AccessibilityTest, ReadsNameAndValueOfTheControlUnderAPointInFullUnicode)
{
    const POINT button = testsupport::CentreOf(m_button);
    const POINT edit = testsupport::CentreOf(m_edit);

    EXPECT_EQ(NameAt(button), ButtonCaption);
    EXPECT_EQ(ValueAt(edit), EditValue);
    // A push button has no value: the read answers S_FALSE, which gives "".
    EXPECT_EQ(ValueAt(button), L"");

    // The text is read anew on every call.
    const std::wstring changed = L"변경됨 changed 😀";
    ::SetWindowTextW(m_edit, changed.c_str());
    EXPECT_EQ(ValueAt(edit), changed);
    ::SetWindowTextW(m_edit, L"");
    EXPECT_EQ(ValueAt(edit), L"");
}

TEST_F(AccessibilityTest, GivesEmptyTextWhereThereIsNoElementOrNoSuchProperty)
{
    // Far outside every screen: no window, no object.
    const POINT nowhere{-30000, -30000};
    EXPECT_EQ(NameAt(nowhere), L"");
    EXPECT_EQ(ValueAt(nowhere), L"");

    // Over the title bar Wine finds no object; Windows finds the title bar, named after the
    // window. Anything else would be text from somewhere it should not come from.
    const std::wstring titleName = NameAt(TitleBarPoint());
    EXPECT_TRUE(titleName.empty() || titleName == WindowCaption) << "got a foreign name";
    EXPECT_EQ(ValueAt(TitleBarPoint()), L"");

    // The controls still read correctly after the failed reads.
    EXPECT_EQ(NameAt(testsupport::CentreOf(m_button)), ButtonCaption);
}

TEST_F(AccessibilityTest, LoadsOleAccFromTheSystemFolderOnlyAndAtRunTime)
{
    EXPECT_FALSE(ImportsOleAcc()) << "oleacc.dll must not be linked at load time";

    ASSERT_EQ(NameAt(testsupport::CentreOf(m_button)), ButtonCaption);
    const HMODULE oleAcc = ::GetModuleHandleW(L"oleacc.dll");
    ASSERT_NE(oleAcc, nullptr);
    wchar_t modulePath[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(oleAcc, modulePath, MAX_PATH), 0u);
    wchar_t systemFolder[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryW(systemFolder, MAX_PATH), 0u);
    EXPECT_EQ(Lower(modulePath), Lower(std::wstring(systemFolder) + L"\\oleacc.dll"));
}

TEST_F(AccessibilityTest, ThousandsOfReadsLeakNoHandlesObjectsOrMemory)
{
    const POINT button = testsupport::CentreOf(m_button);
    const POINT edit = testsupport::CentreOf(m_edit);
    const POINT nowhere{-30000, -30000};
    auto readAll = [&](int rounds)
    {
        for (int i = 0; i < rounds; ++i)
        {
            // Successful reads, S_FALSE reads and failed hit tests alike.
            ASSERT_EQ(NameAt(button), ButtonCaption);
            ASSERT_EQ(ValueAt(edit), EditValue);
            ASSERT_EQ(ValueAt(button), L"");
            ASSERT_EQ(NameAt(nowhere), L"");
        }
    };
    // Let caches and first-use allocations settle before measuring.
    readAll(200);
    const ResourceUse before = MeasureResourceUse();
    ASSERT_GT(before.handles, 0) << "the handles could not be counted";
    ASSERT_GT(before.gdiObjects, 0) << "the GDI objects could not be counted";
    ASSERT_GT(before.userObjects, 0) << "the USER objects could not be counted";
    readAll(2000);
    const ResourceUse after = MeasureResourceUse();

    // Slack for counters that move on their own; a leak per read would be thousands of
    // handles or objects, and at least tens of bytes per read on the heap.
    EXPECT_LE(after.handles, before.handles + 20);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 20);
    EXPECT_LE(after.userObjects, before.userObjects + 20);
    EXPECT_LE(after.heapBytesInUse, before.heapBytesInUse + 64 * 1024)
        << "heap in use grew from " << before.heapBytesInUse << " to " << after.heapBytesInUse;
    EXPECT_LE(after.committedBytes, before.committedBytes + 1024 * 1024)
        << "committed memory grew from " << before.committedBytes << " to " << after.committedBytes;
}

} // namespace
} // namespace mirufon::win32
