// Headers, status bars and tab controls: the item, part or tab under the pointer, and all of
// them for a harvest, read through the read's block in the control's process.

#include "platform/win32/reading/ItemReaders.h"

#include <commctrl.h>

namespace mirufon::win32
{
namespace
{

// Status bars have at most this many parts.
constexpr std::size_t kMostStatusParts = 256;

std::optional<std::wstring> TextOf(std::optional<ItemAnswer<HDITEMW>> answer)
{
    return answer ? std::optional<std::wstring>(std::move(answer->text)) : std::nullopt;
}

class HeaderReader final : public ItemReader
{
  public:
    explicit HeaderReader(ControlSession& session) : m_session(session) {}

    std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) override
    {
        HDHITTESTINFO hitTest{};
        hitTest.pt = client;
        const auto hit = m_session.Exchange(HDM_HITTEST, hitTest);
        if (!hit || hit->second.iItem < 0 || (hit->second.flags & HHT_NOWHERE) != 0)
        {
            return std::nullopt;
        }
        HDITEMW item{};
        item.mask = HDI_TEXT;
        return TextOf(m_session.Query(HDM_GETITEMW, static_cast<WPARAM>(hit->second.iItem), item,
                                      ResultIs::Success, maxChars));
    }

    void HarvestAll(HarvestSink& sink) override
    {
        const std::size_t count = CountOf(m_session.Send(HDM_GETITEMCOUNT));
        std::vector<std::wstring> cells;
        for (const int index : ShownOrder(m_session, HDM_GETORDERARRAY, count))
        {
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            auto answer =
                m_session.Query(HDM_GETITEMW, static_cast<WPARAM>(index), item, ResultIs::Success);
            if (m_session.Failed())
            {
                return;
            }
            if (answer && answer->item.cxy != 0)
            {
                cells.push_back(std::move(answer->text));
            }
        }
        if (!cells.empty())
        {
            sink.AddLine(cells);
        }
    }

  private:
    ControlSession& m_session;
};

class StatusBarReader final : public ItemReader
{
  public:
    explicit StatusBarReader(ControlSession& session) : m_session(session) {}

    std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) override
    {
        const std::optional<LRESULT> simple = m_session.Send(SB_ISSIMPLE);
        if (!simple)
        {
            return std::nullopt;
        }
        std::optional<std::wstring> text;
        if (*simple)
        {
            text = SimpleText();
        }
        else if (const std::optional<WPARAM> part = PartAt(client.x))
        {
            text = PartText(*part);
        }
        if (text && text->size() > maxChars)
        {
            text->resize(maxChars);
        }
        return text;
    }

    void HarvestAll(HarvestSink& sink) override
    {
        const std::optional<LRESULT> simple = m_session.Send(SB_ISSIMPLE);
        if (!simple)
        {
            return;
        }
        if (*simple)
        {
            sink.AddLine(SimpleText().value_or(L""));
            return;
        }
        const auto parts = m_session.Ints(SB_GETPARTS, kMostStatusParts);
        if (!parts)
        {
            return;
        }
        std::vector<std::wstring> cells;
        for (std::size_t part = 0; part < std::min(CountOf(parts->first), kMostStatusParts); ++part)
        {
            cells.push_back(PartText(part).value_or(L""));
            if (m_session.Failed())
            {
                return;
            }
        }
        if (!cells.empty())
        {
            sink.AddLine(cells);
        }
    }

  private:
    // A bar in simple mode shows one text across its width. Its text is set as part
    // SB_SIMPLEID; some status bars give it back under that number, others as part 0.
    std::optional<std::wstring> SimpleText()
    {
        std::optional<std::wstring> text = PartText(SB_SIMPLEID);
        if (text && text->empty())
        {
            text = PartText(0);
        }
        return text;
    }

    // The part at the client x: the first whose right edge lies beyond it (-1 for a part that
    // reaches the bar's end).
    std::optional<WPARAM> PartAt(int x)
    {
        const auto edges = m_session.Ints(SB_GETPARTS, kMostStatusParts);
        if (!edges)
        {
            return std::nullopt;
        }
        const std::size_t count = std::min(CountOf(edges->first), kMostStatusParts);
        for (std::size_t part = 0; part < count; ++part)
        {
            const int right = edges->second[part];
            if (right == -1 || x < right)
            {
                return WPARAM{part};
            }
        }
        return std::nullopt;
    }

    // A part's text, without the tabs that only align it (centred after the first,
    // right-aligned after the second). SB_GETTEXTW takes no buffer size: it is sent only when
    // the length the bar tells fits the block. The length is told in the low bits of the
    // answer and the drawing type from bit 24 up, so a text of 64K characters or more is told
    // and read whole. An owner-drawn part holds its owner's data, not a text.
    std::optional<std::wstring> PartText(WPARAM part)
    {
        const std::optional<LRESULT> told = m_session.Send(SB_GETTEXTLENGTHW, part);
        if (!told)
        {
            return std::nullopt;
        }
        const auto answer = static_cast<DWORD>(*told);
        if ((answer & (DWORD{SBT_OWNERDRAW} << 16)) != 0)
        {
            return std::wstring();
        }
        std::optional<std::wstring> text =
            m_session.CopiedText(SB_GETTEXTW, part, answer & 0x00FFFFFF);
        if (!text)
        {
            return text;
        }
        const std::size_t first = text->find_first_not_of(L'\t');
        if (first == std::wstring::npos)
        {
            return std::wstring();
        }
        return text->substr(first, text->find_last_not_of(L'\t') + 1 - first);
    }

    ControlSession& m_session;
};

class TabControlReader final : public ItemReader
{
  public:
    explicit TabControlReader(ControlSession& session) : m_session(session) {}

    std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) override
    {
        TCHITTESTINFO hitTest{};
        hitTest.pt = client;
        const auto hit = m_session.Exchange(TCM_HITTEST, hitTest);
        if (!hit || hit->first < 0)
        {
            return std::nullopt;
        }
        return Caption(static_cast<WPARAM>(hit->first), maxChars);
    }

    void HarvestAll(HarvestSink& sink) override
    {
        const std::size_t count = CountOf(m_session.Send(TCM_GETITEMCOUNT));
        for (std::size_t index = 0; index < count && !sink.ShouldStop(); ++index)
        {
            const std::optional<std::wstring> caption = Caption(index, kTextChars);
            if (m_session.Failed() || (caption && !sink.AddLine(*caption)))
            {
                return;
            }
        }
    }

  private:
    std::optional<std::wstring> Caption(WPARAM index, std::size_t maxChars)
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        auto answer = m_session.Query(TCM_GETITEMW, index, item, ResultIs::Success, maxChars);
        return answer ? std::optional<std::wstring>(std::move(answer->text)) : std::nullopt;
    }

    ControlSession& m_session;
};

} // namespace

std::unique_ptr<ItemReader> MakeHeaderReader(ControlSession& session)
{
    return std::make_unique<HeaderReader>(session);
}

std::unique_ptr<ItemReader> MakeStatusBarReader(ControlSession& session)
{
    return std::make_unique<StatusBarReader>(session);
}

std::unique_ptr<ItemReader> MakeTabControlReader(ControlSession& session)
{
    return std::make_unique<TabControlReader>(session);
}

} // namespace mirufon::win32
