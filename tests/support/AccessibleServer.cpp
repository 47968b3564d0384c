#include "support/AccessibleServer.h"

#include <algorithm>
#include <atomic>

namespace testsupport
{

// One node of the tree as an accessible object. Its lifetime is the tree's: references only
// count, so that nothing is freed while a client still holds a proxy.
class AccessibleObject final : public IAccessible, public IEnumVARIANT
{
  public:
    AccessibleObject(const AccessibleNode& node, AccessibleObject* parent,
                     std::function<LONG(POINT)> hitTest = nullptr)
        : m_node(node), m_parent(parent), m_hitTest(std::move(hitTest))
    {
        for (const AccessibleNode& child : node.children)
        {
            m_children.push_back(child.isObject ? std::make_unique<AccessibleObject>(child, this)
                                                : nullptr);
        }
    }

    HRESULT __stdcall QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IEnumVARIANT && m_node.enumerates)
        {
            AddRef();
            *out = static_cast<IEnumVARIANT*>(this);
            return S_OK;
        }
        const bool known =
            iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible);
        return Hand(known ? this : nullptr, out, E_NOINTERFACE);
    }

    // The enumerator of the children, one cursor for every client: AccessibleChildren starts
    // each batch with Reset and Skip.
    HRESULT __stdcall Next(ULONG count, VARIANT* entries, ULONG* fetched) override
    {
        ULONG given = 0;
        while (given < count && m_cursor < m_node.children.size())
        {
            const std::size_t index = m_cursor++;
            const AccessibleNode& child = m_node.children[index];
            if (child.notGiven)
            {
                break;
            }
            VARIANT& entry = entries[given++];
            ::VariantInit(&entry);
            if (child.notAnElement)
            {
                continue;
            }
            if (child.isObject)
            {
                entry.vt = VT_DISPATCH;
                Hand(m_children[index].get(), reinterpret_cast<void**>(&entry.pdispVal), S_OK);
                continue;
            }
            entry.vt = VT_I4;
            entry.lVal = static_cast<LONG>(index + 1);
        }
        if (fetched)
        {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT __stdcall Skip(ULONG count) override
    {
        m_cursor = std::min<std::size_t>(m_cursor + count, m_node.children.size());
        return S_OK;
    }
    HRESULT __stdcall Reset() override
    {
        m_cursor = 0;
        return S_OK;
    }
    HRESULT __stdcall Clone(IEnumVARIANT** clone) override
    {
        *clone = nullptr;
        return E_NOTIMPL;
    }
    ULONG __stdcall AddRef() override { return ++m_references; }
    ULONG __stdcall Release() override { return --m_references; }

    HRESULT __stdcall get_accParent(IDispatch** parent) override
    {
        return Hand(m_parent, reinterpret_cast<void**>(parent), S_FALSE);
    }
    HRESULT __stdcall get_accChildCount(LONG* count) override
    {
        return (*count = static_cast<LONG>(m_node.children.size()), S_OK);
    }
    HRESULT __stdcall get_accChild(VARIANT child, IDispatch** object) override
    {
        const bool valid = NodeOf(child) && child.lVal != CHILDID_SELF;
        return Hand(valid ? m_children[static_cast<std::size_t>(child.lVal - 1)].get() : nullptr,
                    reinterpret_cast<void**>(object), valid ? S_FALSE : E_INVALIDARG);
    }
    HRESULT __stdcall get_accName(VARIANT child, BSTR* name) override
    {
        const AccessibleNode* node = NodeOf(child);
        *name = node ? ::SysAllocString(node->name.c_str()) : nullptr;
        return node ? S_OK : E_INVALIDARG;
    }
    HRESULT __stdcall get_accRole(VARIANT child, VARIANT* role) override
    {
        return Number(child, role, &AccessibleNode::role);
    }
    HRESULT __stdcall get_accState(VARIANT child, VARIANT* state) override
    {
        return Number(child, state, &AccessibleNode::state);
    }
    HRESULT __stdcall accHitTest(long x, long y, VARIANT* child) override
    {
        ::VariantInit(child);
        child->vt = VT_I4;
        child->lVal = m_hitTest ? m_hitTest(POINT{x, y}) : CHILDID_SELF;
        return S_OK;
    }
    // Nothing else is asked of a list by a harvest.
    HRESULT __stdcall GetTypeInfoCount(UINT* count) override { return (*count = 0, S_OK); }
    HRESULT __stdcall GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT __stdcall GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT __stdcall Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                             UINT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT __stdcall get_accValue(VARIANT child, BSTR* text) override
    {
        return TextOf(child, text, &AccessibleNode::value);
    }
    HRESULT __stdcall get_accDescription(VARIANT child, BSTR* text) override
    {
        return TextOf(child, text, &AccessibleNode::description);
    }
    HRESULT __stdcall get_accHelp(VARIANT, BSTR* text) override { return None(text); }
    HRESULT __stdcall get_accHelpTopic(BSTR* file, VARIANT, long*) override { return None(file); }
    HRESULT __stdcall get_accKeyboardShortcut(VARIANT, BSTR* text) override { return None(text); }
    HRESULT __stdcall get_accDefaultAction(VARIANT, BSTR* text) override { return None(text); }
    HRESULT __stdcall get_accFocus(VARIANT* focus) override { return Empty(focus); }
    HRESULT __stdcall get_accSelection(VARIANT* selection) override { return Empty(selection); }
    HRESULT __stdcall accNavigate(long, VARIANT, VARIANT* end) override { return Empty(end); }
    HRESULT __stdcall accLocation(long*, long*, long*, long*, VARIANT) override
    {
        return E_NOTIMPL;
    }
    HRESULT __stdcall accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT __stdcall accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT __stdcall put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT __stdcall put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    // The node itself for CHILDID_SELF, its child for a child identifier.
    const AccessibleNode* NodeOf(const VARIANT& child) const
    {
        if (child.vt != VT_I4 || child.lVal < 0 ||
            static_cast<std::size_t>(child.lVal) > m_node.children.size())
        {
            return nullptr;
        }
        return child.lVal == CHILDID_SELF
                   ? &m_node
                   : &m_node.children[static_cast<std::size_t>(child.lVal - 1)];
    }

    HRESULT Number(const VARIANT& child, VARIANT* out, LONG AccessibleNode::*field) const
    {
        ::VariantInit(out);
        const AccessibleNode* node = NodeOf(child);
        if (!node)
        {
            return E_INVALIDARG;
        }
        out->vt = VT_I4;
        out->lVal = node->*field;
        return S_OK;
    }

    HRESULT TextOf(const VARIANT& child, BSTR* text, std::wstring AccessibleNode::*field) const
    {
        const AccessibleNode* node = NodeOf(child);
        if (!node || (node->*field).empty())
        {
            return None(text);
        }
        *text = ::SysAllocString((node->*field).c_str());
        return S_OK;
    }

    // An object handed out with a reference, or failure when there is none.
    static HRESULT Hand(AccessibleObject* object, void** out, HRESULT without)
    {
        *out = static_cast<IAccessible*>(object);
        if (!object)
        {
            return without;
        }
        object->AddRef();
        return S_OK;
    }
    static HRESULT None(BSTR* text) { return (*text = nullptr, S_FALSE); }
    static HRESULT Empty(VARIANT* value) { return (::VariantInit(value), S_FALSE); }

    const AccessibleNode& m_node;
    AccessibleObject* m_parent;
    std::function<LONG(POINT)> m_hitTest;
    std::vector<std::unique_ptr<AccessibleObject>> m_children;
    std::size_t m_cursor = 0;
    std::atomic<ULONG> m_references{1};
};

namespace
{

using LresultFromObjectFunction = decltype(&::LresultFromObject);

// Loaded at run time from the system folder, as the program loads oleacc.dll: a test program
// that linked it could not check that the program does not.
LresultFromObjectFunction LresultFromObjectExport()
{
    static const LresultFromObjectFunction function = []
    {
        HMODULE module = ::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return module ? reinterpret_cast<LresultFromObjectFunction>(reinterpret_cast<void (*)()>(
                            ::GetProcAddress(module, "LresultFromObject")))
                      : nullptr;
    }();
    return function;
}

LRESULT CALLBACK AccessibleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETOBJECT)
    {
        const auto* tree =
            reinterpret_cast<const AccessibleTree*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (const LRESULT served = tree ? tree->Serve(wParam, lParam) : 0)
        {
            return served;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Registered on first use; registering a name again only fails.
const wchar_t* RegisterAccessibleClass(const wchar_t* className)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &AccessibleWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    ::RegisterClassExW(&windowClass);
    return className;
}

} // namespace

AccessibleTree::AccessibleTree(const AccessibleNode& root, std::function<LONG(POINT)> hitTest)
    : m_node(root), m_root(std::make_unique<AccessibleObject>(m_node, nullptr, std::move(hitTest)))
{
}

AccessibleTree::~AccessibleTree() = default;

HWND AccessibleTree::AddWindow(HWND parent, RECT place, const wchar_t* className) const
{
    HWND window = ::CreateWindowExW(
        0, RegisterAccessibleClass(className ? className : L"MirufonAccessibleList"), L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER, place.left, place.top, place.right - place.left,
        place.bottom - place.top, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return window;
}

LRESULT AccessibleTree::Serve(WPARAM wParam, LPARAM lParam) const
{
    const auto serve = LresultFromObjectExport();
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !serve)
    {
        return 0;
    }
    return serve(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(m_root.get()));
}

} // namespace testsupport
