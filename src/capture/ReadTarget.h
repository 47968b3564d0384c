#pragma once

#include "capture/ControlKind.h"
#include "capture/ReadProgress.h"
#include "platform/WindowId.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace mirufon
{

// No limit on the length of a text: a capture takes the whole text.
inline constexpr std::size_t kWholeText = std::numeric_limits<std::size_t>::max();
// The preview boxes show the beginning of a text; a read for the preview asks no more.
inline constexpr std::size_t kPreviewChars = 4096;

// Texts longer than this are announced before they are copied.
inline constexpr std::size_t kLongTextChars = 1'000'000;

// The element a read is about: the screen point, and the control there as the readers see
// it, worked out once per read before any reader runs.
struct ReadTarget
{
    std::int32_t x = 0; // screen point, pixels
    std::int32_t y = 0;
    // The smallest visible child window that contains the point, group boxes skipped (they
    // cover the controls of a page); the top-level window itself when it has none there.
    WindowId control = 0;
    ControlKind kind = ControlKind::Other;
    // A password box, of any toolkit: nothing is read of it.
    bool isPassword = false;
    // At most this many characters are wanted of each text.
    std::size_t maxChars = kWholeText;
    // Told of a long text before it is copied, when anyone listens.
    ReadProgress* progress = nullptr;
};

// Which of the two texts a read wants.
struct WantedTexts
{
    bool name = false;
    bool value = false;
};

} // namespace mirufon
