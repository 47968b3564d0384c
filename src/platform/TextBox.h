#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirufon
{

using Rgb = std::uint32_t; // 0x00BBGGRR, the platform's own colour layout

constexpr Rgb MakeRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16);
}

// A text box as the capture log and the preview see it. Positions and lengths count UTF-16
// code units on Windows and wchar_t elsewhere. Every edit leaves the caret at the end of the
// text (no selection), scrolled into view. None of these calls reports failure: a box that
// cannot be changed simply keeps its text.
class TextBox
{
  public:
    TextBox() = default;
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;
    virtual ~TextBox() = default;

    virtual std::size_t Length() const = 0;
    // Up to count characters starting at from (fewer at the end of the text).
    virtual std::wstring Slice(std::size_t from, std::size_t count) const = 0;
    virtual std::wstring Text() const = 0;
    virtual void SetText(std::wstring_view text) = 0;
    virtual void Append(std::wstring_view text) = 0;
    // Keeps the first length characters.
    virtual void Truncate(std::size_t length) = 0;
    virtual void SetTextColor(Rgb colour) = 0;
    virtual void SelectAll() = 0;
    virtual void Focus() = 0;
};

} // namespace mirufon
