// Tree views: the item under the pointer, and every item shown for a harvest, read through the
// read's block in the tree view's process.

#include "platform/win32/reading/ItemReaders.h"

#include <commctrl.h>

#include <unordered_set>

namespace mirufon::win32
{
namespace
{

// A tree nested deeper than this is listed, but not opened further.
constexpr std::size_t kDeepestTree = 1024;

class TreeViewReader final : public ItemReader
{
  public:
    explicit TreeViewReader(ControlSession& session) : m_session(session) {}

    std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) override
    {
        TVHITTESTINFO hitTest{};
        hitTest.pt = client;
        // Anywhere on an item's row counts: its label, icon, button, indent or the space right
        // of it.
        const auto hit = m_session.Exchange(TVM_HITTEST, hitTest);
        if (!hit || !hit->second.hItem)
        {
            return std::nullopt;
        }
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = hit->second.hItem;
        auto answer = m_session.Query(TVM_GETITEMW, 0, item, ResultIs::Success, maxChars);
        return answer ? std::optional<std::wstring>(std::move(answer->text)) : std::nullopt;
    }

    // The items whose ancestors are all expanded, in display order: depth first from the first
    // root, a child only under an expanded item. An item the tree no longer has is left out;
    // an item met a second time (a tree whose next item leads back) ends the walk.
    void HarvestAll(HarvestSink& sink) override
    {
        std::unordered_set<HTREEITEM> seen;
        std::vector<HTREEITEM> ancestors;
        HTREEITEM item = Next(TVGN_ROOT, nullptr);
        while (item && seen.insert(item).second)
        {
            TVITEMW query{};
            query.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
            query.stateMask = TVIS_EXPANDED;
            query.hItem = item;
            const auto answer = m_session.Query(TVM_GETITEMW, 0, query, ResultIs::Success);
            if (m_session.Failed() || (answer && !sink.AddLine(answer->text, ancestors.size())))
            {
                return;
            }
            const bool expanded = answer && (answer->item.state & TVIS_EXPANDED) != 0;
            if (expanded && ancestors.size() < kDeepestTree)
            {
                if (HTREEITEM child = Next(TVGN_CHILD, item))
                {
                    ancestors.push_back(item);
                    item = child;
                    continue;
                }
            }
            // The next sibling, or that of the nearest ancestor that has one.
            HTREEITEM sibling = Next(TVGN_NEXT, item);
            while (!sibling && !ancestors.empty() && !m_session.Failed())
            {
                sibling = Next(TVGN_NEXT, ancestors.back());
                ancestors.pop_back();
            }
            item = sibling;
        }
    }

  private:
    HTREEITEM Next(WPARAM relation, HTREEITEM item)
    {
        const auto answer =
            m_session.Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item));
        return answer ? reinterpret_cast<HTREEITEM>(*answer) : nullptr;
    }

    ControlSession& m_session;
};

} // namespace

std::unique_ptr<ItemReader> MakeTreeViewReader(ControlSession& session)
{
    return std::make_unique<TreeViewReader>(session);
}

} // namespace mirufon::win32
