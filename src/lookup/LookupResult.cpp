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
        case MatchLevel::House:
            return "住居";
        case MatchLevel::Parcel:
            return "地番";
        case MatchLevel::None:
            break;
    }
    return "";
}

const char* inputProblemText(InputProblem problem) {
    switch (problem) {
        case InputProblem::TooLong:
            return "住所が1000文字を超えています";
        case InputProblem::NotUtf8:
            return "住所がUTF-8の文字列ではありません";
        case InputProblem::NotAPoint:
            return "緯度と経度の二つの数値として読めません（緯度は-90～90、経度は-180～180）";
        case InputProblem::None:
            break;
    }
    return "";
}

}  // namespace mrk2
