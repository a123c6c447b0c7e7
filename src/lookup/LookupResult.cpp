#include "lookup/LookupResult.h"

namespace mrk2 {

const char* matchLevelName(MatchLevel level) {
    switch (level) {
        case MatchLevel::Prefecture:
            return "都道府県";
        case MatchLevel::Municipality:
            return "市区町村";
        case MatchLevel::Town:
            return "大字・町丁目";
        case MatchLevel::Block:
            return "街区";
        case MatchLevel::None:
            break;
    }
    return "";
}

}  // namespace mrk2
