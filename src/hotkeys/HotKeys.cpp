#include "hotkeys/HotKeys.h"

#include "platform/ScopedFlag.h"
#include "text/AsciiCase.h"

#include <algorithm>
#include <cstddef>

namespace mirufon
{

namespace
{

std::size_t IndexOf(HotKeyCommand command)
{
    return static_cast<std::size_t>(command);
}

// Whether another command's key gives the same virtual key as stop/resume's: with the one
// modifier they share, both then ask for the same combination, and the first in command order
// gets it.
bool SharesStopKey(const Settings& settings)
{
    const std::optional<unsigned> stopKey = VirtualKeyOf(settings.stopKey);
    if (!stopKey)
    {
        return false;
    }
    for (HotKeyCommand command : kHotKeyCommands)
    {
        if (command != HotKeyCommand::StopResume &&
            VirtualKeyOf(KeySetting(settings, command)) == stopKey)
        {
            return true;
        }
    }
    return false;
}

} // namespace

std::wstring_view AtomName(HotKeyCommand command)
{
    switch (command)
    {
    case HotKeyCommand::CaptureName:
        return L"ADDPOINT_GETNAME";
    case HotKeyCommand::CaptureValue:
        return L"ADDPOINT_GETVALUE";
    case HotKeyCommand::LineBreak:
        return L"ADDPOINT_CRLF";
    case HotKeyCommand::CancelLast:
        return L"ADDPOINT_BACK";
    case HotKeyCommand::StopResume:
        return L"ADDPOINT_STOP";
    case HotKeyCommand::HarvestAll:
        return L"ADDPOINT_GETALL";
    }
    return L"";
}

const std::wstring& KeySetting(const Settings& settings, HotKeyCommand command)
{
    switch (command)
    {
    case HotKeyCommand::CaptureName:
        return settings.nameKey;
    case HotKeyCommand::CaptureValue:
        return settings.valueKey;
    case HotKeyCommand::LineBreak:
        return settings.lineBreakKey;
    case HotKeyCommand::CancelLast:
        return settings.cancelKey;
    case HotKeyCommand::StopResume:
        return settings.stopKey;
    case HotKeyCommand::HarvestAll:
        return settings.harvestKey;
    }
    return settings.stopKey;
}

unsigned ModifierFlags(std::wstring_view modify)
{
    if (EqualsIgnoringAsciiCase(modify, L"shift"))
    {
        return kModShift;
    }
    if (EqualsIgnoringAsciiCase(modify, L"ctrl"))
    {
        return kModControl;
    }
    if (EqualsIgnoringAsciiCase(modify, L"alt"))
    {
        return kModAlt;
    }
    if (EqualsIgnoringAsciiCase(modify, L"shift+ctrl"))
    {
        return kModShift | kModControl;
    }
    return kModShift;
}

std::optional<unsigned> VirtualKeyOf(std::wstring_view key)
{
    if (key.empty())
    {
        return std::nullopt;
    }
    // Compared as an unsigned number so that neither a signed 16-bit wchar_t nor a code above
    // U+FFFF can slip into the ASCII range.
    using UnsignedChar = std::make_unsigned_t<wchar_t>;
    const auto code = static_cast<std::uint32_t>(static_cast<UnsignedChar>(key[0]));
    if (code >= 'a' && code <= 'z')
    {
        return code - 'a' + 'A';
    }
    if (code >= 0x20 && code <= 0x7E)
    {
        return code;
    }
    return std::nullopt;
}

std::int32_t HotKeyIdFromAtom(std::uint16_t atom)
{
    return static_cast<std::int32_t>(static_cast<std::int16_t>(atom));
}

HotKeyManager::HotKeyManager(HotKeyApi& api) : m_api(api)
{
}

HotKeyManager::~HotKeyManager()
{
    Unregister();
}

void HotKeyManager::Register(const Settings& settings, bool all)
{
    Unregister();
    for (HotKeyCommand command : kHotKeyCommands)
    {
        if (all || command == HotKeyCommand::StopResume)
        {
            RegisterOne(settings, command);
        }
    }
    m_registered = true;
}

void HotKeyManager::Switch(const Settings& settings, bool all)
{
    if (!m_registered)
    {
        return;
    }
    if (m_ids[IndexOf(HotKeyCommand::StopResume)] == 0 || SharesStopKey(settings))
    {
        Register(settings, all);
        return;
    }
    for (HotKeyCommand command : kHotKeyCommands)
    {
        if (command == HotKeyCommand::StopResume)
        {
            continue;
        }
        if (!all)
        {
            UnregisterOne(command);
        }
        else if (m_ids[IndexOf(command)] == 0)
        {
            RegisterOne(settings, command);
        }
    }
}

void HotKeyManager::RegisterOne(const Settings& settings, HotKeyCommand command)
{
    const std::optional<unsigned> virtualKey = VirtualKeyOf(KeySetting(settings, command));
    if (!virtualKey)
    {
        return;
    }
    const std::uint16_t atom = m_api.AddGlobalAtom(AtomName(command));
    if (atom == 0)
    {
        return;
    }
    const std::size_t index = IndexOf(command);
    m_ids[index] = HotKeyIdFromAtom(atom);
    // A refused combination stays without a hotkey; its atom is kept as the id and is deleted
    // with the others on unregistration.
    const unsigned modifiers = ModifierFlags(settings.modifier);
    // Neither the modifiers nor the key is ever 0, so the combination never is.
    const unsigned combination = modifiers << 16 | *virtualKey;
    if (m_api.Register(m_ids[index], modifiers, *virtualKey))
    {
        m_held[index] = combination;
        return;
    }
    m_refused[index] = std::find(m_held.begin(), m_held.end(), combination) == m_held.end();
}

void HotKeyManager::UnregisterOne(HotKeyCommand command)
{
    std::int32_t& id = m_ids[IndexOf(command)];
    if (id == 0)
    {
        return;
    }
    m_api.Unregister(id);
    m_api.DeleteGlobalAtom(static_cast<std::uint16_t>(id));
    id = 0;
    m_held[IndexOf(command)] = 0;
    m_refused[IndexOf(command)] = false;
}

void HotKeyManager::Unregister()
{
    for (HotKeyCommand command : kHotKeyCommands)
    {
        UnregisterOne(command);
    }
    m_registered = false;
}

std::vector<HotKeyCommand> HotKeyManager::Refused() const
{
    std::vector<HotKeyCommand> refused;
    for (HotKeyCommand command : kHotKeyCommands)
    {
        if (m_refused[IndexOf(command)])
        {
            refused.push_back(command);
        }
    }
    return refused;
}

std::optional<HotKeyCommand> HotKeyManager::Match(std::int32_t wParamLow32) const
{
    if (wParamLow32 == 0)
    {
        return std::nullopt;
    }
    for (HotKeyCommand command : kHotKeyCommands)
    {
        if (m_ids[IndexOf(command)] == wParamLow32)
        {
            return command;
        }
    }
    return std::nullopt;
}

std::optional<unsigned> HotKeyManager::KeyOf(HotKeyCommand command) const
{
    const unsigned combination = m_held[IndexOf(command)];
    if (combination == 0)
    {
        return std::nullopt;
    }
    return combination & 0xFFFF;
}

HotKeyDispatcher::HotKeyDispatcher(HotKeyApi& keys, const Clock& clock)
    : m_keys(keys), m_clock(clock)
{
}

void HotKeyDispatcher::OnHotKey(std::int32_t wParamLow32, const HotKeyManager& manager,
                                const std::function<void(HotKeyCommand)>& run)
{
    if (m_busy)
    {
        return;
    }
    const ScopedFlag busy(m_busy);
    const std::optional<HotKeyCommand> command = manager.Match(wParamLow32);
    if (!command || !run)
    {
        return;
    }
    const unsigned key = manager.KeyOf(*command).value_or(0);
    HeldKey& held = m_held[IndexOf(*command)];
    // A key that has been down since the last press, longer than the keyboard waits before it
    // repeats, reads down even in Wine.
    if (key != 0 && held.key == key && m_clock.NowMs() - held.pressedMs >= kShortestRepeatDelayMs &&
        m_keys.IsKeyDown(key))
    {
        return;
    }
    held = HeldKey{key, m_clock.NowMs()};
    run(*command);
}

bool HotKeyDispatcher::CheckReleases()
{
    const std::int64_t now = m_clock.NowMs();
    for (HeldKey& held : m_held)
    {
        if (held.key != 0 && now - held.pressedMs >= kKeyStateLagMs && !m_keys.IsKeyDown(held.key))
        {
            held.key = 0;
        }
    }
    return IsAnyKeyHeld();
}

bool HotKeyDispatcher::IsAnyKeyHeld() const
{
    return std::any_of(m_held.begin(), m_held.end(),
                       [](const HeldKey& held) { return held.key != 0; });
}

} // namespace mirufon
