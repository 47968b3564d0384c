#pragma once

#include <optional>
#include <string>

namespace mirufon
{

// Which property of the element under the pointer a capture reads.
enum class PointTarget
{
    Name,  // the accessible name
    Value, // the accessible value
};

// The text of the user-interface element under the mouse pointer.
class PointerText
{
  public:
    PointerText() = default;
    PointerText(const PointerText&) = delete;
    PointerText& operator=(const PointerText&) = delete;
    virtual ~PointerText() = default;

    // Nothing while the pointer is over the program's own main window (its title bar and
    // controls included). Otherwise the property at the pointer: "" when there is no
    // element, no such property or any failure.
    virtual std::optional<std::wstring> ReadUnderPointer(PointTarget target) = 0;
};

} // namespace mirufon
