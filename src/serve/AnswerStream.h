#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/LookupResult.h"

namespace mrk2::serve {

// How answers are written: JSON (one object; an array for a batch), NDJSON (a
// batch's answers one object per line), CSV (a header line, then a row each,
// RFC 4180 quoting) or GeoJSON (a FeatureCollection). The fields are those of
// `mrk2cli lookup` (AnswerFields).
enum class AnswerFormat { Json, NdJson, Csv, GeoJson };

// The format a `format=` parameter names; nullopt for an unknown name.
std::optional<AnswerFormat> answerFormatNamed(std::string_view name);
const char* contentTypeOf(AnswerFormat format);

// Writes answers as text pieces, so that a batch goes out as it is answered.
// With `distances` (reverse lookup) each answer carries its 距離 (AnswerFields).
class AnswerStream {
  public:
    AnswerStream(AnswerFormat format, bool batch, bool distances = false);
    std::string begin() const;
    std::string answer(const LookupResult& r, std::optional<double> metres = std::nullopt);
    std::string end() const;

  private:
    AnswerFormat format_;
    bool batch_;
    bool distances_;
    std::size_t written_ = 0;
};

// One CSV line of cells, quoted where a cell needs it, ended by CR LF.
std::string csvLine(const std::vector<std::string>& cells);

}  // namespace mrk2::serve
