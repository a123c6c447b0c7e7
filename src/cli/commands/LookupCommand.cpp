// mrk2cli lookup: finds addresses in a region database, one given on the command
// line or many on standard input, and prints their towns, blocks and coordinates.
#include <iostream>
#include <string>

#include "app/Error.h"
#include "app/FileNames.h"
#include "app/Paths.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "cli/LookupOutput.h"
#include "cli/RunStarter.h"
#include "lookup/AddressLine.h"
#include "lookup/AddressLookup.h"

namespace mrk2::cli {

namespace {

int runLookup(CommandContext& ctx);

const CommandInfo kInfo{"lookup", "lookup REGION ADDRESS|- [--json|--geojson]",
                        "住所を地域別ＤＢで検索し、町・街区と座標を表示する（- は標準入力から）",
                        &runLookup};

MRK2_COMMAND(kInfo);

// Why an address has no answer, on stderr, with the places it comes close to;
// `line` counts the lines of standard input, 0 for an address on the command line.
void explain(const LookupResult& r, std::size_t line) {
    if (r.problem != InputProblem::None) {
        std::cerr << "入力エラー" << (line ? "（" + std::to_string(line) + "行目）" : "") << ": "
                  << inputProblemText(r.problem) << "\n";
        return;
    }
    std::cerr << (r.ambiguous ? "住所を一つに絞れません: " : "住所が見つかりません: ")
              << escapeControls(r.input) << "\n";
    if (r.candidates.empty())
        return;
    std::cerr << (r.ambiguous ? "候補:" : "近い町:");
    for (const std::string& c : r.candidates)
        std::cerr << " " << escapeControls(c);
    std::cerr << "\n";
}

int runLookup(CommandContext& ctx) {
    ArgList args(ctx.args);
    const bool json = args.flag("--json");
    const bool geojson = args.flag("--geojson");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (json && geojson)
        return usageError(kInfo, "--json と --geojson は同時に指定できません。");
    if (words.size() < 2)
        return usageError(kInfo, "地域名と住所を指定して下さい。");
    if (!acceptRegionName(ctx, words[0]))
        return kExitFailed;
    const std::string dbPath = files::regionDbPath(ctx.settings.dbDir, words[0]);
    if (!fileExists(dbPath)) {
        ctx.person.message("地域別ＤＢが見つかりません。\n" + dbPath);
        return kExitFailed;
    }
    // Words after the region are one address: blanks in it do not count anyway.
    std::string address;
    for (std::size_t i = 1; i < words.size(); ++i)
        address += (i > 1 ? " " : "") + words[i];
    const bool fromStdin = address == "-";

    int status = kExitOk;
    try {
        AddressLookup lookup(dbPath);
        LookupWriter writer(std::cout,
                            geojson ? LookupFormat::GeoJson
                            : json  ? LookupFormat::Json
                                    : LookupFormat::Tsv,
                            fromStdin);
        std::size_t lineNumber = 0;
        auto answer = [&](const std::string& text) {
            LookupResult r = lookup.find(text);
            if (r.level == MatchLevel::None) {
                explain(r, lineNumber);
                status = kExitFailed;
            }
            writer.write(r);
        };
        if (fromStdin) {
            std::string line;
            while (std::getline(std::cin, line)) {
                ++lineNumber;
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                answer(addressLineText(line, lineNumber == 1));
            }
        } else {
            answer(address);
        }
        writer.finish();
    } catch (const std::exception& e) {
        ctx.person.message(standardErrorText(asError(e), dbPath));
        return kExitFailed;
    }
    return status;
}

}  // namespace

}  // namespace mrk2::cli
