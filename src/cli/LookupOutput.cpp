#include "cli/LookupOutput.h"

#include <nlohmann/json.hpp>

#include "cli/Listing.h"
#include "lookup/AnswerFields.h"

namespace mrk2::cli {

LookupWriter::LookupWriter(std::ostream& out, LookupFormat format, bool many, bool distances)
    : out_(out), format_(format), many_(many), distances_(distances) {
    if (format_ == LookupFormat::Tsv) {
        const auto columns = answerColumns(distances_);
        for (std::size_t i = 0; i < columns.size(); ++i)
            out_ << (i ? "\t" : "") << columns[i];
        out_ << '\n';
    } else if (format_ == LookupFormat::GeoJson) {
        out_ << "{\"type\":\"FeatureCollection\",\"features\":[";
    } else if (many_) {
        out_ << "[";
    }
}

void LookupWriter::write(const LookupResult& r, std::optional<double> metres) {
    const char* sep = written_++ ? ",\n" : "\n";
    const Distance distance{distances_, metres};
    switch (format_) {
        case LookupFormat::Tsv: {
            const auto cells = answerRow(r, distance);
            for (std::size_t i = 0; i < cells.size(); ++i)
                out_ << (i ? "\t" : "") << listingCell(cells[i]);
            out_ << '\n';
            break;
        }
        case LookupFormat::Json:
            out_ << (many_ ? sep : "") << jsonLine(answerObject(r, distance))
                 << (many_ ? "" : "\n");
            break;
        case LookupFormat::GeoJson:
            out_ << sep << jsonLine(answerFeature(r, distance));
            break;
    }
    out_.flush();
}

void LookupWriter::finish() {
    if (format_ == LookupFormat::GeoJson)
        out_ << "\n]}\n";
    else if (format_ == LookupFormat::Json && many_)
        out_ << "\n]\n";
    out_.flush();
}

}  // namespace mrk2::cli
