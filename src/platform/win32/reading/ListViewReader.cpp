// List views: the item or sub-item under the pointer, and every row of a harvest, read through
// the read's block in the list view's process.

#include "platform/win32/reading/ItemReaders.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace mirufon::win32
{
namespace
{

// Rows are read in batches: one write of their cells' item structures, each pointing at a slot
// of kSlotChars characters in the block (cleared by the same write), one message per cell, and
// one read of what came back. A text that fills its slot is asked again on its own.
constexpr std::size_t kItemBytes = (sizeof(LVITEMW) + 15) / 16 * 16;
constexpr std::size_t kSlotChars = 256;
constexpr std::size_t kCellBytes = kItemBytes + kSlotChars * sizeof(wchar_t);
constexpr std::size_t kMostRowsAtOnce = 64;
constexpr std::size_t kAreaBytes = kTextChars * sizeof(wchar_t);
static_assert(kMostInts * kCellBytes <= kAreaBytes);

struct Column
{
    int index = 0;
    std::wstring heading;
};

class ListViewReader final : public ItemReader
{
  public:
    explicit ListViewReader(ControlSession& session) : m_session(session) {}

    std::optional<std::wstring> ItemAt(POINT client, std::size_t maxChars) override
    {
        LVHITTESTINFO hitTest{};
        hitTest.pt = client;
        const auto hit = m_session.Exchange(LVM_SUBITEMHITTEST, hitTest);
        if (!hit || hit->second.iItem < 0 || (hit->second.flags & LVHT_ONITEM) == 0)
        {
            return std::nullopt;
        }
        LVITEMW item{};
        item.iSubItem = hit->second.iSubItem;
        auto answer = m_session.Query(LVM_GETITEMTEXTW, static_cast<WPARAM>(hit->second.iItem),
                                      item, ResultIs::Length, maxChars);
        return answer ? std::optional<std::wstring>(std::move(answer->text)) : std::nullopt;
    }

    void HarvestAll(HarvestSink& sink) override
    {
        const std::optional<std::vector<Column>> shown = ShownColumns();
        if (shown && !shown->empty() && ShowsHeadings())
        {
            std::vector<std::wstring> headings;
            for (const Column& column : *shown)
            {
                headings.push_back(column.heading);
            }
            if (!sink.AddLine(headings))
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
        const std::size_t rowsAtOnce = std::clamp<std::size_t>(
            kAreaBytes / (subItems.size() * kCellBytes), 1, kMostRowsAtOnce);
        std::size_t rows = CountOf(m_session.Send(LVM_GETITEMCOUNT));
        std::vector<std::vector<std::wstring>> batch;
        for (std::size_t row = 0; row < rows && !sink.ShouldStop(); row += batch.size())
        {
            batch.assign(std::min(rowsAtOnce, rows - row),
                         std::vector<std::wstring>(subItems.size()));
            const std::size_t read = ReadRows(row, subItems, batch, sink);
            // Rows taken away meanwhile are not read as blank ones.
            if (read == batch.size())
            {
                if (const std::optional<LRESULT> count = m_session.Send(LVM_GETITEMCOUNT))
                {
                    rows = std::min(rows, CountOf(count));
                }
            }
            for (std::size_t i = 0; i < read && row + i < rows; ++i)
            {
                if (!sink.AddLine(batch[i]))
                {
                    return;
                }
            }
            if (read < batch.size())
            {
                return;
            }
        }
    }

  private:
    // The list view's columns as shown, those of no width left out; nothing when it has no
    // columns at all.
    std::optional<std::vector<Column>> ShownColumns()
    {
        std::vector<Column> columns;
        std::vector<bool> hidden;
        for (std::size_t index = 0; index < kMostInts; ++index)
        {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            auto answer = m_session.Query(LVM_GETCOLUMNW, index, column, ResultIs::Success);
            if (!answer)
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
        for (const int index : ShownOrder(m_session, LVM_GETCOLUMNORDERARRAY, columns.size()))
        {
            if (!hidden[static_cast<std::size_t>(index)])
            {
                shown.push_back(columns[static_cast<std::size_t>(index)]);
            }
        }
        return shown;
    }

    // Whether the list view shows its column headings: in report view, with a visible header.
    bool ShowsHeadings()
    {
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(m_session.Control(), GWL_STYLE));
        if ((style & LVS_NOCOLUMNHEADER) != 0)
        {
            return false;
        }
        const std::optional<LRESULT> view = m_session.Send(LVM_GETVIEW);
        if ((style & LVS_TYPEMASK) != LVS_REPORT && view != LV_VIEW_DETAILS)
        {
            return false;
        }
        const std::optional<LRESULT> header = m_session.Send(LVM_GETHEADER);
        return header && ::IsWindowVisible(reinterpret_cast<HWND>(*header));
    }

    // The cells of the rows from firstRow on, as many rows as the batch holds; the number of
    // rows read whole: fewer when the control stopped answering, went away (the rows it told
    // before stand) or its block could not be used.
    std::size_t ReadRows(std::size_t firstRow, const std::vector<int>& subItems,
                         std::vector<std::vector<std::wstring>>& batch, HarvestSink& sink)
    {
        RemoteBlock* block = m_session.Block();
        if (!block)
        {
            return 0;
        }
        const std::size_t columns = subItems.size();
        const std::size_t cells = batch.size() * columns;
        const std::size_t slotsAt = cells * kItemBytes;
        auto* const area = static_cast<char*>(block->AddressAt(kStructBytes));
        const auto slot = [&](std::size_t cell)
        { return reinterpret_cast<wchar_t*>(area + slotsAt) + cell * kSlotChars; };
        m_image.assign(cells * kCellBytes, 0);
        for (std::size_t cell = 0; cell < cells; ++cell)
        {
            LVITEMW item{};
            item.iSubItem = subItems[cell % columns];
            item.pszText = slot(cell);
            item.cchTextMax = static_cast<int>(kSlotChars);
            std::memcpy(m_image.data() + cell * kItemBytes, &item, sizeof item);
        }
        if (!m_session.Write(m_image.data(), m_image.size(), kStructBytes))
        {
            return 0;
        }
        m_lengths.resize(cells);
        std::size_t answered = 0;
        for (; answered < cells; ++answered)
        {
            const std::optional<LRESULT> length =
                m_session.SendPointing(LVM_GETITEMTEXTW, firstRow + answered / columns,
                                       kStructBytes + answered * kItemBytes);
            if (!length)
            {
                break;
            }
            sink.Answered();
            m_lengths[answered] = static_cast<std::size_t>(std::max<LRESULT>(*length, 0));
        }
        const std::size_t rowsAnswered = answered / columns;
        if (rowsAnswered == 0 || !m_session.Read(m_image.data(), m_image.size(), kStructBytes))
        {
            return 0;
        }
        for (std::size_t cell = 0; cell < rowsAnswered * columns; ++cell)
        {
            std::wstring& text = batch[cell / columns][cell % columns];
            LVITEMW answered{};
            std::memcpy(&answered, m_image.data() + cell * kItemBytes, sizeof answered);
            if (answered.pszText != slot(cell))
            {
                // The control pointed the structure at a text of its own.
                text = m_session.TextAt(answered.pszText, kTextChars);
                continue;
            }
            const auto* chars =
                reinterpret_cast<const wchar_t*>(m_image.data() + slotsAt) + cell * kSlotChars;
            const std::wstring_view written(chars, std::min(m_lengths[cell], kSlotChars - 1));
            text = written.substr(0, written.find(L'\0'));
            if (m_lengths[cell] >= kSlotChars - 1 &&
                !ReadLongCell(firstRow + cell / columns, subItems[cell % columns], text))
            {
                return cell / columns;
            }
        }
        return rowsAnswered;
    }

    // A cell that filled its slot, asked again on its own.
    bool ReadLongCell(std::size_t row, int subItem, std::wstring& text)
    {
        LVITEMW item{};
        item.iSubItem = subItem;
        auto answer = m_session.Query(LVM_GETITEMTEXTW, row, item, ResultIs::Length);
        if (!answer)
        {
            return false;
        }
        text = std::move(answer->text);
        return true;
    }

    ControlSession& m_session;
    std::vector<char> m_image;
    std::vector<std::size_t> m_lengths;
};

} // namespace

std::unique_ptr<ItemReader> MakeListViewReader(ControlSession& session)
{
    return std::make_unique<ListViewReader>(session);
}

} // namespace mirufon::win32
