// mrk2cli reverse: the addresses of a region nearest to a point, one given on
// the command line or many as "LAT LON" lines on standard input.
#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/Utf8.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "cli/LookupOutput.h"
#include "lookup/PointText.h"
#include "lookup/ReverseLookup.h"

namespace mrk2::cli {

namespace {

// What the command was asked, as its words said it.
struct ReverseOptions {
    std::string region;
    std::string point;  // "LAT LON" as given, or "-" for lines on standard input
    ReverseQuery query;
    LookupFormat format = LookupFormat::Tsv;
};

// Answers every point in order; returns the exit status: 1 when any point had no
// answer or could not be read.
int reverse(CommandContext& ctx, const ReverseOptions& options, std::istream& in,
            std::ostream& out) {
    const std::string dbPath = ctx.existingRegionDb(options.region);
    const bool fromStdin = options.point == "-";
    int status = kExitOk;
    try {
        const ReverseLookup lookup(dbPath);
        LookupWriter writer(out, options.format, true, true);
        std::size_t lineNumber = 0;
        auto answer = [&](const std::string& text) {
            LookupResult unanswered;
            // The line as read, when it is short text that a terminal can show.
            const std::string input =
                text.size() <= 100 && isValidUtf8(text) ? text : std::string();
            auto point = parsePointLine(text);
            if (!point) {
                unanswered.input = input;
                unanswered.problem = InputProblem::NotAPoint;
                std::cerr << "入力エラー"
                          << (fromStdin ? "（" + std::to_string(lineNumber) + "行目）" : "") << ": "
                          << inputProblemText(unanswered.problem) << "\n";
                status = kExitFailed;
                writer.write(unanswered);
                return;
            }
            ReverseQuery query = options.query;
            query.lat = point->lat;
            query.lon = point->lon;
            auto found = lookup.nearest(query);
            if (found.empty()) {
                unanswered.input = input;
                std::cerr << "範囲内に住所がありません: " << escapeControls(input) << "\n";
                status = kExitFailed;
                writer.write(unanswered);
            }
            for (NearbyAddress& a : found) {
                a.address.input = input;
                writer.write(a.address, a.metres);
            }
        };
        if (fromStdin) {
            std::string line;
            while (std::getline(in, line)) {
                ++lineNumber;
                answer(line);
            }
        } else {
            answer(options.point);
        }
        writer.finish();
    } catch (const std::exception& e) {
        ctx.person.message(standardErrorText(asError(e), dbPath));
        return kExitFailed;
    }
    return status;
}

class ReverseCommand : public Command {
  public:
    ReverseCommand()
        : Command(
              "reverse",
              "緯度・経度に最も近い住所を地域別ＤＢから探す（- は標準入力の「緯度 経度」の行）") {}
    void declare(Declaration& d) override {
        d.positional("REGION", region_);
        d.positionals("LAT LON|-", words_);
        d.option("--limit", "N", limit_, 1, static_cast<int>(ReverseQuery::kMaxLimit));
        d.option("--max-distance", "M", maxDistance_);
        d.eitherFlag("--json", json_, "--geojson", geojson_);
    }

    int run(CommandContext& ctx) override {
        ReverseOptions options;
        options.region = region_;
        if (words_.size() == 2)
            options.point = words_[0] + " " + words_[1];
        else if (words_.size() == 1 && words_[0] == "-")
            options.point = "-";
        else
            throw UsageError("緯度と経度（または -）を指定して下さい。");
        if (limit_)
            options.query.limit = static_cast<std::size_t>(*limit_);
        if (maxDistance_) {
            double metres = 0;
            const std::string& t = *maxDistance_;
            auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), metres);
            if (ec != std::errc() || end != t.data() + t.size() ||
                !(metres > 0 && metres <= ReverseQuery::kMaxMetres))
                throw UsageError(
                    "--max-distance には0より大きく100000以下のメートル数を指定して下さい。");
            options.query.maxMetres = metres;
        }
        options.format = geojson_ ? LookupFormat::GeoJson
                         : json_  ? LookupFormat::Json
                                  : LookupFormat::Tsv;
        return reverse(ctx, options, std::cin, std::cout);
    }

  private:
    std::string region_;
    std::vector<std::string> words_;
    std::optional<int> limit_;
    std::optional<std::string> maxDistance_;
    bool json_ = false;
    bool geojson_ = false;
};

MRK2_COMMAND(ReverseCommand);

}  // namespace

}  // namespace mrk2::cli
