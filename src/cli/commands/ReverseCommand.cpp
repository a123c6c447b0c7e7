// mrk2cli reverse: the addresses of a region nearest to a point, one given on
// the command line or many as "LAT LON" lines on standard input.
#include <charconv>
#include <iostream>
#include <optional>
#include <string>

#include "app/Cp932.h"
#include "app/Error.h"
#include "app/FileNames.h"
#include "app/Paths.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "cli/LookupOutput.h"
#include "cli/RunStarter.h"
#include "lookup/PointText.h"
#include "lookup/ReverseLookup.h"

namespace mrk2::cli {

namespace {

int runReverse(CommandContext& ctx);

const CommandInfo kInfo{
    "reverse", "reverse REGION LAT LON|- [--limit N] [--max-distance M] [--json|--geojson]",
    "緯度・経度に最も近い住所を地域別ＤＢから探す（- は標準入力の「緯度 経度」の行）", &runReverse};

MRK2_COMMAND(kInfo);

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
    const std::string dbPath = files::regionDbPath(ctx.settings.dbDir, options.region);
    if (!fileExists(dbPath)) {
        ctx.person.message("地域別ＤＢが見つかりません。\n" + dbPath);
        return kExitFailed;
    }
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

template <class Number>
std::optional<Number> numberOption(ArgList& args, const char* name, Number fallback) {
    auto text = args.option(name);
    if (!text)
        return fallback;
    Number value{};
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size())
        return std::nullopt;
    return value;
}

int runReverse(CommandContext& ctx) {
    ArgList args(ctx.args);
    ReverseOptions options;
    const bool json = args.flag("--json");
    const bool geojson = args.flag("--geojson");
    auto limit = numberOption<std::size_t>(args, "--limit", options.query.limit);
    auto metres = numberOption<double>(args, "--max-distance", options.query.maxMetres);
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (json && geojson)
        return usageError(kInfo, "--json と --geojson は同時に指定できません。");
    if (!limit || *limit < 1 || *limit > ReverseQuery::kMaxLimit)
        return usageError(kInfo, "--limit には1から1000の数を指定して下さい。");
    if (!metres || !(*metres > 0 && *metres <= ReverseQuery::kMaxMetres))
        return usageError(kInfo,
                          "--max-distance には0より大きく100000以下のメートル数を指定して下さい。");
    if (words.size() != 2 && words.size() != 3)
        return usageError(kInfo, "地域名と緯度・経度（または -）を指定して下さい。");
    if (words.size() == 2 && words[1] != "-")
        return usageError(kInfo, "緯度と経度を指定して下さい。");
    options.region = words[0];
    options.point = words.size() == 3 ? words[1] + " " + words[2] : "-";
    options.query.limit = *limit;
    options.query.maxMetres = *metres;
    options.format = geojson ? LookupFormat::GeoJson
                     : json  ? LookupFormat::Json
                             : LookupFormat::Tsv;
    if (!acceptRegionName(ctx, options.region))
        return kExitFailed;
    return reverse(ctx, options, std::cin, std::cout);
}

}  // namespace

}  // namespace mrk2::cli
