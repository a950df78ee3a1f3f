#pragma once
// Dates as the old system's run time handled them: a serial number of days since 1899-12-30 whose
// fraction is the time of day, read and written with US conventions.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

double SerialFromParts(const DateParts &parts);
// The local date and time now, as a serial (VB's Now).
double SerialNow();
// The parts of a serial; one outside the dates the run time holds (see IsDateSerial) gives the
// nearest date it holds.
DateParts PartsFromSerial(double serial);
// Whether a serial is a date the run time holds: 1 January 100 to 31 December 9999.
bool IsDateSerial(double serial);

// The serial a text reads as: m/d/yyyy, m/d/yy, m-d-yyyy, yyyy-mm-dd, d mmm yyyy, mmm d, yyyy, each
// with an optional time h:mm[:ss] [AM|PM]. When the first number cannot be a month but the second
// can, day and month swap.
std::optional<double> ParseDate(std::string_view text);

// m/d/yyyy, followed by " h:mm:ss AM" when the time is not midnight.
std::string FormatShortDate(double serial);

// The storage form "YYYY-MM-DD HH:MM:SS" and back.
std::string FormatIsoDate(double serial);
std::optional<double> ParseIsoDate(std::string_view text);

} // namespace tarnwick
