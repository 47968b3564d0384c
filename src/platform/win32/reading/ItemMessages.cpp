#include "platform/win32/reading/ItemMessages.h"

#include "platform/win32/reading/RemoteMemory.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace mirufon::win32
{
namespace
{

// Up to this many characters a read of an item asks for its whole limit at once. A longer or
// whole read starts with the smaller buffer and doubles it until the text fits.
constexpr std::size_t kAskAtOnceChars = 64 * 1024;
constexpr std::size_t kFirstItemChars = 1024;
// Status bars have at most this many parts.
constexpr std::size_t kMaxStatusParts = 256;

std::wstring CutTo(std::wstring text, std::size_t maxChars)
{
    if (text.size() > maxChars)
    {
        text.resize(maxChars);
    }
    return text;
}

// The buffer that LB_GETTEXT and CB_GETLBTEXT copy into: it holds the longest item a read
// takes, whatever the list announced, and is kept for the thread's next read, so that no read
// allocates megabytes. A read takes it from the thread while it uses it (a read nested in the
// wait for an answer gets its own) and gives it back unless the list did not answer: the list
// may still write into it whenever it gets round to the message, so it is then left to it.
class ItemTextBuffer
{
  public:
    static constexpr std::size_t kChars = kMaxItemTextChars + 1;

    ItemTextBuffer() : m_chars(std::move(Spare()))
    {
        if (!m_chars)
        {
            m_chars = std::make_unique_for_overwrite<wchar_t[]>(kChars);
        }
        m_chars[0] = L'\0';
    }
    ItemTextBuffer(const ItemTextBuffer&) = delete;
    ItemTextBuffer& operator=(const ItemTextBuffer&) = delete;
    ~ItemTextBuffer()
    {
        if (m_keep)
        {
            Spare() = std::move(m_chars);
        }
        else
        {
            static_cast<void>(m_chars.release());
        }
    }

    wchar_t* Get() const { return m_chars.get(); }
    void LeaveToTheList() { m_keep = false; }

    // The text copied, as long as the list says and no longer than its terminator: a list
    // that says more than it wrote gives no leftover of an earlier read. The part used is
    // cleared for the next read.
    std::wstring Take(std::size_t copied)
    {
        wchar_t* const start = m_chars.get();
        wchar_t* const end = start + std::min(copied, kMaxItemTextChars);
        std::wstring text(start, std::find(start, end, L'\0'));
        std::fill(start, end + 1, L'\0');
        return text;
    }

  private:
    static std::unique_ptr<wchar_t[]>& Spare()
    {
        thread_local std::unique_ptr<wchar_t[]> spare;
        return spare;
    }

    std::unique_ptr<wchar_t[]> m_chars;
    bool m_keep = true;
};

// The memory of the control's process, for messages whose parameters point at structures the
// control fills in.
class TargetMemory
{
  public:
    explicit TargetMemory(ControlMessenger& messenger)
        : m_messenger(messenger), m_process(OpenProcessOfSameBitness(messenger.Control()))
    {
    }

    explicit operator bool() const { return static_cast<bool>(m_process); }
    HANDLE Process() const { return m_process.Get(); }

    // Sends a message that points into the buffer. A control that did not answer may still
    // write there later: the buffer is then left to it.
    std::optional<LRESULT> Send(RemoteBuffer& buffer, UINT message, WPARAM wParam)
    {
        const bool asked = !m_messenger.Unanswered();
        const std::optional<LRESULT> result =
            m_messenger.Send(message, wParam, reinterpret_cast<LPARAM>(buffer.Address()));
        if (!result && asked)
        {
            buffer.Leak();
        }
        return result;
    }

  private:
    ControlMessenger& m_messenger;
    UniqueKernelHandle m_process;
};

template <typename Info> struct Answered
{
    LRESULT result = 0;
    Info info{};
};

// Copies the structure into the control's process, sends the message with its address, and
// reads back what the control made of it.
template <typename Info>
std::optional<Answered<Info>> Exchange(TargetMemory& memory, UINT message, WPARAM wParam,
                                       const Info& info)
{
    RemoteBuffer buffer(memory.Process(), sizeof(Info));
    if (!buffer || !buffer.Write(&info, sizeof info))
    {
        return std::nullopt;
    }
    Answered<Info> answered;
    const std::optional<LRESULT> result = memory.Send(buffer, message, wParam);
    if (!result || !buffer.Read(&answered.info, sizeof answered.info))
    {
        return std::nullopt;
    }
    answered.result = *result;
    return answered;
}

// An item's text through an item structure (LVITEMW, TVITEMW, HDITEMW) whose text pointer
// and size describe a buffer in the control's process. A limited read asks for exactly what
// it wants; a whole read grows the buffer until the text fits. The control may point the
// structure at a text of its own instead of filling the buffer: the text is read from
// wherever the structure points afterwards.
template <typename Item>
std::optional<std::wstring> ItemText(TargetMemory& memory, UINT message, WPARAM wParam, Item item,
                                     std::size_t maxChars)
{
    const std::size_t wanted = std::min(maxChars, kMaxItemTextChars);
    std::size_t chars = wanted <= kAskAtOnceChars ? wanted : kFirstItemChars;
    for (;;)
    {
        RemoteBuffer buffer(memory.Process(), sizeof(Item) + (chars + 1) * sizeof(wchar_t));
        if (!buffer)
        {
            return std::nullopt;
        }
        item.pszText = static_cast<wchar_t*>(buffer.AddressAt(sizeof(Item)));
        item.cchTextMax = static_cast<int>(chars + 1);
        if (!buffer.Write(&item, sizeof item))
        {
            return std::nullopt;
        }
        Item answered{};
        if (!memory.Send(buffer, message, wParam) || !buffer.Read(&answered, sizeof answered))
        {
            return std::nullopt;
        }
        std::wstring text = ReadRemoteString(memory.Process(), answered.pszText, chars);
        if (text.size() < chars || chars >= wanted)
        {
            return CutTo(std::move(text), maxChars);
        }
        chars = std::min(chars * 2, wanted);
    }
}

std::optional<std::wstring> ListBoxItemAt(ControlMessenger& messenger, POINT client,
                                          std::size_t maxChars)
{
    const std::optional<LRESULT> hit =
        messenger.Send(LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    // Over blank space the list box names the nearest item and says it is outside it.
    if (!hit || HIWORD(*hit) != 0)
    {
        return std::nullopt;
    }
    return ListItemText(messenger, LOWORD(*hit), ListKind::ListBox, maxChars);
}

std::optional<std::wstring> ListViewItemAt(TargetMemory& memory, POINT client, std::size_t maxChars)
{
    LVHITTESTINFO hitTest{};
    hitTest.pt = client;
    const auto hit = Exchange(memory, LVM_SUBITEMHITTEST, 0, hitTest);
    if (!hit || hit->info.iItem < 0 || (hit->info.flags & LVHT_ONITEM) == 0)
    {
        return std::nullopt;
    }
    LVITEMW item{};
    item.iSubItem = hit->info.iSubItem;
    return ItemText(memory, LVM_GETITEMTEXTW, static_cast<WPARAM>(hit->info.iItem), item, maxChars);
}

std::optional<std::wstring> TreeViewItemAt(TargetMemory& memory, POINT client, std::size_t maxChars)
{
    TVHITTESTINFO hitTest{};
    hitTest.pt = client;
    // Anywhere on an item's row counts: its label, icon, button, indent or the space right
    // of it.
    const auto hit = Exchange(memory, TVM_HITTEST, 0, hitTest);
    if (!hit || !hit->info.hItem)
    {
        return std::nullopt;
    }
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hit->info.hItem;
    return ItemText(memory, TVM_GETITEMW, 0, item, maxChars);
}

std::optional<std::wstring> HeaderItemAt(TargetMemory& memory, POINT client, std::size_t maxChars)
{
    HDHITTESTINFO hitTest{};
    hitTest.pt = client;
    const auto hit = Exchange(memory, HDM_HITTEST, 0, hitTest);
    if (!hit || hit->info.iItem < 0 || (hit->info.flags & HHT_NOWHERE) != 0)
    {
        return std::nullopt;
    }
    HDITEMW item{};
    item.mask = HDI_TEXT;
    return ItemText(memory, HDM_GETITEMW, static_cast<WPARAM>(hit->info.iItem), item, maxChars);
}

// The part of the status bar at the client x: the first whose right edge lies beyond it (-1
// for a part that reaches the bar's end).
std::optional<WPARAM> StatusPartAt(TargetMemory& memory, int x)
{
    const auto edges =
        Exchange(memory, SB_GETPARTS, kMaxStatusParts, std::array<int, kMaxStatusParts>{});
    if (!edges)
    {
        return std::nullopt;
    }
    const auto count =
        std::min(static_cast<std::size_t>(std::max<LRESULT>(edges->result, 0)), kMaxStatusParts);
    for (std::size_t part = 0; part < count; ++part)
    {
        const int right = edges->info[part];
        if (right == -1 || x < right)
        {
            return WPARAM{part};
        }
    }
    return std::nullopt;
}

std::optional<std::wstring> StatusPartText(TargetMemory& memory, WPARAM part, std::size_t maxChars)
{
    // SB_GETTEXTW takes no buffer size, and the length SB_GETTEXTLENGTHW tells wraps round in
    // its low word for a text of 64K characters or more: the buffer holds the longest text a
    // read takes, whatever the length, and no more is read back than it holds, up to the
    // text's end.
    RemoteBuffer buffer(memory.Process(), (kMaxItemTextChars + 1) * sizeof(wchar_t));
    if (!buffer || !memory.Send(buffer, SB_GETTEXTW, part))
    {
        return std::nullopt;
    }
    return ReadRemoteString(memory.Process(), buffer.Address(),
                            std::min(kMaxItemTextChars, maxChars));
}

std::optional<std::wstring> StatusBarPartAt(TargetMemory& memory, ControlMessenger& messenger,
                                            POINT client, std::size_t maxChars)
{
    const std::optional<LRESULT> simple = messenger.Send(SB_ISSIMPLE);
    if (!simple)
    {
        return std::nullopt;
    }
    if (*simple)
    {
        // A bar in simple mode shows one text across its width. Its text is set as part
        // SB_SIMPLEID; some status bars give it back under that number, others as part 0.
        auto text = StatusPartText(memory, SB_SIMPLEID, maxChars);
        if (text && text->empty())
        {
            text = StatusPartText(memory, 0, maxChars);
        }
        return text;
    }
    const std::optional<WPARAM> part = StatusPartAt(memory, client.x);
    if (!part)
    {
        return std::nullopt;
    }
    return StatusPartText(memory, *part, maxChars);
}

} // namespace

std::optional<std::wstring> ListItemText(ControlMessenger& messenger, WPARAM index, ListKind kind,
                                         std::size_t maxChars)
{
    const bool listBox = kind == ListKind::ListBox;
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(messenger.Control(), GWL_STYLE));
    const DWORD ownerDrawn = listBox ? (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)
                                     : (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE);
    if ((style & ownerDrawn) != 0 && (style & (listBox ? LBS_HASSTRINGS : CBS_HASSTRINGS)) == 0)
    {
        // Its items are the owner's data, drawn by the owner: there is no text to ask for.
        return std::nullopt;
    }
    const std::optional<LRESULT> length =
        messenger.Send(listBox ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index);
    if (!length || *length < 0 || static_cast<std::size_t>(*length) > kMaxItemTextChars)
    {
        return std::nullopt;
    }
    // The message takes no buffer size, and the item may have grown since its length was
    // told: the buffer holds the longest item a read takes, not the length told.
    ItemTextBuffer buffer;
    const std::optional<LRESULT> copied = messenger.Send(listBox ? LB_GETTEXT : CB_GETLBTEXT, index,
                                                         reinterpret_cast<LPARAM>(buffer.Get()));
    if (!copied)
    {
        buffer.LeaveToTheList();
        return std::nullopt;
    }
    if (*copied < 0 || static_cast<std::size_t>(*copied) > kMaxItemTextChars)
    {
        return std::nullopt;
    }
    return CutTo(buffer.Take(static_cast<std::size_t>(*copied)), maxChars);
}

std::optional<std::wstring> ItemTextAt(ControlKind kind, ControlMessenger& messenger, POINT client,
                                       std::size_t maxChars)
{
    if (kind == ControlKind::ListBox)
    {
        return ListBoxItemAt(messenger, client, maxChars);
    }
    if (kind != ControlKind::ListView && kind != ControlKind::TreeView &&
        kind != ControlKind::Header && kind != ControlKind::StatusBar)
    {
        return std::nullopt;
    }
    TargetMemory memory(messenger);
    if (!memory)
    {
        return std::nullopt;
    }
    switch (kind)
    {
    case ControlKind::ListView:
        return ListViewItemAt(memory, client, maxChars);
    case ControlKind::TreeView:
        return TreeViewItemAt(memory, client, maxChars);
    case ControlKind::Header:
        return HeaderItemAt(memory, client, maxChars);
    case ControlKind::StatusBar:
        return StatusBarPartAt(memory, messenger, client, maxChars);
    default:
        return std::nullopt;
    }
}

} // namespace mirufon::win32
