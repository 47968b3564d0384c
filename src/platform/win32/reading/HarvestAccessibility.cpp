#include "platform/win32/reading/HarvestAccessibility.h"

#include "capture/AccessibleHarvest.h"
#include "platform/win32/reading/OleAcc.h"

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

// An accessible object, or one of its simple children (a child identifier of the object).
class MsaaElement final : public AccessibleElement
{
  public:
    MsaaElement(ComPtr<IAccessible> object, LONG child)
        : m_object(std::move(object)), m_child(child)
    {
    }

    AccessibleRole Role() override
    {
        OwnedVariant role;
        if (m_object->get_accRole(Self(), role.Put()) != S_OK || role.Borrow().vt != VT_I4)
        {
            return AccessibleRole::Other;
        }
        switch (role.Borrow().lVal)
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
        OwnedBstr name;
        // S_FALSE: it has no name. A string that came with it is still freed.
        return m_object->get_accName(Self(), name.Put()) == S_OK ? name.Text() : std::wstring();
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
                               (flags & STATE_SYSTEM_COLLAPSED) != 0};
    }

    std::unique_ptr<AccessibleElement> Parent() override
    {
        if (m_child != CHILDID_SELF)
        {
            return std::make_unique<MsaaElement>(m_object, CHILDID_SELF);
        }
        ComPtr<IDispatch> parent;
        ComPtr<IAccessible> accessible;
        if (m_object->get_accParent(parent.GetAddressOf()) != S_OK || !parent ||
            FAILED(parent.As(&accessible)))
        {
            return nullptr;
        }
        return std::make_unique<MsaaElement>(std::move(accessible), CHILDID_SELF);
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
        for (std::size_t i = 0;
             i < std::min(static_cast<std::size_t>(std::max(obtained, 0L)), count); ++i)
        {
            const VARIANT& child = found[i];
            ComPtr<IAccessible> object;
            if (child.vt == VT_DISPATCH && child.pdispVal &&
                SUCCEEDED(child.pdispVal->QueryInterface(IID_PPV_ARGS(&object))))
            {
                children.push_back(std::make_unique<MsaaElement>(std::move(object), CHILDID_SELF));
            }
            else if (child.vt == VT_I4)
            {
                children.push_back(std::make_unique<MsaaElement>(m_object, child.lVal));
            }
        }
        return children;
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

    ComPtr<IAccessible> m_object;
    LONG m_child;
};

} // namespace

bool HarvestAccessibleAt(POINT screen, HarvestSink& sink)
{
    HitObject hit;
    if (!HitTestAt(screen, hit))
    {
        return false;
    }
    const VARIANT child = hit.child.Borrow();
    MsaaElement element(hit.accessible, child.vt == VT_I4 ? child.lVal : CHILDID_SELF);
    return HarvestAccessible(element, sink);
}

} // namespace mirufon::win32
