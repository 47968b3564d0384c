#pragma once

#include "platform/win32/reading/ControlMessages.h"
#include "platform/win32/reading/RemoteMemory.h"

#include <chrono>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mirufon::win32
{

// The block of memory of one read or harvest in the process of the controls it reads:
// committed on first need and shared by the controls of that process, so that a harvest of a
// list of thousands of rows puts one block into the other program, not one per row. (Should a
// window hold controls of another process, the block moves to that process.)
class ReadMemory
{
  public:
    ReadMemory() = default;
    ReadMemory(const ReadMemory&) = delete;
    ReadMemory& operator=(const ReadMemory&) = delete;

    // The block in the control's process; null when that process gives none, access says why.
    RemoteBlock* BlockFor(HWND control, MemoryAccess& access);

  private:
    bool m_asked = false;
    DWORD m_processId = 0;
    MemoryAccess m_access = MemoryAccess::Failed;
    std::unique_ptr<RemoteBlock> m_block;
};

// The block's layout: the structures of the messages first, the texts the controls copy after
// them. No text is taken longer than the reader's item limit.
inline constexpr std::size_t kStructBytes = 8192;
inline constexpr std::size_t kTextChars = kMaxItemTextChars;
inline constexpr std::size_t kBlockBytes = kStructBytes + (kTextChars + 1) * sizeof(wchar_t);
inline constexpr std::size_t kMostInts = kStructBytes / sizeof(int);

// How reading one control went.
enum class ControlRead
{
    Read,         // what it holds was read (up to where the sink said to stop)
    NoStrings,    // an owner-drawn list that keeps no strings: nothing to ask for
    NoMemory,     // a common control whose process's memory cannot be used (other bitness)
    NotAnswering, // a message went unanswered, or its block could not be used: what was read
                  // is incomplete
    Refused,      // its program refused (it runs as administrator)
    Gone,         // the control went away while it was read: what was read stands
};

// What the result of a message with an item structure tells.
enum class ResultIs
{
    Length,  // the length of the text copied (LVM_GETITEMTEXTW)
    Success, // whether the control has the item at all (TVM_GETITEMW, HDM_GETITEMW, ...)
};

template <typename Item> struct ItemAnswer
{
    LRESULT result = 0;
    Item item{};
    std::wstring text;
};

// One control within one read or harvest: its window messages, each answered within the limit
// or never sent again, and the read's block in its process for the messages whose parameters
// point at structures or texts the control fills in. A control that did not answer a message
// pointing into the block may still write there later: the block is then left to it for good.
class ControlSession
{
  public:
    ControlSession(HWND control, ReadMemory& memory, std::chrono::milliseconds limit);
    ControlSession(const ControlSession&) = delete;
    ControlSession& operator=(const ControlSession&) = delete;

    HWND Control() const { return m_messenger.Control(); }
    ControlMessenger& Messenger() { return m_messenger; }
    std::optional<LRESULT> Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return m_messenger.Send(message, wParam, lParam);
    }
    // Whether the read of this control is over: a message failed or the block could not be
    // used.
    bool Failed() const { return m_messenger.Failed() || m_blockFailed; }
    ControlRead Outcome() const;

    // The read's block in the control's process, committed on first need; null when that
    // process gives none.
    RemoteBlock* Block();
    // Sends a message whose lParam points at the offset inside the block.
    std::optional<LRESULT> SendPointing(UINT message, WPARAM wParam, std::size_t offset);
    bool Write(const void* data, std::size_t bytes, std::size_t offset);
    bool Read(void* data, std::size_t bytes, std::size_t offset);
    // A text at the offset of the block, or one the control points at anywhere in its process.
    std::wstring TextInBlock(std::size_t offset, std::size_t maxChars);
    std::wstring TextAt(const void* address, std::size_t maxChars);

    // Copies the structure into the block, sends the message with its address, and reads back
    // what the control made of it.
    template <typename Info>
    std::optional<std::pair<LRESULT, Info>> Exchange(UINT message, const Info& info);
    // A message that fills an array of count ints (at most kMostInts): its result and the array.
    std::optional<std::pair<LRESULT, std::vector<int>>> Ints(UINT message, std::size_t count);
    // A message with an item structure (LVITEMW, TVITEMW, HDITEMW, TCITEMW, LVCOLUMNW) whose text
    // the block's text area takes, at most maxChars characters of it, up to its first NUL.
    // Nothing when the message failed, or when it says the control has no such item: never
    // the text of an item read before. The control may point the structure at a text of its
    // own instead of filling the area: the text is read from wherever it points afterwards.
    template <typename Item>
    std::optional<ItemAnswer<Item>> Query(UINT message, WPARAM wParam, Item item, ResultIs result,
                                          std::size_t maxChars = kTextChars);
    // A text that the message copies into the block's text area without being told its size
    // (SB_GETTEXTW): sent only when the length told fits the area; read up to its NUL.
    std::optional<std::wstring> CopiedText(UINT message, WPARAM wParam, std::size_t told);

  private:
    // Writes the structure just before the text area, with the area's first character
    // cleared, so that one read brings back both.
    template <typename Item> static constexpr std::size_t StructAt()
    {
        return kStructBytes - (sizeof(Item) + 15) / 16 * 16;
    }
    // Reads back the area from offset: the structure and peek characters of the text.
    bool ReadBack(std::size_t offset, std::size_t peekChars);

    ControlMessenger m_messenger;
    ReadMemory& m_memory;
    RemoteBlock* m_block = nullptr;
    bool m_blockAsked = false;
    MemoryAccess m_access = MemoryAccess::Open;
    bool m_blockFailed = false;
    std::vector<wchar_t> m_back;
};

template <typename Info>
std::optional<std::pair<LRESULT, Info>> ControlSession::Exchange(UINT message, const Info& info)
{
    static_assert(sizeof(Info) <= kStructBytes);
    if (!Write(&info, sizeof info, 0))
    {
        return std::nullopt;
    }
    const std::optional<LRESULT> result = SendPointing(message, 0, 0);
    Info answered{};
    if (!result || !Read(&answered, sizeof answered, 0))
    {
        return std::nullopt;
    }
    return std::make_pair(*result, answered);
}

template <typename Item>
std::optional<ItemAnswer<Item>> ControlSession::Query(UINT message, WPARAM wParam, Item item,
                                                      ResultIs resultIs, std::size_t maxChars)
{
    constexpr std::size_t at = StructAt<Item>();
    RemoteBlock* block = Block();
    if (!block)
    {
        return std::nullopt;
    }
    auto* const textArea = static_cast<wchar_t*>(block->AddressAt(kStructBytes));
    const std::size_t room = std::min(maxChars, kTextChars);
    item.pszText = textArea;
    item.cchTextMax = static_cast<int>(room + 1);
    unsigned char image[kStructBytes - at + sizeof(wchar_t)] = {};
    std::memcpy(image, &item, sizeof item);
    if (!Write(image, sizeof image, at))
    {
        return std::nullopt;
    }
    const std::optional<LRESULT> result = SendPointing(message, wParam, at);
    if (!result || (resultIs == ResultIs::Success && *result == 0))
    {
        return std::nullopt;
    }
    const std::size_t told =
        resultIs == ResultIs::Length
            ? std::min(static_cast<std::size_t>(std::max<LRESULT>(*result, 0)), room)
            : room;
    // A text whose length is not told is read with its structure up to this many characters,
    // and the rest (if any) after.
    constexpr std::size_t kPeekChars = 256;
    const std::size_t peek = std::min(resultIs == ResultIs::Length ? told : kPeekChars, room) + 1;
    if (!ReadBack(at, peek))
    {
        return std::nullopt;
    }
    ItemAnswer<Item> answer;
    answer.result = *result;
    std::memcpy(&answer.item, m_back.data(), sizeof(Item));
    if (answer.item.pszText != textArea)
    {
        answer.text = TextAt(answer.item.pszText, room);
        return answer;
    }
    constexpr std::size_t textAt = (kStructBytes - at) / sizeof(wchar_t);
    const std::wstring_view seen(m_back.data() + textAt, peek);
    const std::size_t end = std::min(seen.find(L'\0'), told);
    if (end < peek || resultIs == ResultIs::Length)
    {
        answer.text = seen.substr(0, end);
        return answer;
    }
    answer.text = seen;
    answer.text += TextInBlock(kStructBytes + peek * sizeof(wchar_t), room - peek);
    return answer;
}

} // namespace mirufon::win32
