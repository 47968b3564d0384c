#pragma once

#include "platform/HotKeyApi.h"
#include "platform/WindowProcedureSlot.h"
#include "settings/Settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirufon
{

// The five hotkey commands, in the order they are registered, unregistered and matched.
enum class HotKeyCommand
{
    GetName,
    GetValue,
    Crlf,
    Back,
    Stop,
};

inline constexpr std::size_t kHotKeyCommandCount = 5;

inline constexpr std::array<HotKeyCommand, kHotKeyCommandCount> kHotKeyCommands = {
    HotKeyCommand::GetName, HotKeyCommand::GetValue, HotKeyCommand::Crlf,
    HotKeyCommand::Back,    HotKeyCommand::Stop,
};

// Modifier flags as RegisterHotKey takes them.
inline constexpr unsigned kModAlt = 1;
inline constexpr unsigned kModControl = 2;
inline constexpr unsigned kModShift = 4;

// The name of the global atom whose value is the command's hotkey id ("ADDPOINT_GETNAME"...).
std::wstring_view AtomName(HotKeyCommand command);

// The settings field holding the command's key letter.
const std::wstring& KeySetting(const Settings& settings, HotKeyCommand command);

// HotKeyModify, compared without regard to ASCII case: "shift" 4, "ctrl" 2, "alt" 1,
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

// Registers the hotkeys of the main window and installs the hotkey window procedure in front
// of the window's procedure; takes both away again. Installation nests with the copy
// handler, which also replaces the window procedure: whoever installs last must remove first.
class HotKeyManager
{
  public:
    // hotKeyProcedure is the procedure to put in the window's slot while installed.
    HotKeyManager(HotKeyApi& api, WindowProcedureSlot& slot, ProcedureId hotKeyProcedure);
    HotKeyManager(const HotKeyManager&) = delete;
    HotKeyManager& operator=(const HotKeyManager&) = delete;
    // Unregisters when still installed, so no atom reference and no hotkey outlive it. The
    // owner should still unregister explicitly, at the right point of the shutdown order.
    ~HotKeyManager();

    // Registers all five hotkeys (all) or only stop/resume (!all) with the settings' keys and
    // modifier, then installs the hotkey procedure. A command whose key gives no virtual-key
    // code or whose atom cannot be added is skipped and keeps id 0. A combination the system
    // refuses keeps its atom as id (deleted again on unregistration) and is silently without
    // a hotkey. When already installed, unregisters first, so a repeated call neither leaks
    // atoms nor loses the procedure it replaced.
    void Register(const Settings& settings, bool all);

    // Puts back the procedure that Register replaced, withdraws every registered hotkey and
    // deletes its atom. Does nothing when not installed.
    void Unregister();

    // The procedure the hotkey procedure passes messages on to; 0 when not installed, or when
    // the window refused the replacement (the hotkey procedure is then not in place).
    ProcedureId Previous() const { return m_previous; }
    bool IsInstalled() const { return m_installed; }

    // The command whose id equals the low 32 bits of a WM_HOTKEY wParam; the first in command
    // order wins. Ids of 0 (not registered) never match.
    std::optional<HotKeyCommand> Match(std::int32_t wParamLow32) const;

    const std::array<std::int32_t, kHotKeyCommandCount>& Ids() const { return m_ids; }

  private:
    HotKeyApi& m_api;
    WindowProcedureSlot& m_slot;
    ProcedureId m_procedure;
    ProcedureId m_previous = 0;
    bool m_installed = false;
    std::array<std::int32_t, kHotKeyCommandCount> m_ids{};
};

// The hotkey procedure's guard against running a second command while one runs: a command
// that pumps messages, or a message sent to the window during a command, would otherwise
// start another command in the middle of the first.
class HotKeyDispatcher
{
  public:
    // When no command is running: for a WM_HOTKEY whose id matches, calls run with the
    // command. While a command runs, does nothing. The guard is released on every way out,
    // an exception from run included (the exception goes on to the caller). Passing the
    // message on is the caller's job, with the manager's Previous() read after this returns,
    // since stop/resume re-installs the procedure meanwhile.
    void OnMessage(bool isHotKey, std::int32_t wParamLow32, const HotKeyManager& manager,
                   const std::function<void(HotKeyCommand)>& run);

    bool IsBusy() const { return m_busy; }

  private:
    bool m_busy = false;
};

} // namespace mirufon
