#include "import/SourceSniffer.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "base/Cp932.h"
#include "base/CsvField.h"
#include "base/LineReader.h"
#include "base/PeekedBytes.h"
#include "base/Utf8.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The registry writes UTF-8; a first line in anything else is no registry
// header. Only this line is cut at commas: a header names no column with a
// comma, and a file of another kind must not be read on as quoted text.
std::optional<AbrHeader> registryHeaderOf(std::string_view firstLine) {
    if (firstLine.substr(0, kBom.size()) == kBom)
        firstLine.remove_prefix(kBom.size());
    if (!isValidUtf8(firstLine))
        return std::nullopt;
    std::vector<std::string_view> fields;
    splitCsvLine(firstLine, fields);
    AbrHeader h;
    h.columns.fill(-1);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<AbrNamedColumn> named = abrColumnNamed(cleanCsvField(fields[i]));
        if (!named || h.columns[static_cast<std::size_t>(named->column)] >= 0)
            continue;
        h.columns[static_cast<std::size_t>(named->column)] = static_cast<int>(i);
        if (named->column == AbrColumn::LgCode)
            h.generation = named->generation;
    }
    h.width = fields.size();
    auto has = [&](AbrColumn c) { return h.column(c) >= 0; };
    if (!has(AbrColumn::LgCode) || !has(AbrColumn::MachiazaId))
        return std::nullopt;
    h.dataset = has(AbrColumn::PrcId)    ? AbrDataset::Parcel
                : has(AbrColumn::RsdtId) ? AbrDataset::House
                : has(AbrColumn::BlkId)  ? AbrDataset::Block
                                         : AbrDataset::Town;
    h.positions = has(AbrColumn::RepLat) && has(AbrColumn::RepLon);
    return h;
}

// The first line as the rows' line reader will give it: in the encoding the
// source's head decides, without a byte order mark. nullopt when it is not
// valid in that encoding (the reader then refuses the line).
std::optional<std::string> decodedFirstLine(std::string_view firstLine, std::string_view head) {
    if (firstLine.substr(0, kBom.size()) == kBom)
        firstLine.remove_prefix(kBom.size());
    if (isAscii(firstLine))
        return std::string(firstLine);
    if (encodingOfHead(head) == LineReader::Encoding::Utf8) {
        if (!isValidUtf8(firstLine))
            return std::nullopt;
        return std::string(firstLine);
    }
    return cp932ToUtf8(firstLine);
}

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
bool take(CsvColumnMap& map, PositionEntry entry, int column, Need need) {
    map.columns[entry] = column;
    map.needs[entry] = need;
    return column >= 0;
}

CsvColumnMap absentEverywhere() {
    CsvColumnMap map;
    map.columns.fill(-1);
    map.needs.fill(Need::Absent);
    return map;
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

SniffedSource sniffSource(PeekedBytes& bytes) {
    SniffedSource sniffed;
    const std::string firstLine = bytes.firstLine();
    if (std::optional<AbrHeader> registry = registryHeaderOf(firstLine)) {
        sniffed.kind = SourceKind::Registry;
        sniffed.registry = *registry;
        return sniffed;
    }
    const std::optional<std::string> text =
        decodedFirstLine(firstLine, bytes.head(LineReader::kProbeSize + 1));
    if (!text)
        return sniffed;
    const Header header(*text);
    if (std::optional<CsvColumnMap> map = blockLevel(header)) {
        sniffed.kind = SourceKind::MlitBlock;
        sniffed.columns = *map;
    } else if (std::optional<CsvColumnMap> map = townLevel(header)) {
        sniffed.kind = SourceKind::MlitTown;
        sniffed.columns = *map;
    }
    return sniffed;
}

std::string SniffedSource::layoutName() const {
    switch (kind) {
        case SourceKind::MlitBlock:
            return "MLIT 街区レベル位置参照情報";
        case SourceKind::MlitTown:
            return "MLIT 大字・町丁目レベル位置参照情報";
        case SourceKind::Registry:
            return abrDatasetName(registry.dataset);
        case SourceKind::Configured:
            break;
    }
    return {};
}

}  // namespace mrk2
