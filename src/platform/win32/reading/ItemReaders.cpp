#include "platform/win32/reading/ItemReaders.h"

#include <algorithm>
#include <numeric>

namespace mirufon::win32
{

std::unique_ptr<ItemReader> ItemReaderFor(ControlKind kind, ControlSession& session)
{
    switch (kind)
    {
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
        return MakeListReader(session, kind);
    case ControlKind::ListView:
        return MakeListViewReader(session);
    case ControlKind::TreeView:
        return MakeTreeViewReader(session);
    case ControlKind::Header:
        return MakeHeaderReader(session);
    case ControlKind::StatusBar:
        return MakeStatusBarReader(session);
    case ControlKind::TabControl:
        return MakeTabControlReader(session);
    case ControlKind::Other:
    case ControlKind::Edit:
        break;
    }
    return nullptr;
}

ControlRead HarvestControl(HWND control, ControlKind kind, HarvestSink& sink, ReadMemory& memory,
                           std::chrono::milliseconds messageLimit)
{
    ControlSession session(control, memory, messageLimit);
    const std::unique_ptr<ItemReader> reader = ItemReaderFor(kind, session);
    if (!reader)
    {
        return ControlRead::Read;
    }
    if (!reader->KeepsTexts())
    {
        return ControlRead::NoStrings;
    }
    reader->HarvestAll(sink);
    return session.Outcome();
}

std::size_t CountOf(const std::optional<LRESULT>& answer)
{
    return answer ? static_cast<std::size_t>(std::max<LRESULT>(*answer, 0)) : 0;
}

std::vector<int> ShownOrder(ControlSession& session, UINT orderMessage, std::size_t count)
{
    std::vector<int> identity(std::min(count, kMostInts));
    std::iota(identity.begin(), identity.end(), 0);
    const auto order = session.Ints(orderMessage, identity.size());
    if (!order || !order->first)
    {
        return identity;
    }
    std::vector<int> sorted = order->second;
    std::sort(sorted.begin(), sorted.end());
    return sorted == identity ? order->second : identity;
}

} // namespace mirufon::win32
