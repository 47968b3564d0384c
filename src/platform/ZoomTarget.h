#pragma once

#include <cstdint>

namespace mirufon
{

// A window's width and height in twips.
struct ZoomSize
{
    std::int32_t width;
    std::int32_t height;

    friend bool operator==(const ZoomSize&, const ZoomSize&) = default;
};

// The window the closing animation shrinks. Lengths are in twips; the platform may adjust a
// size (to whole pixels, to a minimum), which is why SetSize reports what the window took.
class ZoomTarget
{
  public:
    ZoomTarget() = default;
    ZoomTarget(const ZoomTarget&) = delete;
    ZoomTarget& operator=(const ZoomTarget&) = delete;
    virtual ~ZoomTarget() = default;

    // Resizes the window, keeping its top-left corner; returns the size it really took.
    virtual ZoomSize SetSize(std::int32_t width, std::int32_t height) = 0;
    // Moves the window's top-left corner, keeping its size.
    virtual void Move(std::int32_t left, std::int32_t top) = 0;
};

} // namespace mirufon
