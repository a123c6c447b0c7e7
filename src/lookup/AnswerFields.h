#pragma once
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "lookup/LookupResult.h"

namespace mrk2 {

// An address's answer as every face writes it, so that `mrk2cli lookup` and the
// server give the same fields under the same names in the same order.

// The level as written: the matched level's name, 不一致 when nothing matched,
// 入力エラー when the address could not be read.
const char* answerLevelText(const LookupResult& r);

// A reverse lookup's answers carry their distance from the point: 距離 in
// metres to a tenth (null for a point without an answer), and in a table, the
// 入力 first, since a point may have several rows.
struct Distance {
    bool shown = false;
    std::optional<double> metres;
};

// The answer as one JSON object: 入力, the names, the block, the coordinates as
// numbers (null when empty; a stored value that is no plain decimal stays text,
// so that it is still seen), 一致レベル, and エラー or 候補 when there are any.
nlohmann::ordered_json answerObject(const LookupResult& r, const Distance& distance = {});

// The answer as a GeoJSON Feature: a Point, or null geometry when unmatched.
nlohmann::ordered_json answerFeature(const LookupResult& r, const Distance& distance = {});

// The columns of the answer as a table row, and one answer's cells (raw: the
// writer of each table escapes or quotes them in its own way).
std::vector<std::string> answerColumns(bool distances = false);
std::vector<std::string> answerRow(const LookupResult& r, const Distance& distance = {});

// JSON text of a value in one line; bytes that are no UTF-8 cannot occur in an
// answer, and would be replaced rather than throw.
std::string jsonLine(const nlohmann::ordered_json& value);

}  // namespace mrk2
