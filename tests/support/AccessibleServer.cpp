#include "support/AccessibleServer.h"

#include <atomic>

namespace testsupport
{

// One node of the tree as an accessible object. Its lifetime is the tree's: references only
// count, so that nothing is freed while a client still holds a proxy.
class AccessibleObject final : public IAccessible
{
  public:
    AccessibleObject(const AccessibleNode& node, HWND window, AccessibleObject* parent)
        : m_node(node), m_window(window), m_parent(parent)
    {
        for (const AccessibleNode& child : node.children)
        {
            m_children.push_back(
                child.isObject ? std::make_unique<AccessibleObject>(child, window, this) : nullptr);
        }
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(IAccessible))
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        *parent = m_parent;
        if (!m_parent)
        {
            return S_FALSE;
        }
        m_parent->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override
    {
        *count = static_cast<LONG>(m_node.children.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        *object = nullptr;
        if (!NodeOf(child) || child.lVal == CHILDID_SELF)
        {
            return E_INVALIDARG;
        }
        AccessibleObject* found = m_children[static_cast<std::size_t>(child.lVal - 1)].get();
        if (!found)
        {
            return S_FALSE;
        }
        found->AddRef();
        *object = found;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        const AccessibleNode* node = NodeOf(child);
        *name = node ? ::SysAllocString(node->name.c_str()) : nullptr;
        return node ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        return Number(child, role, &AccessibleNode::role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return Number(child, state, &AccessibleNode::state);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* text) override { return None(text); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override
    {
        return None(text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return None(text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override
    {
        *topic = 0;
        return None(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override
    {
        return None(text);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override
    {
        return None(text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return Empty(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        return Empty(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT) override
    {
        RECT rect{};
        ::GetWindowRect(m_window, &rect);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override
    {
        return Empty(end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT* child) override
    {
        ::VariantInit(child);
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    const AccessibleNode* NodeOf(const VARIANT& child) const
    {
        if (child.vt != VT_I4)
        {
            return nullptr;
        }
        if (child.lVal == CHILDID_SELF)
        {
            return &m_node;
        }
        if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > m_node.children.size())
        {
            return nullptr;
        }
        return &m_node.children[static_cast<std::size_t>(child.lVal - 1)];
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

    static HRESULT None(BSTR* text)
    {
        *text = nullptr;
        return S_FALSE;
    }
    static HRESULT Empty(VARIANT* value)
    {
        ::VariantInit(value);
        return S_FALSE;
    }

    const AccessibleNode& m_node;
    HWND m_window;
    AccessibleObject* m_parent;
    std::vector<std::unique_ptr<AccessibleObject>> m_children;
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

} // namespace

AccessibleTree::AccessibleTree(const AccessibleNode& root, HWND window)
    : m_root(std::make_unique<AccessibleObject>(root, window, nullptr))
{
}

AccessibleTree::~AccessibleTree() = default;

LRESULT AccessibleTree::Serve(WPARAM wParam, LPARAM lParam) const
{
    const auto serve = LresultFromObjectExport();
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !serve)
    {
        return 0;
    }
    return serve(__uuidof(IAccessible), wParam, m_root.get());
}

const wchar_t* RegisterAccessibleClass()
{
    static constexpr wchar_t kClassName[] = L"MirufonAccessibleList";
    static const bool registered = []
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &AccessibleWindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    static_cast<void>(registered);
    return kClassName;
}

} // namespace testsupport
