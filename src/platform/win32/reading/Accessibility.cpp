#include "platform/win32/reading/Accessibility.h"

#include <oleacc.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>
#include <string_view>

namespace mirufon::win32
{
namespace
{

// Only the types are taken from the header: the functions themselves come from
// GetProcAddress.
using AccessibleObjectFromPointFunction = decltype(&::AccessibleObjectFromPoint);
using WindowFromAccessibleObjectFunction = decltype(&::WindowFromAccessibleObject);

// Through void (*)(), which GCC accepts as a generic function pointer type.
template <typename Function> Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// oleacc.dll is not a Known DLL. Linked at load time, a file of that name placed beside the
// executable would be loaded in its place before any of our code runs, so the library is
// loaded here, on first use, from the system folder only. It is never unloaded: a read that
// was abandoned in another program may still be running in its code when the program ends.
class OleAccLibrary
{
  public:
    static const OleAccLibrary& Instance()
    {
        static const OleAccLibrary library;
        return library;
    }

    OleAccLibrary(const OleAccLibrary&) = delete;
    OleAccLibrary& operator=(const OleAccLibrary&) = delete;

    AccessibleObjectFromPointFunction HitTest() const { return m_hitTest; }
    WindowFromAccessibleObjectFunction WindowOf() const { return m_windowOf; }

  private:
    OleAccLibrary()
        : m_module(::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    {
        if (!m_module)
        {
            return;
        }
        m_hitTest =
            Export<AccessibleObjectFromPointFunction>(m_module, "AccessibleObjectFromPoint");
        m_windowOf =
            Export<WindowFromAccessibleObjectFunction>(m_module, "WindowFromAccessibleObject");
    }

    HMODULE m_module;
    AccessibleObjectFromPointFunction m_hitTest = nullptr;
    WindowFromAccessibleObjectFunction m_windowOf = nullptr;
};

// Owns a VARIANT that a callee filled in; clearing it releases whatever it holds (a child
// given as VT_DISPATCH carries a reference).
class OwnedVariant
{
  public:
    OwnedVariant() { ::VariantInit(&m_value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { ::VariantClear(&m_value); }

    VARIANT* Put() { return &m_value; }
    // A bitwise copy for an [in] parameter: the callee borrows it and does not clear it.
    VARIANT Borrow() const { return m_value; }

  private:
    VARIANT m_value;
};

// Owns a BSTR that a callee allocated for us.
class OwnedBstr
{
  public:
    OwnedBstr() = default;
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    ~OwnedBstr() { ::SysFreeString(m_value); }

    BSTR* Put() { return &m_value; }

    // The text up to its first NUL, if any: the boxes the text goes into end it there anyway.
    std::wstring Text() const
    {
        if (m_value == nullptr)
        {
            return {};
        }
        const std::wstring_view all(m_value, ::SysStringLen(m_value));
        return std::wstring(all.substr(0, all.find(L'\0')));
    }

  private:
    BSTR m_value = nullptr;
};

enum class Property
{
    Name,
    Value,
};

// The object at a point and its child identifier, both adopted as they come back: the object
// with the reference it was handed out with, the child identifier to be cleared. The return
// code is not examined: what matters is whether an object came back.
struct HitObject
{
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    OwnedVariant child;
};

bool HitTest(POINT screenPoint, HitObject& hit) noexcept
{
    const AccessibleObjectFromPointFunction hitTest = OleAccLibrary::Instance().HitTest();
    if (hitTest == nullptr)
    {
        return false;
    }
    hitTest(screenPoint, hit.accessible.GetAddressOf(), hit.child.Put());
    return hit.accessible != nullptr;
}

// The property, "" when it fails, does not exist (S_FALSE) or comes without a string. The
// child identifier is passed on exactly as the hit test returned it.
std::wstring ReadProperty(const HitObject& hit, Property property) noexcept
{
    OwnedBstr text;
    const HRESULT result = property == Property::Name
                               ? hit.accessible->get_accName(hit.child.Borrow(), text.Put())
                               : hit.accessible->get_accValue(hit.child.Borrow(), text.Put());
    // S_FALSE means "no such property"; a string that came with it is still freed.
    if (result != S_OK)
    {
        return {};
    }
    try
    {
        return text.Text();
    }
    catch (const std::bad_alloc&)
    {
        return {};
    }
}

bool IsProtected(const HitObject& hit) noexcept
{
    OwnedVariant state;
    if (hit.accessible->get_accState(hit.child.Borrow(), state.Put()) != S_OK)
    {
        return false;
    }
    const VARIANT value = state.Borrow();
    return value.vt == VT_I4 && (value.lVal & STATE_SYSTEM_PROTECTED) != 0;
}

TextLevel LevelOf(const HitObject& hit, WindowId control) noexcept
{
    const VARIANT child = hit.child.Borrow();
    if (child.vt == VT_I4 && child.lVal != CHILDID_SELF)
    {
        return TextLevel::Item;
    }
    HWND window = nullptr;
    if (const auto windowOf = OleAccLibrary::Instance().WindowOf())
    {
        windowOf(hit.accessible.Get(), &window);
    }
    if (window && control && reinterpret_cast<WindowId>(window) != control)
    {
        return TextLevel::Container;
    }
    return TextLevel::Control;
}

std::wstring ReadAt(POINT screenPoint, Property property) noexcept
{
    HitObject hit;
    if (!HitTest(screenPoint, hit))
    {
        return {};
    }
    return ReadProperty(hit, property);
}

} // namespace

std::wstring GetAccNameAt(POINT screenPoint) noexcept
{
    return ReadAt(screenPoint, Property::Name);
}

std::wstring GetAccValueAt(POINT screenPoint) noexcept
{
    return ReadAt(screenPoint, Property::Value);
}

// An edit box's whole text is copied in one go by the accessibility layer. Its length, asked
// first with a time limit, tells whether the program answers and whether a long copy follows.
void AnnounceLongText(const ReadTarget& target)
{
    if (!target.progress)
    {
        return;
    }
    DWORD_PTR length = 0;
    if (::SendMessageTimeoutW(reinterpret_cast<HWND>(target.control), WM_GETTEXTLENGTH, 0, 0,
                              SMTO_ABORTIFHUNG, 200, &length) &&
        length >= kLongTextChars)
    {
        target.progress->LongTransfer(static_cast<std::size_t>(length));
    }
}

ReaderAnswer MsaaReader::Read(const ReadTarget& target, WantedTexts wanted)
{
    HitObject hit;
    if (!HitTest(POINT{target.x, target.y}, hit))
    {
        return {};
    }
    if (IsProtected(hit))
    {
        return ReaderAnswer{true, TextLevel::Control, {}, {}};
    }
    ReaderAnswer answer;
    answer.level = LevelOf(hit, target.control);
    if (wanted.name)
    {
        answer.name = ReadProperty(hit, Property::Name);
    }
    // An edit box's value is its whole text, which the accessibility layer copies whatever its
    // length; a read that wants only the beginning leaves it to the control's own messages,
    // which ask for no more than that.
    const bool limitedEdit = target.kind == ControlKind::Edit &&
                             answer.level == TextLevel::Control && target.maxChars != kWholeText;
    if (wanted.value && !limitedEdit)
    {
        if (target.kind == ControlKind::Edit && answer.level == TextLevel::Control)
        {
            AnnounceLongText(target);
        }
        answer.value = ReadProperty(hit, Property::Value);
    }
    return answer;
}

bool AccessibilityAvailable() noexcept
{
    return OleAccLibrary::Instance().HitTest() != nullptr;
}

} // namespace mirufon::win32
