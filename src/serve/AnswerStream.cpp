#include "serve/AnswerStream.h"

#include <nlohmann/json.hpp>

#include "lookup/AnswerFields.h"

namespace mrk2::serve {

std::optional<AnswerFormat> answerFormatNamed(std::string_view name) {
    if (name == "json")
        return AnswerFormat::Json;
    if (name == "ndjson")
        return AnswerFormat::NdJson;
    if (name == "csv")
        return AnswerFormat::Csv;
    if (name == "geojson")
        return AnswerFormat::GeoJson;
    return std::nullopt;
}

const char* contentTypeOf(AnswerFormat format) {
    switch (format) {
        case AnswerFormat::NdJson:
            return "application/x-ndjson; charset=utf-8";
        case AnswerFormat::Csv:
            return "text/csv; charset=utf-8";
        case AnswerFormat::GeoJson:
            return "application/geo+json; charset=utf-8";
        case AnswerFormat::Json:
            break;
    }
    return "application/json; charset=utf-8";
}

std::string csvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i)
            line += ',';
        const std::string& c = cells[i];
        if (c.find_first_of(",\"\r\n") == std::string::npos) {
            line += c;
            continue;
        }
        line += '"';
        for (char ch : c)
            line += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        line += '"';
    }
    return line + "\r\n";
}

AnswerStream::AnswerStream(AnswerFormat format, bool batch, bool distances)
    : format_(format), batch_(batch), distances_(distances) {}

std::string AnswerStream::begin() const {
    switch (format_) {
        case AnswerFormat::Csv:
            return csvLine(answerColumns(distances_));
        case AnswerFormat::GeoJson:
            return "{\"type\":\"FeatureCollection\",\"features\":[";
        case AnswerFormat::Json:
            return batch_ ? "[" : "";
        case AnswerFormat::NdJson:
            break;
    }
    return "";
}

std::string AnswerStream::answer(const LookupResult& r, std::optional<double> metres) {
    const char* sep = written_++ ? ",\n" : "\n";
    const Distance d{distances_, metres};
    switch (format_) {
        case AnswerFormat::Csv:
            return csvLine(answerRow(r, d));
        case AnswerFormat::GeoJson:
            return sep + jsonLine(answerFeature(r, d));
        case AnswerFormat::Json:
            return batch_ ? sep + jsonLine(answerObject(r, d))
                          : jsonLine(answerObject(r, d)) + "\n";
        case AnswerFormat::NdJson:
            break;
    }
    return jsonLine(answerObject(r, d)) + "\n";
}

std::string AnswerStream::end() const {
    if (format_ == AnswerFormat::GeoJson)
        return "\n]}\n";
    if (format_ == AnswerFormat::Json && batch_)
        return "\n]\n";
    return "";
}

}  // namespace mrk2::serve
