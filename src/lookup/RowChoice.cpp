#include "lookup/RowChoice.h"

#include "lookup/AddressNormalizer.h"

namespace mrk2 {

namespace {

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimSeparators(std::string_view s) {
    while (!s.empty() && s.front() == kAddressSeparator)
        s.remove_prefix(1);
    while (!s.empty() && s.back() == kAddressSeparator)
        s.remove_suffix(1);
    return s;
}

// Whether a row number begins the rest: "1-2" begins "1-2-3" and "1-2ビル",
// never "1-23".
bool startsWithNumber(std::string_view rest, std::string_view number) {
    if (number.empty() || rest.substr(0, number.size()) != number)
        return false;
    return rest.size() == number.size() || !isAsciiDigit(rest[number.size()]) ||
           !isAsciiDigit(number.back());
}

}  // namespace

MatchLevel levelOf(const BlockRef& row, std::string_view number) {
    if (!row.residential)
        return MatchLevel::Parcel;
    return number.find(kAddressSeparator) == std::string_view::npos ? MatchLevel::Block
                                                                    : MatchLevel::House;
}

std::string rowNumber(std::string_view block) {
    return std::string(trimSeparators(normalizeAddress(block)));
}

std::optional<RowChoice> chooseRow(const std::vector<BlockRef>& rows,
                                   const std::vector<std::string>& numbers, std::string_view rest,
                                   bool parcelWritten) {
    rest = trimSeparators(rest);
    if (rest.empty())
        return std::nullopt;
    std::optional<RowChoice> best;
    std::size_t bestLength = 0;
    bool bestPreferred = false;
    std::optional<std::size_t> firstHouseOfBlock;
    std::size_t leading = 0;  // the first number of the rest, in bytes
    while (leading < rest.size() && isAsciiDigit(rest[leading]))
        ++leading;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string_view number = numbers[i];
        const bool preferred = parcelWritten != rows[i].residential;
        if (startsWithNumber(rest, number) &&
            (number.size() > bestLength ||
             (number.size() == bestLength && preferred && !bestPreferred))) {
            bestLength = number.size();
            bestPreferred = preferred;
            best = RowChoice{i, levelOf(rows[i], number), std::nullopt};
        }
        if (!firstHouseOfBlock && leading > 0 && rows[i].residential && number.size() > leading &&
            number.compare(0, leading, rest.substr(0, leading)) == 0 &&
            number[leading] == kAddressSeparator)
            firstHouseOfBlock = i;
    }
    if (!best && firstHouseOfBlock)
        best =
            RowChoice{*firstHouseOfBlock, MatchLevel::Block, std::string(rest.substr(0, leading))};
    return best;
}

}  // namespace mrk2
