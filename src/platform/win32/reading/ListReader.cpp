// List boxes, combo boxes and their drop-down lists, whose items are read with messages that the
// system carries across processes itself (and across bitness): no block in the other program.

#include "platform/win32/reading/ItemReaders.h"

#include <algorithm>

namespace mirufon::win32
{
namespace
{

// The buffer that LB_GETTEXT and CB_GETLBTEXT copy into: these messages take no buffer size,
// and an item may grow between its length and its text, so it holds the longest item a read
// takes, whatever the list announced. It is kept for the thread's next item, so that no item
// allocates megabytes. An item takes it from the thread while it uses it (a read nested in the
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
            std::fill(m_chars.get(), m_chars.get() + kChars, L'\0');
        }
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

    // The text copied, as long as the list says and no longer than its first NUL: a list that
    // says more than it wrote gives no leftover of an earlier item. The part used is cleared
    // for the next item; all of it after a list whose length and text disagree, as it may
    // have written further than it said.
    std::wstring Take(std::size_t copied)
    {
        wchar_t* const start = m_chars.get();
        wchar_t* const end = start + std::min(copied, kMaxItemTextChars);
        wchar_t* const nul = std::find(start, end, L'\0');
        std::wstring text(start, nul);
        std::fill(start, nul == end && *end == L'\0' ? end + 1 : start + kChars, L'\0');
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

struct ListMessages
{
    UINT count;
    UINT length;
    UINT text;
    UINT fromPoint; // 0: its items are not asked for by a point
    DWORD ownerDrawStyles;
    DWORD hasStrings;
};
constexpr ListMessages kListBoxMessages{LB_GETCOUNT,
                                        LB_GETTEXTLEN,
                                        LB_GETTEXT,
                                        LB_ITEMFROMPOINT,
                                        LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE,
                                        LBS_HASSTRINGS};
constexpr ListMessages kComboBoxMessages{
    CB_GETCOUNT,   CB_GETLBTEXTLEN, CB_GETLBTEXT, 0, CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE,
    CBS_HASSTRINGS};

class ListReader final : public ItemReader
{
  public:
    ListReader(ControlSession& session, const ListMessages& messages)
        : m_session(session), m_messages(messages)
    {
    }

    bool KeepsTexts() override
    {
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(m_session.Control(), GWL_STYLE));
        return (style & m_messages.ownerDrawStyles) == 0 || (style & m_messages.hasStrings) != 0;
    }

    std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) override
    {
        if (m_messages.fromPoint == 0 || !KeepsTexts())
        {
            return std::nullopt;
        }
        const std::optional<LRESULT> hit =
            m_session.Send(m_messages.fromPoint, 0, MAKELPARAM(client.x, client.y));
        // Over blank space the list box names the nearest item and says it is outside it.
        if (!hit || HIWORD(*hit) != 0)
        {
            return std::nullopt;
        }
        return ItemText(LOWORD(*hit), maxChars);
    }

    void HarvestAll(HarvestSink& sink) override
    {
        const std::size_t count = CountOf(m_session.Send(m_messages.count));
        for (std::size_t index = 0; index < count && !sink.ShouldStop(); ++index)
        {
            const std::optional<std::wstring> text = ItemText(index, kMaxItemTextChars);
            if (m_session.Failed() || (text && !sink.AddLine(*text)))
            {
                return;
            }
        }
    }

  private:
    // The item's text, at most maxChars characters of it. Nothing when the item is gone, is
    // announced longer than kMaxItemTextChars or has grown past it, or the list does not
    // answer.
    std::optional<std::wstring> ItemText(WPARAM index, std::size_t maxChars)
    {
        const std::optional<LRESULT> length = m_session.Send(m_messages.length, index);
        if (!length || *length < 0 || static_cast<std::size_t>(*length) > kMaxItemTextChars)
        {
            return std::nullopt;
        }
        ItemTextBuffer buffer;
        const std::optional<LRESULT> copied =
            m_session.Send(m_messages.text, index, reinterpret_cast<LPARAM>(buffer.Get()));
        if (!copied)
        {
            if (m_session.Messenger().Unanswered())
            {
                buffer.LeaveToTheList();
            }
            return std::nullopt;
        }
        if (*copied < 0 || static_cast<std::size_t>(*copied) > kMaxItemTextChars)
        {
            return std::nullopt;
        }
        std::wstring text = buffer.Take(static_cast<std::size_t>(*copied));
        text.resize(std::min(text.size(), maxChars));
        return text;
    }

    ControlSession& m_session;
    const ListMessages& m_messages;
};

} // namespace

std::unique_ptr<ItemReader> MakeListReader(ControlSession& session, ControlKind kind)
{
    return std::make_unique<ListReader>(session, kind == ControlKind::ComboBox ? kComboBoxMessages
                                                                               : kListBoxMessages);
}

} // namespace mirufon::win32
