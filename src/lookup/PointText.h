#pragma once
#include <optional>
#include <string_view>

namespace mrk2 {

// A coordinate as a person or a request writes it: a plain decimal number
// ("35.6812", "-0.5", "+139"), half-width, without blanks, exponent or hex;
// "NaN", "inf" and "1e3" are refused. A latitude must lie in -90..90, a
// longitude in -180..180. nullopt for anything else.
std::optional<double> parseLatitude(std::string_view text);
std::optional<double> parseLongitude(std::string_view text);

// A line of reverse-lookup input: "LAT LON", the two numbers separated by
// blanks (spaces, tabs, full-width spaces) or one comma with blanks around it
// as they come; blanks at the ends and a final CR are ignored.
struct PointLine {
    double lat = 0, lon = 0;
};
std::optional<PointLine> parsePointLine(std::string_view line);

}  // namespace mrk2
