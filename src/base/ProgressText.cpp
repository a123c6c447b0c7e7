#include "base/ProgressText.h"

#include "base/Utf8Text.h"

namespace mrk2 {

namespace {

// A CSV file by the municipality code that starts its name; an archive member
// ("13000-17.0a\\13_2024.csv") by its own name in full, without the folder
// inside the archive, which says nothing of the member.
std::string fileLabel(const Progress& p) {
    if (!p.fileInArchive)
        return firstCharacters(p.fileName, 5);
    const std::size_t slash = p.fileName.find_last_of("\\/");
    return slash == std::string::npos ? p.fileName : p.fileName.substr(slash + 1);
}

std::string stepText(const Progress& p) {
    switch (p.step) {
        case ProgressStep::Starting:
        case ProgressStep::FilesDone:
            return "";
        case ProgressStep::CreatingDatabase:
            return "データベース作成中";
        case ProgressStep::CreatingTables:
            return "位置参照情報テーブル作成中です";
        case ProgressStep::Staging:
        case ProgressStep::Extracting:
            return fileLabel(p) + " (" + std::to_string(p.file) + "/" + std::to_string(p.files) +
                   ")";
        case ProgressStep::CreatingPostal:
            return "郵便番号テーブル作成中です";
        case ProgressStep::UpdatingPostal:
            return "郵便番号テーブル更新中です";
        case ProgressStep::Compacting:
            return "データベースの最適化中です";
        case ProgressStep::BuildingNationalPostal:
            return "全国郵便番号テーブル作成中です。";
        case ProgressStep::CompactingBase:
            return "基本データベースを最適化中です。";
    }
    return "";
}

}  // namespace

std::array<std::string, 4> progressLabels(const Progress& p) {
    std::array<std::string, 4> out;
    const bool national =
        p.step == ProgressStep::BuildingNationalPostal || p.step == ProgressStep::CompactingBase;
    if (!national)
        out[0] = "データベース作成中 (" + p.target + ")";
    if (p.step == ProgressStep::Staging)
        out[1] = "一時テーブルに登録中";
    else if (p.step == ProgressStep::Extracting)
        out[1] = "ユニークデータ抽出中";
    out[2] = stepText(p);
    if (p.step == ProgressStep::Staging || p.step == ProgressStep::Extracting)
        out[3] = std::to_string(p.rows);
    return out;
}

}  // namespace mrk2
