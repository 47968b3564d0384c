#include "platform/win32/reading/HarvestAccessibility.h"

#include "capture/AccessibleHarvest.h"
#include "platform/win32/reading/ControlProbe.h"
#include "platform/win32/reading/OleAcc.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace mirufon::win32
{
namespace
{

using Microsoft::WRL::ComPtr;

// VARIANTs that a callee fills in, cleared (their references released) when it goes.
class VariantArray
{
  public:
    explicit VariantArray(std::size_t count) : m_values(count)
    {
        for (VARIANT& value : m_values)
        {
            ::VariantInit(&value);
        }
    }
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;
    ~VariantArray()
    {
        for (VARIANT& value : m_values)
        {
            ::VariantClear(&value);
        }
    }

    VARIANT* Data() { return m_values.data(); }
    const VARIANT& operator[](std::size_t index) const { return m_values[index]; }

  private:
    std::vector<VARIANT> m_values;
};

// The text of a property that comes as a string; "" when it fails or there is none (S_FALSE).
template <typename Getter> std::wstring TextProperty(Getter get)
{
    OwnedBstr text;
    // S_FALSE: there is none. A string that came with it is still freed.
    return get(text.Put()) == S_OK ? text.Text() : std::wstring();
}

// An accessible object, or one of its simple children (a child identifier of the object).
// control is the control at the point of the harvest: a list view's headings are asked of its
// header.
class MsaaElement final : public AccessibleElement
{
  public:
    MsaaElement(ComPtr<IAccessible> object, LONG child, HWND control)
        : m_object(std::move(object)), m_child(child), m_control(control)
    {
    }

    AccessibleRole Role() override
    {
        switch (RoleOf(*m_object.Get(), Self()))
        {
        case ROLE_SYSTEM_LIST:
            return AccessibleRole::List;
        case ROLE_SYSTEM_OUTLINE:
            return AccessibleRole::Outline;
        case ROLE_SYSTEM_TABLE:
            return AccessibleRole::Table;
        default:
            return AccessibleRole::Other;
        }
    }

    std::wstring Name() override
    {
        return TextProperty([&](BSTR* text) { return m_object->get_accName(Self(), text); });
    }

    std::wstring Value() override
    {
        return TextProperty([&](BSTR* text) { return m_object->get_accValue(Self(), text); });
    }

    std::wstring Description() override
    {
        return TextProperty([&](BSTR* text) { return m_object->get_accDescription(Self(), text); });
    }

    AccessibleState State() override
    {
        OwnedVariant state;
        if (m_object->get_accState(Self(), state.Put()) != S_OK || state.Borrow().vt != VT_I4)
        {
            return {};
        }
        const LONG flags = state.Borrow().lVal;
        return AccessibleState{(flags & STATE_SYSTEM_INVISIBLE) != 0,
                               (flags & STATE_SYSTEM_COLLAPSED) != 0,
                               (flags & STATE_SYSTEM_PROTECTED) != 0};
    }

    std::unique_ptr<AccessibleElement> Parent() override
    {
        if (m_child != CHILDID_SELF)
        {
            return std::make_unique<MsaaElement>(m_object, CHILDID_SELF, m_control);
        }
        ComPtr<IDispatch> parent;
        ComPtr<IAccessible> accessible;
        if (m_object->get_accParent(parent.GetAddressOf()) != S_OK || !parent ||
            FAILED(parent.As(&accessible)))
        {
            return nullptr;
        }
        return std::make_unique<MsaaElement>(std::move(accessible), CHILDID_SELF, m_control);
    }

    std::size_t ChildCount() override
    {
        LONG count = 0;
        if (m_child != CHILDID_SELF || m_object->get_accChildCount(&count) != S_OK)
        {
            return 0;
        }
        return static_cast<std::size_t>(std::max(count, 0L));
    }

    std::vector<std::unique_ptr<AccessibleElement>> Children(std::size_t start,
                                                             std::size_t count) override
    {
        std::vector<std::unique_ptr<AccessibleElement>> children;
        const auto accessibleChildren = OleAccLibrary::Instance().Children();
        if (m_child != CHILDID_SELF || !accessibleChildren)
        {
            return children;
        }
        VariantArray found(count);
        LONG obtained = 0;
        if (FAILED(accessibleChildren(m_object.Get(), static_cast<LONG>(start),
                                      static_cast<LONG>(count), found.Data(), &obtained)))
        {
            return children;
        }
        const std::size_t given = std::min(static_cast<std::size_t>(std::max(obtained, 0L)), count);
        for (std::size_t i = 0; i < given; ++i)
        {
            children.push_back(ChildOf(found[i]));
        }
        return children;
    }

    std::vector<std::wstring> ColumnHeadings() override
    {
        std::vector<std::wstring> headings;
        const auto objectOfWindow = OleAccLibrary::Instance().ObjectOfWindow();
        if (!objectOfWindow || KindOfWindow(m_control) != ControlKind::ListView)
        {
            return headings;
        }
        HWND header = ::FindWindowExW(m_control, nullptr, WC_HEADERW, nullptr);
        ComPtr<IAccessible> object;
        if (!header || !::IsWindowVisible(header) ||
            FAILED(objectOfWindow(header, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                  reinterpret_cast<void**>(object.GetAddressOf()))) ||
            !object)
        {
            return headings;
        }
        MsaaElement headerElement(std::move(object), CHILDID_SELF, header);
        constexpr std::size_t kMostHeadings = 256;
        for (const auto& item : headerElement.Children(0, kMostHeadings))
        {
            if (item && !item->State().invisible)
            {
                headings.push_back(item->Name());
            }
        }
        return headings;
    }

  private:
    VARIANT Self() const
    {
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = m_child;
        return self;
    }

    // An entry AccessibleChildren gave: an object of its own or a child identifier; null for
    // anything else.
    std::unique_ptr<AccessibleElement> ChildOf(const VARIANT& child) const
    {
        ComPtr<IAccessible> object;
        if (child.vt == VT_DISPATCH && child.pdispVal &&
            SUCCEEDED(child.pdispVal->QueryInterface(IID_PPV_ARGS(&object))))
        {
            return std::make_unique<MsaaElement>(std::move(object), CHILDID_SELF, m_control);
        }
        if (child.vt == VT_I4)
        {
            return std::make_unique<MsaaElement>(m_object, child.lVal, m_control);
        }
        return nullptr;
    }

    ComPtr<IAccessible> m_object;
    LONG m_child;
    HWND m_control;
};

} // namespace

bool HarvestAccessibleAt(POINT screen, HWND control, HarvestSink& sink)
{
    HitObject hit;
    if (!HitTestAt(screen, hit))
    {
        return false;
    }
    const VARIANT child = hit.child.Borrow();
    MsaaElement element(hit.accessible, child.vt == VT_I4 ? child.lVal : CHILDID_SELF, control);
    return HarvestAccessible(element, sink);
}

} // namespace mirufon::win32
