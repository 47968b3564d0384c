#include "platform/win32/reading/ControlSession.h"

namespace mirufon::win32
{

RemoteBlock* ReadMemory::BlockFor(HWND control, MemoryAccess& access)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(control, &processId);
    if (!m_asked || processId != m_processId)
    {
        m_asked = true;
        m_block.reset();
        m_processId = processId;
        TargetProcess process = OpenTargetProcess(control);
        m_access = process.access;
        if (process.handle)
        {
            auto block = std::make_unique<RemoteBlock>(std::move(process.handle), kBlockBytes);
            if (*block)
            {
                m_block = std::move(block);
            }
            else
            {
                m_access = MemoryAccess::Failed;
            }
        }
    }
    access = m_access;
    return m_block.get();
}

ControlSession::ControlSession(HWND control, ReadMemory& memory, std::chrono::milliseconds limit)
    : m_messenger(control, limit), m_memory(memory)
{
}

ControlRead ControlSession::Outcome() const
{
    if (const std::optional<MessageFailure> failure = m_messenger.Failure())
    {
        switch (*failure)
        {
        case MessageFailure::NotAnswering:
            return ControlRead::NotAnswering;
        case MessageFailure::Refused:
            return ControlRead::Refused;
        case MessageFailure::Gone:
            return ControlRead::Gone;
        }
    }
    if (m_blockFailed)
    {
        // The other program freed the block, or went away with it.
        return ::IsWindow(Control()) ? ControlRead::NotAnswering : ControlRead::Gone;
    }
    if (m_blockAsked && !m_block)
    {
        return m_access == MemoryAccess::Refused ? ControlRead::Refused : ControlRead::NoMemory;
    }
    return ControlRead::Read;
}

RemoteBlock* ControlSession::Block()
{
    if (!m_blockAsked)
    {
        m_blockAsked = true;
        m_block = m_memory.BlockFor(Control(), m_access);
    }
    return m_block;
}

std::optional<LRESULT> ControlSession::SendPointing(UINT message, WPARAM wParam, std::size_t offset)
{
    RemoteBlock* block = Block();
    if (!block || m_blockFailed)
    {
        return std::nullopt;
    }
    const std::optional<RemoteBlock::Use> use = block->BeginUse();
    if (!use)
    {
        m_blockFailed = true;
        return std::nullopt;
    }
    const bool asked = !m_messenger.Failed();
    const std::optional<LRESULT> result =
        m_messenger.Send(message, wParam, reinterpret_cast<LPARAM>(block->AddressAt(offset)));
    // A refused message never reached the control, nor one to a control that is gone; one that
    // went unanswered may still be answered, into the block.
    if (!result && asked && m_messenger.Unanswered())
    {
        block->Leak();
    }
    return result;
}

bool ControlSession::Write(const void* data, std::size_t bytes, std::size_t offset)
{
    RemoteBlock* block = Block();
    m_blockFailed = m_blockFailed || (block && !block->Write(data, bytes, offset));
    return block && !m_blockFailed;
}

bool ControlSession::Read(void* data, std::size_t bytes, std::size_t offset)
{
    RemoteBlock* block = Block();
    m_blockFailed = m_blockFailed || (block && !block->Read(data, bytes, offset));
    return block && !m_blockFailed;
}

std::wstring ControlSession::TextInBlock(std::size_t offset, std::size_t maxChars)
{
    RemoteBlock* block = Block();
    return block ? block->ReadString(offset, maxChars) : std::wstring();
}

std::wstring ControlSession::TextAt(const void* address, std::size_t maxChars)
{
    RemoteBlock* block = Block();
    return block ? ReadRemoteString(block->Process(), address, std::min(maxChars, kTextChars))
                 : std::wstring();
}

bool ControlSession::ReadBack(std::size_t offset, std::size_t peekChars)
{
    m_back.resize((kStructBytes - offset) / sizeof(wchar_t) + peekChars);
    return Read(m_back.data(), m_back.size() * sizeof(wchar_t), offset);
}

std::optional<std::pair<LRESULT, std::vector<int>>> ControlSession::Ints(UINT message,
                                                                         std::size_t count)
{
    count = std::min(count, kMostInts);
    std::vector<int> ints(count, 0);
    const std::size_t bytes = count * sizeof(int);
    if (!Write(ints.data(), bytes, 0))
    {
        return std::nullopt;
    }
    const std::optional<LRESULT> result = SendPointing(message, count, 0);
    if (!result || !Read(ints.data(), bytes, 0))
    {
        return std::nullopt;
    }
    return std::make_pair(*result, std::move(ints));
}

std::optional<std::wstring> ControlSession::CopiedText(UINT message, WPARAM wParam,
                                                       std::size_t told)
{
    // The message takes no buffer size: a text the area could not hold would overrun it.
    if (told >= kTextChars)
    {
        return std::nullopt;
    }
    const wchar_t cleared = L'\0';
    if (!Write(&cleared, sizeof cleared, kStructBytes) ||
        !SendPointing(message, wParam, kStructBytes))
    {
        return std::nullopt;
    }
    return TextInBlock(kStructBytes, kTextChars);
}

} // namespace mirufon::win32
