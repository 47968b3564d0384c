#pragma once

namespace mirufon
{

// The system clipboard, as far as the capture log needs it.
class Clipboard
{
  public:
    Clipboard() = default;
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;
    virtual ~Clipboard() = default;

    // Empties the clipboard; false when it could not be opened or emptied (another program
    // holds it open).
    virtual bool Empty() = 0;
};

} // namespace mirufon
