#pragma once

#include "platform/ConfStore.h"

#include <string>
#include <string_view>

namespace mirufon
{

// A moment of the local calendar and clock.
struct LocalTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The files the user saves the log into, and the local time that names them.
class LogFiles
{
  public:
    LogFiles() = default;
    LogFiles(const LogFiles&) = delete;
    LogFiles& operator=(const LogFiles&) = delete;
    virtual ~LogFiles() = default;

    virtual LocalTime Now() const = 0;
    // Writes the text to the file as UTF-8 with a byte-order mark. An existing file is
    // replaced only once the new one was written completely: a failure leaves it whole.
    virtual StoreWrite Save(const std::wstring& path, std::wstring_view text) = 0;
};

} // namespace mirufon
