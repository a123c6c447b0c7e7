#include "lookup/TownBlocks.h"

namespace mrk2 {

const TownBlocks::Spans& TownBlocks::spansOf(const std::string& table) {
    auto it = spans_.find(table);
    if (it != spans_.end())
        return it->second;
    Spans spans;
    Statement st = db_.prepare("SELECT fldPositionID, min(fldID), max(fldID) FROM " +
                               quoteIdentifier(table) + " GROUP BY fldPositionID");
    while (st.step())
        spans[st.int64(0)] = {st.int64(1), st.int64(2)};
    return spans_.emplace(table, std::move(spans)).first->second;
}

Statement& TownBlocks::statement(const std::string& key, const std::string& sql) {
    auto [it, added] = statements_.try_emplace(key);
    if (added)
        it->second = db_.prepare(sql);
    it->second.reset();
    return it->second;
}

std::vector<BlockRef> TownBlocks::list(const Town& town) {
    std::vector<BlockRef> out;
    for (const TownPart& part : town.parts) {
        if (part.table.empty())
            continue;
        const Spans& spans = spansOf(part.table);
        auto span = spans.find(part.positionId);
        if (span == spans.end())
            continue;
        Statement& st =
            statement("list " + part.table,
                      "SELECT fldID, fld街区・番地, fld代表フラグ, fld住居表示フラグ FROM " +
                          quoteIdentifier(part.table) +
                          " WHERE fldID BETWEEN ?1 AND ?2 AND fldPositionID = ?3 "
                          "ORDER BY fldID");
        st.bind(1, span->second.first).bind(2, span->second.last).bind(3, part.positionId);
        while (st.step())
            out.push_back(
                {st.int64(0), part.table, st.text(1), st.text(2) == "1", st.text(3) == "1"});
        st.reset();
    }
    return out;
}

BlockPoint TownBlocks::point(const BlockRef& ref) {
    Statement& st = statement("point " + ref.table,
                              "SELECT fld緯度, fld経度, fld座標系番号, fldＸ座標, fldＹ座標 FROM " +
                                  quoteIdentifier(ref.table) + " WHERE fldID = ?1");
    st.bind(1, ref.rowId);
    BlockPoint p{ref.block, {}, {}, {}, {}, {}, ref.table, ref.representative};
    if (st.step()) {
        p.lat = st.text(0);
        p.lon = st.text(1);
        p.system = st.text(2);
        p.x = st.text(3);
        p.y = st.text(4);
    }
    st.reset();
    return p;
}

}  // namespace mrk2
