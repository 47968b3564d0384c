#include "hotkeys/KeyChords.h"

namespace mirufon
{

bool IsSelectAllChord(int keyCode, bool shift, bool ctrl, bool alt)
{
    constexpr int kKeyA = 65;
    return keyCode == kKeyA && ctrl && !shift && !alt;
}

} // namespace mirufon
