#pragma once

#include "settings/ConfEncoding.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace mirufon
{

// How the bytes of Conf.txt become text, for the encoding the file is in.
struct ConfDecoding
{
    ConfEncoding encoding = ConfEncoding::Ansi;
    // ANSI and UTF-8: the platform's conversion of a run of the file's bytes to text. UTF-16
    // is converted here.
    std::function<std::wstring(std::string_view)> decode;
    // ANSI: the code page's lead bytes (a lead byte and the byte after it are one character).
    std::array<bool, 256> leadBytes{};
};

// Conf.txt boiled down to the lines its settings come from, reading the file from its end.
// Each setting takes its value from the last line that gives it one, so the lines are offered
// last first: the first line that gives a key its value settles that key, and every earlier
// line of it is only looked at, never decoded. What ParseConf reads from the lines found is
// what it reads from the whole file; a file of any size is read once and barely decoded.
class ConfLines
{
  public:
    explicit ConfLines(ConfDecoding decoding);
    ConfLines(const ConfLines&) = delete;
    ConfLines& operator=(const ConfLines&) = delete;
    ~ConfLines();

    // The bytes just before everything given so far: the file goes in from its end, in pieces
    // of any size (of whole code units for UTF-16, an odd last byte of the file left out),
    // down to the first byte after its byte-order mark.
    void Prepend(std::string_view bytes);
    // Whether every key is settled already, so that nothing earlier in the file can matter.
    bool Complete() const;
    // Once the file's start has been given (or reading stopped): the lines found, decoded, in
    // the order of their keys, each ended by CR LF. A line cut by the stop is left out.
    std::wstring Finish(bool reachedStart);

  private:
    class Scanner;
    template <typename Unit> class Lines;
    std::unique_ptr<Scanner> m_scanner;
};

} // namespace mirufon
