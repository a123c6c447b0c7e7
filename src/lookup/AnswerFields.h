#pragma once
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "lookup/LookupResult.h"

namespace mrk2 {

// An address's answer as every face writes it, so that `mrk2cli lookup` and the
// server give the same fields under the same names in the same order.

// The level as written: the matched level's name, 不一致 when nothing matched,
// 入力エラー when the address could not be read.
const char* answerLevelText(const LookupResult& r);

// The answer as one JSON object: 入力, the names, the block, the coordinates as
// numbers (null when empty; a stored value that is no plain decimal stays text,
// so that it is still seen), 一致レベル, and エラー or 候補 when there are any.
nlohmann::ordered_json answerObject(const LookupResult& r);

// The answer as a GeoJSON Feature: a Point, or null geometry when unmatched.
nlohmann::ordered_json answerFeature(const LookupResult& r);

// The columns of the answer as a table row, and one answer's cells (raw: the
// writer of each table escapes or quotes them in its own way).
const std::vector<std::string>& answerColumns();
std::vector<std::string> answerRow(const LookupResult& r);

// JSON text of a value in one line; bytes that are no UTF-8 cannot occur in an
// answer, and would be replaced rather than throw.
std::string jsonLine(const nlohmann::ordered_json& value);

}  // namespace mrk2
