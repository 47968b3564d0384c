#pragma once

namespace mirufon
{

// Ctrl+A exactly (key code 65, Ctrl alone).
bool IsSelectAllChord(int keyCode, bool shift, bool ctrl, bool alt);

} // namespace mirufon
