#include "platform/win32/reading/HarvestControls.h"

#include "platform/win32/reading/ControlProbe.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace mirufon::win32
{
namespace
{

// The block in the control's process: the structures and arrays of the messages first, the
// texts the controls copy after them. Item texts are cut at the reader's item limit.
constexpr std::size_t kStructBytes = 8192;
constexpr std::size_t kTextChars = kMaxItemTextChars;
constexpr std::size_t kBlockBytes = kStructBytes + (kTextChars + 1) * sizeof(wchar_t);
constexpr std::size_t kMostColumns = kStructBytes / sizeof(int);
constexpr std::size_t kMostStatusParts = 256;
// A text whose length is not told is read with its structure up to this many characters, and
// the rest (if any) after.
constexpr std::size_t kPeekChars = 256;
// A tree nested deeper than this is listed, but not opened further.
constexpr std::size_t kDeepestTree = 1024;
// A list view row is read through one write of its cells' item structures and one read of
// what came back, each cell's text in a slot of this many characters (with its terminator);
// a text that fills its slot is asked again on its own.
constexpr std::size_t kItemBytes = (sizeof(LVITEMW) + 15) / 16 * 16;
constexpr std::size_t kSlotChars = 256;
static_assert(kMostColumns * (kItemBytes + kSlotChars * sizeof(wchar_t)) <=
              (kTextChars + 1) * sizeof(wchar_t));

template <typename Item> struct ItemAnswer
{
    LRESULT result = 0;
    Item item{};
    std::wstring text;
};

// Sends messages whose parameters point into the block, and reads back what the control
// wrote there. A control that did not answer may still write into the block later: it is
// then left to that process for good.
class RemoteItems
{
  public:
    RemoteItems(ControlMessenger& messenger, HANDLE process, RemoteBuffer& block)
        : m_messenger(messenger), m_process(process), m_block(block)
    {
    }

    ControlMessenger& Messenger() { return m_messenger; }
    // Whether the read is over: a message went unanswered, or the block could not be used
    // (the other program freed it, say), so that what was read is incomplete.
    bool Failed() const { return m_messenger.Unanswered() || m_blockFailed; }

    std::optional<LRESULT> Send(UINT message, WPARAM wParam, std::size_t offset)
    {
        const bool asked = !m_messenger.Unanswered();
        const std::optional<LRESULT> result =
            m_messenger.Send(message, wParam, reinterpret_cast<LPARAM>(m_block.AddressAt(offset)));
        if (!result && asked)
        {
            m_block.Leak();
        }
        return result;
    }

    // A message that fills an array of count ints (count at most kMostColumns): its result
    // and the array.
    std::optional<std::pair<LRESULT, std::vector<int>>> Ints(UINT message, std::size_t count)
    {
        std::vector<int> ints(count, 0);
        const std::size_t bytes = count * sizeof(int);
        if (!Write(ints.data(), bytes, 0))
        {
            return std::nullopt;
        }
        const std::optional<LRESULT> result = Send(message, count, 0);
        if (!result || !Read(ints.data(), bytes, 0))
        {
            return std::nullopt;
        }
        return std::make_pair(*result, std::move(ints));
    }

    // A message with an item structure (LVITEMW, TVITEMW, HDITEMW, TCITEMW, LVCOLUMNW) whose
    // text pointer the block's text area takes. The structure lies just before that area, so
    // that one read brings back both; resultIsLength says the result is the text's length.
    template <typename Item>
    std::optional<ItemAnswer<Item>> Query(UINT message, WPARAM wParam, Item item,
                                          bool resultIsLength)
    {
        constexpr std::size_t at = kStructBytes - (sizeof(Item) + 15) / 16 * 16;
        auto* const textArea = static_cast<wchar_t*>(m_block.AddressAt(kStructBytes));
        item.pszText = textArea;
        item.cchTextMax = static_cast<int>(kTextChars + 1);
        if (!Write(&item, sizeof item, at))
        {
            return std::nullopt;
        }
        const std::optional<LRESULT> result = Send(message, wParam, at);
        if (!result)
        {
            return std::nullopt;
        }
        const std::size_t told =
            std::min(static_cast<std::size_t>(std::max<LRESULT>(*result, 0)), kTextChars);
        const std::size_t peek = resultIsLength ? told + 1 : kPeekChars;
        constexpr std::size_t textAt = (kStructBytes - at) / sizeof(wchar_t);
        m_back.resize(textAt + peek);
        if (!Read(m_back.data(), m_back.size() * sizeof(wchar_t), at))
        {
            return std::nullopt;
        }
        ItemAnswer<Item> answer;
        answer.result = *result;
        std::memcpy(&answer.item, m_back.data(), sizeof(Item));
        if (answer.item.pszText != textArea)
        {
            // The control pointed the structure at a text of its own.
            answer.text = ReadRemoteString(m_process, answer.item.pszText, kTextChars);
            return answer;
        }
        const std::wstring_view seen(m_back.data() + textAt, peek);
        const std::size_t end = seen.find(L'\0');
        if (resultIsLength)
        {
            answer.text = seen.substr(0, std::min(end, told));
            return answer;
        }
        if (end != std::wstring_view::npos)
        {
            answer.text = seen.substr(0, end);
            return answer;
        }
        answer.text = seen;
        answer.text += ReadRemoteString(m_process, textArea + peek, kTextChars - peek);
        return answer;
    }

    // The texts of one list view row's cells (the sub-items given), which the block's text
    // area takes for the time: the item structures first, then a slot for each text. False
    // when the control did not answer or the block could not be used.
    bool ListViewRow(WPARAM row, const std::vector<int>& subItems, std::vector<std::wstring>& cells)
    {
        const std::size_t count = subItems.size();
        const std::size_t slotsAt = count * kItemBytes;
        m_image.assign((slotsAt + count * kSlotChars * sizeof(wchar_t)) / sizeof(wchar_t), L'\0');
        auto* const area = static_cast<char*>(m_block.AddressAt(kStructBytes));
        const auto slot = [&](std::size_t cell)
        { return reinterpret_cast<wchar_t*>(area + slotsAt) + cell * kSlotChars; };
        for (std::size_t cell = 0; cell < count; ++cell)
        {
            LVITEMW item{};
            item.iSubItem = subItems[cell];
            item.pszText = slot(cell);
            item.cchTextMax = static_cast<int>(kSlotChars);
            std::memcpy(reinterpret_cast<char*>(m_image.data()) + cell * kItemBytes, &item,
                        sizeof item);
        }
        std::vector<std::size_t> lengths(count);
        if (!Write(m_image.data(), slotsAt, kStructBytes))
        {
            return false;
        }
        for (std::size_t cell = 0; cell < count; ++cell)
        {
            const std::optional<LRESULT> length =
                Send(LVM_GETITEMTEXTW, row, kStructBytes + cell * kItemBytes);
            if (!length)
            {
                return false;
            }
            lengths[cell] = static_cast<std::size_t>(std::max<LRESULT>(*length, 0));
        }
        if (!Read(m_image.data(), m_image.size() * sizeof(wchar_t), kStructBytes))
        {
            return false;
        }
        std::vector<std::size_t> longer;
        for (std::size_t cell = 0; cell < count; ++cell)
        {
            LVITEMW answered{};
            std::memcpy(&answered, reinterpret_cast<char*>(m_image.data()) + cell * kItemBytes,
                        sizeof answered);
            if (answered.pszText != slot(cell))
            {
                cells[cell] = ReadRemoteString(m_process, answered.pszText, kTextChars);
                continue;
            }
            const std::wstring_view text(m_image.data() + (slotsAt / sizeof(wchar_t)) +
                                             cell * kSlotChars,
                                         std::min(lengths[cell], kSlotChars - 1));
            cells[cell] = text.substr(0, text.find(L'\0'));
            if (lengths[cell] >= kSlotChars - 1)
            {
                longer.push_back(cell);
            }
        }
        for (const std::size_t cell : longer)
        {
            LVITEMW item{};
            item.iSubItem = subItems[cell];
            auto answer = Query(LVM_GETITEMTEXTW, row, item, true);
            if (!answer)
            {
                return false;
            }
            cells[cell] = std::move(answer->text);
        }
        return true;
    }

    // A message that copies a text of the given length into the text area (SB_GETTEXTW).
    std::optional<std::wstring> TextOfLength(UINT message, WPARAM wParam, std::size_t length)
    {
        length = std::min(length, kTextChars);
        if (!Send(message, wParam, kStructBytes))
        {
            return std::nullopt;
        }
        m_back.resize(length + 1);
        if (!Read(m_back.data(), m_back.size() * sizeof(wchar_t), kStructBytes))
        {
            return std::nullopt;
        }
        const std::wstring_view text(m_back.data(), length);
        return std::wstring(text.substr(0, text.find(L'\0')));
    }

  private:
    bool Write(const void* data, std::size_t bytes, std::size_t offset)
    {
        m_blockFailed = m_blockFailed || !m_block.Write(data, bytes, offset);
        return !m_blockFailed;
    }
    bool Read(void* data, std::size_t bytes, std::size_t offset)
    {
        m_blockFailed = m_blockFailed || !m_block.Read(data, bytes, offset);
        return !m_blockFailed;
    }

    ControlMessenger& m_messenger;
    HANDLE m_process;
    RemoteBuffer& m_block;
    std::vector<wchar_t> m_back;
    std::vector<wchar_t> m_image;
    bool m_blockFailed = false;
};

struct ListMessages
{
    UINT count;
    UINT length;
    UINT text;
    DWORD ownerDrawStyles;
    DWORD hasStrings;
};
constexpr ListMessages kListBoxMessages{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT,
                                        LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS};
constexpr ListMessages kComboBoxMessages{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT,
                                         CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE,
                                         CBS_HASSTRINGS};

std::size_t CountOf(const std::optional<LRESULT>& answer)
{
    return answer ? static_cast<std::size_t>(std::max<LRESULT>(*answer, 0)) : 0;
}

ControlHarvest HarvestListItems(ControlMessenger& messenger, HarvestSink& sink,
                                const ListMessages& messages)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(messenger.Control(), GWL_STYLE));
    if ((style & messages.ownerDrawStyles) != 0 && (style & messages.hasStrings) == 0)
    {
        // Its items are the owner's data, drawn by the owner: there is no text to ask for.
        return ControlHarvest::NoStrings;
    }
    const std::size_t count = CountOf(messenger.Send(messages.count));
    std::vector<wchar_t> buffer;
    for (std::size_t index = 0; index < count && !sink.ShouldStop(); ++index)
    {
        const auto text =
            BoundedListItemText(messenger, messages.length, messages.text, index, buffer);
        if (messenger.Unanswered())
        {
            break;
        }
        if (text && !sink.AddLine(*text))
        {
            break;
        }
    }
    return ControlHarvest::Read;
}

// The indexes of count columns or header items in the order they are shown, as the control
// tells it with orderMessage; in index order when it tells nothing sensible.
std::vector<int> ShownOrder(RemoteItems& remote, UINT orderMessage, std::size_t count)
{
    std::vector<int> identity(count);
    std::iota(identity.begin(), identity.end(), 0);
    const auto order = remote.Ints(orderMessage, count);
    if (!order || !order->first)
    {
        return identity;
    }
    std::vector<int> sorted = order->second;
    std::sort(sorted.begin(), sorted.end());
    return sorted == identity ? order->second : identity;
}

struct Column
{
    int index = 0;
    std::wstring heading;
};

// The list view's columns as shown, those of no width left out; nothing when it has no
// columns at all.
std::optional<std::vector<Column>> ShownColumns(RemoteItems& remote)
{
    std::vector<Column> columns;
    std::vector<bool> hidden;
    for (std::size_t index = 0; index < kMostColumns; ++index)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        auto answer = remote.Query(LVM_GETCOLUMNW, index, column, false);
        if (!answer || !answer->result)
        {
            break;
        }
        columns.push_back(Column{static_cast<int>(index), std::move(answer->text)});
        hidden.push_back(answer->item.cx == 0);
    }
    if (columns.empty())
    {
        return std::nullopt;
    }
    std::vector<Column> shown;
    for (const int index : ShownOrder(remote, LVM_GETCOLUMNORDERARRAY, columns.size()))
    {
        if (!hidden[static_cast<std::size_t>(index)])
        {
            shown.push_back(columns[static_cast<std::size_t>(index)]);
        }
    }
    return shown;
}

// Whether the list view shows its column headings: in report view, with a visible header.
bool ShowsHeadings(ControlMessenger& messenger)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(messenger.Control(), GWL_STYLE));
    if ((style & LVS_NOCOLUMNHEADER) != 0)
    {
        return false;
    }
    const std::optional<LRESULT> view = messenger.Send(LVM_GETVIEW);
    if ((style & LVS_TYPEMASK) != LVS_REPORT && view != LV_VIEW_DETAILS)
    {
        return false;
    }
    const std::optional<LRESULT> header = messenger.Send(LVM_GETHEADER);
    return header && ::IsWindowVisible(reinterpret_cast<HWND>(*header));
}

void HarvestListView(RemoteItems& remote, HarvestSink& sink)
{
    ControlMessenger& messenger = remote.Messenger();
    const std::optional<std::vector<Column>> shown = ShownColumns(remote);
    std::vector<std::wstring> cells;
    if (shown && !shown->empty() && ShowsHeadings(messenger))
    {
        for (const Column& column : *shown)
        {
            cells.push_back(column.heading);
        }
        if (!sink.AddLine(cells))
        {
            return;
        }
    }
    // A list view without columns (in icon or list view, say) shows its items' own texts.
    std::vector<int> subItems;
    for (const Column& column : shown.value_or(std::vector<Column>{Column{}}))
    {
        subItems.push_back(column.index);
    }
    cells.resize(subItems.size());
    const std::size_t rows = CountOf(messenger.Send(LVM_GETITEMCOUNT));
    for (std::size_t row = 0; row < rows && !sink.ShouldStop(); ++row)
    {
        if (!remote.ListViewRow(row, subItems, cells) || !sink.AddLine(cells))
        {
            return;
        }
    }
}

// The items of a tree view whose ancestors are all expanded, in display order: depth first
// from the first root, a child only under an expanded item.
void HarvestTreeView(RemoteItems& remote, HarvestSink& sink)
{
    ControlMessenger& messenger = remote.Messenger();
    const auto next = [&](WPARAM relation, HTREEITEM item)
    {
        const auto answer =
            messenger.Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item));
        return answer ? reinterpret_cast<HTREEITEM>(*answer) : nullptr;
    };
    std::vector<HTREEITEM> ancestors;
    HTREEITEM item = next(TVGN_ROOT, nullptr);
    while (item)
    {
        TVITEMW query{};
        query.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
        query.stateMask = TVIS_EXPANDED;
        query.hItem = item;
        const auto answer = remote.Query(TVM_GETITEMW, 0, query, false);
        if (!answer || !sink.AddLine(answer->text, ancestors.size()))
        {
            return;
        }
        if ((answer->item.state & TVIS_EXPANDED) != 0 && ancestors.size() < kDeepestTree)
        {
            if (HTREEITEM child = next(TVGN_CHILD, item))
            {
                ancestors.push_back(item);
                item = child;
                continue;
            }
        }
        // The next sibling, or that of the nearest ancestor that has one.
        HTREEITEM sibling = next(TVGN_NEXT, item);
        while (!sibling && !ancestors.empty() && !messenger.Unanswered())
        {
            sibling = next(TVGN_NEXT, ancestors.back());
            ancestors.pop_back();
        }
        item = sibling;
    }
}

void HarvestHeader(RemoteItems& remote, HarvestSink& sink)
{
    ControlMessenger& messenger = remote.Messenger();
    const std::size_t count = std::min(CountOf(messenger.Send(HDM_GETITEMCOUNT)), kMostColumns);
    std::vector<std::wstring> cells;
    for (const int index : ShownOrder(remote, HDM_GETORDERARRAY, count))
    {
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        auto answer = remote.Query(HDM_GETITEMW, static_cast<WPARAM>(index), item, false);
        if (!answer)
        {
            return;
        }
        if (answer->item.cxy != 0)
        {
            cells.push_back(std::move(answer->text));
        }
    }
    if (!cells.empty())
    {
        sink.AddLine(cells);
    }
}

// A status bar part's text, without the tabs that only align it (centred after the first,
// right-aligned after the second).
std::wstring StatusPartText(RemoteItems& remote, WPARAM part)
{
    const std::optional<LRESULT> length = remote.Messenger().Send(SB_GETTEXTLENGTHW, part);
    if (!length)
    {
        return {};
    }
    std::wstring text = remote.TextOfLength(SB_GETTEXTW, part, LOWORD(*length)).value_or(L"");
    const std::size_t first = text.find_first_not_of(L'\t');
    if (first == std::wstring::npos)
    {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L'\t') + 1 - first);
}

void HarvestStatusBar(RemoteItems& remote, HarvestSink& sink)
{
    const std::optional<LRESULT> simple = remote.Messenger().Send(SB_ISSIMPLE);
    if (!simple)
    {
        return;
    }
    if (*simple)
    {
        // A bar in simple mode shows one text across its width. Its text is set as part
        // SB_SIMPLEID; some status bars give it back under that number, others as part 0.
        std::wstring text = StatusPartText(remote, SB_SIMPLEID);
        sink.AddLine(text.empty() ? StatusPartText(remote, 0) : text);
        return;
    }
    const auto parts = remote.Ints(SB_GETPARTS, kMostStatusParts);
    if (!parts)
    {
        return;
    }
    std::vector<std::wstring> cells;
    for (std::size_t part = 0; part < std::min(CountOf(parts->first), kMostStatusParts); ++part)
    {
        cells.push_back(StatusPartText(remote, part));
    }
    if (!cells.empty())
    {
        sink.AddLine(cells);
    }
}

void HarvestTabControl(RemoteItems& remote, HarvestSink& sink)
{
    ControlMessenger& messenger = remote.Messenger();
    const std::size_t count = CountOf(messenger.Send(TCM_GETITEMCOUNT));
    for (std::size_t index = 0; index < count && !sink.ShouldStop(); ++index)
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        const auto answer = remote.Query(TCM_GETITEMW, index, item, false);
        if (!answer || !sink.AddLine(answer->text))
        {
            return;
        }
    }
}

void HarvestCommonControl(ItemControl kind, RemoteItems& remote, HarvestSink& sink)
{
    switch (kind)
    {
    case ItemControl::ListView:
        HarvestListView(remote, sink);
        break;
    case ItemControl::TreeView:
        HarvestTreeView(remote, sink);
        break;
    case ItemControl::Header:
        HarvestHeader(remote, sink);
        break;
    case ItemControl::StatusBar:
        HarvestStatusBar(remote, sink);
        break;
    case ItemControl::TabControl:
        HarvestTabControl(remote, sink);
        break;
    case ItemControl::None:
    case ItemControl::ListBox:
    case ItemControl::ComboBox:
        break;
    }
}

ControlHarvest ReadItems(HWND control, ItemControl kind, ControlMessenger& messenger,
                         HarvestSink& sink, HarvestMemory& memory)
{
    switch (kind)
    {
    case ItemControl::None:
        return ControlHarvest::Read;
    case ItemControl::ListBox:
        return HarvestListItems(messenger, sink, kListBoxMessages);
    case ItemControl::ComboBox:
        return HarvestListItems(messenger, sink, kComboBoxMessages);
    default:
        break;
    }
    RemoteBuffer* block = memory.BlockFor(control);
    if (!block)
    {
        return ControlHarvest::NoMemory;
    }
    RemoteItems remote(messenger, memory.Process(), *block);
    HarvestCommonControl(kind, remote, sink);
    return remote.Failed() ? ControlHarvest::NotAnswering : ControlHarvest::Read;
}

} // namespace

ItemControl ItemControlOf(HWND window)
{
    const std::wstring className = ClassNameOf(window);
    if (::CompareStringOrdinal(className.c_str(), -1, WC_TABCONTROLW, -1, TRUE) == CSTR_EQUAL)
    {
        return ItemControl::TabControl;
    }
    switch (KindOfClass(className.c_str()))
    {
    case ControlKind::ListBox:
        return ItemControl::ListBox;
    case ControlKind::ComboBox:
        return ItemControl::ComboBox;
    case ControlKind::ListView:
        return ItemControl::ListView;
    case ControlKind::TreeView:
        return ItemControl::TreeView;
    case ControlKind::Header:
        return ItemControl::Header;
    case ControlKind::StatusBar:
        return ItemControl::StatusBar;
    case ControlKind::Other:
    case ControlKind::Edit:
        break;
    }
    return ItemControl::None;
}

RemoteBuffer* HarvestMemory::BlockFor(HWND control)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(control, &processId);
    if (m_block && processId == m_processId)
    {
        return m_block.get();
    }
    m_block.reset();
    m_processId = processId;
    m_process = OpenProcessOfSameBitness(control);
    if (!m_process)
    {
        return nullptr;
    }
    auto block = std::make_unique<RemoteBuffer>(m_process.Get(), kBlockBytes);
    if (!*block)
    {
        return nullptr;
    }
    m_block = std::move(block);
    return m_block.get();
}

ControlHarvest HarvestControl(HWND control, ItemControl kind, HarvestSink& sink,
                              HarvestMemory& memory, std::chrono::milliseconds messageLimit)
{
    ControlMessenger messenger(control, messageLimit);
    const ControlHarvest result = ReadItems(control, kind, messenger, sink, memory);
    return messenger.Unanswered() ? ControlHarvest::NotAnswering : result;
}

std::optional<std::wstring> BoundedListItemText(ControlMessenger& messenger, UINT lengthMessage,
                                                UINT textMessage, WPARAM index,
                                                std::vector<wchar_t>& buffer)
{
    const std::optional<LRESULT> length = messenger.Send(lengthMessage, index);
    if (!length || *length < 0 || static_cast<std::size_t>(*length) > kMaxItemTextChars)
    {
        return std::nullopt;
    }
    buffer.resize(kMaxItemTextChars + 1);
    const std::optional<LRESULT> copied =
        messenger.Send(textMessage, index, reinterpret_cast<LPARAM>(buffer.data()));
    if (!copied || *copied < 0)
    {
        return std::nullopt;
    }
    return std::wstring(buffer.data(),
                        std::min(static_cast<std::size_t>(*copied), kMaxItemTextChars));
}

} // namespace mirufon::win32
