#include "import/SourceSniffer.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "base/CsvField.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

using Need = CsvColumnMap::Need;

class Header {
  public:
    explicit Header(std::string_view line) {
        splitCsvLine(line, names_);
        for (std::string_view& n : names_)
            n = cleanCsvFieldView(n);
    }
    // The column of the first of these names the header has, or -1.
    int column(std::initializer_list<std::string_view> names) const {
        for (std::string_view name : names) {
            auto it = std::find(names_.begin(), names_.end(), name);
            if (it != names_.end())
                return static_cast<int>(it - names_.begin());
        }
        return -1;
    }

  private:
    std::vector<std::string_view> names_;
};

// Sets an entry from a named column; false when the header lacks it.
bool take(CsvColumnMap& layout, PositionEntry entry, int column, Need need) {
    layout.columns[entry] = column;
    layout.needs[entry] = need;
    return column >= 0;
}

CsvColumnMap absentEverywhere() {
    CsvColumnMap layout;
    layout.columns.fill(-1);
    layout.needs.fill(Need::Absent);
    return layout;
}

// 都道府県名, 市区町村名, 大字・丁目名, 小字・通称名, 街区符号・地番, 座標系番号,
// Ｘ座標, Ｙ座標, 緯度, 経度, 住居表示フラグ, 代表フラグ, 更新前履歴フラグ, 更新後履歴フラグ
std::optional<CsvColumnMap> blockLevel(const Header& h) {
    CsvColumnMap l = absentEverywhere();
    bool ok = take(l, Pref, h.column({"都道府県名"}), Need::Value) &&
              take(l, Muni, h.column({"市区町村名"}), Need::Value) &&
              take(l, Town, h.column({"大字・丁目名", "大字町丁目名"}), Need::Column) &&
              take(l, Block, h.column({"街区符号・地番"}), Need::Value) &&
              take(l, CoordSystem, h.column({"座標系番号"}), Need::Value) &&
              take(l, X, h.column({"Ｘ座標", "X座標"}), Need::Value) &&
              take(l, Y, h.column({"Ｙ座標", "Y座標"}), Need::Value) &&
              take(l, Lat, h.column({"緯度"}), Need::Value) &&
              take(l, Lon, h.column({"経度"}), Need::Value) &&
              take(l, ResidenceFlag, h.column({"住居表示フラグ"}), Need::Value) &&
              take(l, RepresentativeFlag, h.column({"代表フラグ"}), Need::Value);
    if (!ok)
        return std::nullopt;
    // Older editions carried a mesh code; none now do.
    if (int mesh = h.column({"メッシュコード"}); mesh >= 0)
        take(l, Mesh, mesh, Need::Optional);
    return l;
}

// 都道府県コード, 都道府県名, 市区町村コード, 市区町村名, 大字町丁目コード,
// 大字町丁目名, 緯度, 経度, 原典資料コード, 大字・字・丁目区分コード: one point per
// town, no block, no plane coordinates.
std::optional<CsvColumnMap> townLevel(const Header& h) {
    CsvColumnMap l = absentEverywhere();
    bool ok = take(l, Pref, h.column({"都道府県名"}), Need::Value) &&
              take(l, Muni, h.column({"市区町村名"}), Need::Value) &&
              take(l, Town, h.column({"大字町丁目名"}), Need::Column) &&
              take(l, Lat, h.column({"緯度"}), Need::Value) &&
              take(l, Lon, h.column({"経度"}), Need::Value) && h.column({"大字町丁目コード"}) >= 0;
    l.codeColumn = h.column({"市区町村コード"});
    if (!ok || l.codeColumn < 0)
        return std::nullopt;
    return l;
}

}  // namespace

std::optional<KnownLayout> recognizeHeader(std::string_view firstLine) {
    Header header(firstLine);
    if (auto l = blockLevel(header))
        return KnownLayout{"MLIT 街区レベル位置参照情報", *l};
    if (auto l = townLevel(header))
        return KnownLayout{"MLIT 大字・町丁目レベル位置参照情報", *l};
    return std::nullopt;
}

}  // namespace mrk2
