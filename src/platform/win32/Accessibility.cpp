#include "platform/win32/Accessibility.h"

#include <oleacc.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string_view>

namespace mirufon::win32
{
namespace
{

// Only the type is taken from the header: the function itself comes from GetProcAddress.
using AccessibleObjectFromPointFunction = decltype(&::AccessibleObjectFromPoint);

// oleacc.dll is not a Known DLL. Linked at load time, a file of that name placed beside the
// executable would be loaded in its place before any of our code runs, so the library is
// loaded here, on first use, from the system folder only.
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

  private:
    OleAccLibrary()
        : m_module(::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    {
        if (!m_module)
        {
            return;
        }
        const FARPROC address = ::GetProcAddress(m_module.Get(), "AccessibleObjectFromPoint");
        // Through void (*)(), which GCC accepts as a generic function pointer type.
        m_hitTest = reinterpret_cast<AccessibleObjectFromPointFunction>(
            reinterpret_cast<void (*)()>(address));
    }

    UniqueModule m_module;
    AccessibleObjectFromPointFunction m_hitTest = nullptr;
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

std::wstring ReadAt(POINT screenPoint, Property property) noexcept
{
    const AccessibleObjectFromPointFunction hitTest = OleAccLibrary::Instance().HitTest();
    if (hitTest == nullptr)
    {
        return {};
    }

    // Both out parameters are adopted as they come back: the object with the reference it was
    // handed out with, the child identifier to be cleared. The return code is not examined:
    // what matters is whether an object came back.
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    OwnedVariant child;
    hitTest(screenPoint, accessible.GetAddressOf(), child.Put());
    if (!accessible)
    {
        return {};
    }

    // The child identifier is passed on exactly as the hit test returned it.
    OwnedBstr text;
    const HRESULT result = property == Property::Name
                               ? accessible->get_accName(child.Borrow(), text.Put())
                               : accessible->get_accValue(child.Borrow(), text.Put());
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

} // namespace

std::wstring GetAccNameAt(POINT screenPoint) noexcept
{
    return ReadAt(screenPoint, Property::Name);
}

std::wstring GetAccValueAt(POINT screenPoint) noexcept
{
    return ReadAt(screenPoint, Property::Value);
}

bool AccessibilityAvailable() noexcept
{
    return OleAccLibrary::Instance().HitTest() != nullptr;
}

} // namespace mirufon::win32
