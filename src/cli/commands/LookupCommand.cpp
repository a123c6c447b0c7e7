// mrk2cli lookup: finds addresses in a region database, one given on the command
// line or many on standard input, and prints their towns, blocks and coordinates.
#include <iostream>
#include <string>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/Utf8.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "cli/LookupOutput.h"
#include "cli/RunStarter.h"
#include "lookup/AddressLine.h"
#include "lookup/AddressLookup.h"

namespace mrk2::cli {

namespace {

class LookupCommand : public Command {
  public:
    LookupCommand()
        : Command("lookup",
                  "住所を地域別ＤＢで検索し、町・街区と座標を表示する（- は標準入力から）") {}
    void declare(Declaration& d) override {
        d.positional("REGION", region_);
        d.positionals("ADDRESS|-", words_);
        d.eitherFlag("--json", json_, "--geojson", geojson_);
    }
    int run(CommandContext& ctx) override;

  private:
    std::string region_;
    std::vector<std::string> words_;  // one address: blanks in it do not count anyway
    bool json_ = false;
    bool geojson_ = false;
};

MRK2_COMMAND(LookupCommand);

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

int LookupCommand::run(CommandContext& ctx) {
    const bool json = json_;
    const bool geojson = geojson_;
    const std::string dbPath = ctx.existingRegionDb(region_);
    std::string address;
    for (const std::string& w : words_)
        address += (address.empty() ? "" : " ") + w;
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
