#pragma once

#include "platform/Clock.h"
#include "platform/HotKeyApi.h"
#include "settings/Settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirufon
{

// The six hotkey commands, in the order they are registered, unregistered and matched. The
// harvest came last, so that any combination it shares with an older command stays with that
// command.
enum class HotKeyCommand
{
    CaptureName,
    CaptureValue,
    LineBreak,
    CancelLast,
    StopResume,
    HarvestAll,
};

inline constexpr std::size_t kHotKeyCommandCount = 6;

inline constexpr std::array<HotKeyCommand, kHotKeyCommandCount> kHotKeyCommands = {
    HotKeyCommand::CaptureName, HotKeyCommand::CaptureValue, HotKeyCommand::LineBreak,
    HotKeyCommand::CancelLast,  HotKeyCommand::StopResume,   HotKeyCommand::HarvestAll,
};

// Modifier flags as RegisterHotKey takes them.
inline constexpr unsigned kModAlt = 1;
inline constexpr unsigned kModControl = 2;
inline constexpr unsigned kModShift = 4;

// The name of the global atom whose value is the command's hotkey id ("ADDPOINT_GETNAME"...).
std::wstring_view AtomName(HotKeyCommand command);

// The settings field holding the command's key letter.
const std::wstring& KeySetting(const Settings& settings, HotKeyCommand command);

// modifier, compared without regard to ASCII case: "shift" 4, "ctrl" 2, "alt" 1,
// "shift+ctrl" 6; anything else falls back to Shift (4).
unsigned ModifierFlags(std::wstring_view modify);

// The virtual-key code for a key setting, from its first character:
// - "a" to "z" give the letter keys' codes 65 to 90, like "A" to "Z": a lower-case letter in a
//   hand-edited Conf.txt means that letter key (its raw code 97 would be numeric keypad 1);
// - any other printable ASCII character (space to "~") gives its own code;
// - an empty setting, a control character or a character outside ASCII gives nothing, and
//   that command is simply left without a hotkey.
std::optional<unsigned> VirtualKeyOf(std::wstring_view key);

// An atom used as a hotkey id: taken as a signed 16-bit value and widened, so the atoms from
// 0xC000 up become negative (0xC000 -> -16384). Registration and matching both use it.
std::int32_t HotKeyIdFromAtom(std::uint16_t atom);

// The main window's global hotkeys: registers them with the system and tells which command a
// WM_HOTKEY id stands for. While nothing is registered, no id matches, so the window's
// hotkey messages do nothing.
class HotKeyManager
{
  public:
    explicit HotKeyManager(HotKeyApi& api);
    HotKeyManager(const HotKeyManager&) = delete;
    HotKeyManager& operator=(const HotKeyManager&) = delete;
    // Unregisters, so no atom reference and no hotkey outlive it. The owner should still
    // unregister explicitly, at the right point of the shutdown order.
    ~HotKeyManager();

    // Registers all six hotkeys (all) or only stop/resume (!all) with the settings' keys and
    // modifier. A command whose key gives no virtual-key code or whose atom cannot be added is
    // skipped and keeps id 0. A combination the system refuses keeps its atom as id (deleted
    // again on unregistration) and is without a hotkey; Refused tells which. Whatever was
    // registered before is unregistered first, so a repeated call leaks no atom.
    void Register(const Settings& settings, bool all);

    // Switches between all six hotkeys (all) and stop/resume alone (!all) while the
    // stop/resume hotkey stays registered throughout: a press of it that arrives during the
    // switch still reaches the window. When another command shares the stop/resume key, or
    // stop/resume has no hotkey, everything is registered again in command order instead, so
    // that the same command holds the shared combination as before. Does nothing while nothing
    // is registered (the settings dialog is open, or start-up has not registered yet).
    void Switch(const Settings& settings, bool all);

    // Withdraws every registered hotkey and deletes its atom. Does nothing when none is.
    void Unregister();

    bool IsRegistered() const { return m_registered; }

    // The registered commands, in command order, whose combination the system refused although
    // no other command of this window holds it: another program does. A command whose key
    // another command shares, and which lost it to that command, is not among them.
    std::vector<HotKeyCommand> Refused() const;

    // The command whose id equals the low 32 bits of a WM_HOTKEY wParam; the first in command
    // order wins. Ids of 0 (not registered) never match.
    std::optional<HotKeyCommand> Match(std::int32_t wParamLow32) const;

    // The virtual key of the combination the command holds; nothing when it holds none.
    std::optional<unsigned> KeyOf(HotKeyCommand command) const;

    const std::array<std::int32_t, kHotKeyCommandCount>& Ids() const { return m_ids; }

  private:
    void RegisterOne(const Settings& settings, HotKeyCommand command);
    void UnregisterOne(HotKeyCommand command);

    HotKeyApi& m_api;
    bool m_registered = false;
    std::array<std::int32_t, kHotKeyCommandCount> m_ids{};
    // The combination each command holds (0 when none), and for each whether the system
    // refused it a combination that no command of ours holds: another program's.
    std::array<unsigned, kHotKeyCommandCount> m_held{};
    std::array<bool, kHotKeyCommandCount> m_refused{};
};

// How soon the dispatcher looks again whether a pressed command's key has been released, for
// as long as it is held: a press after a release shorter than this may count as held.
inline constexpr std::int64_t kKeyReleaseCheckMs = 10;
// How long after a press a key reading "up" is not taken for its release: Wine answers from a
// copy of the keyboard's state that it keeps for up to 50 ms, in which a key that has just gone
// down is still up.
inline constexpr std::int64_t kKeyStateLagMs = 100;
// A keyboard repeats a held key no sooner than this after it went down (Windows' shortest
// keyboard delay is 250 ms): a press that comes sooner after the last is a new one, even
// when its key still reads down because the press is handled before its release arrives.
inline constexpr std::int64_t kShortestRepeatDelayMs = 200;

// Runs the command of each hotkey press, once per press. It guards against running a second
// command while one runs: a command that waits on another program (whose replies are
// dispatched meanwhile), or a message sent to the window during a command, would otherwise
// start another command in the middle of the first. And it drops the repeats of a held key:
// Wine sends the hotkey again and again while its key is down, and a held key would append its
// text many times, cancel item after item, or flip stop and resume back and forth.
class HotKeyDispatcher
{
  public:
    // keys tells whether a key is down, clock when a press came.
    HotKeyDispatcher(HotKeyApi& keys, const Clock& clock);
    HotKeyDispatcher(const HotKeyDispatcher&) = delete;
    HotKeyDispatcher& operator=(const HotKeyDispatcher&) = delete;

    // When no command is running: for an id that matches, calls run with the command, unless
    // its key has not been seen released since the command's last press, is still down, and
    // that press came kShortestRepeatDelayMs or more ago: a repeat. A press whose key is already
    // up when it is handled runs, and so does one that follows the last within the delay. While a
    // command runs, does nothing: that press is dropped. The guard is released on every way out, an
    // exception from run included (the exception goes on to the caller).
    void OnHotKey(std::int32_t wParamLow32, const HotKeyManager& manager,
                  const std::function<void(HotKeyCommand)>& run);

    // Takes note of the keys released since their commands' last presses, kKeyStateLagMs or
    // more ago. True while some command's key is still held: the owner asks again after
    // kKeyReleaseCheckMs, so that the next press after a release runs.
    bool CheckReleases();
    bool IsAnyKeyHeld() const;

  private:
    // The key of a command's last press, while it has not been seen released (0 otherwise),
    // and when that press came.
    struct HeldKey
    {
        unsigned key = 0;
        std::int64_t pressedMs = 0;
    };

    HotKeyApi& m_keys;
    const Clock& m_clock;
    bool m_busy = false;
    std::array<HeldKey, kHotKeyCommandCount> m_held{};
};

} // namespace mirufon
