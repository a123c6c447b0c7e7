#include "import/OpenedSource.h"

#include "base/PeekedBytes.h"
#include "import/AbrFileName.h"
#include "import/AbrSourceRows.h"
#include "import/CsvSourceRows.h"
#include "import/MunicipalityMaster.h"
#include "import/SourceSniffer.h"

namespace mrk2 {

OpenedSource openSourceRows(SourceReader& sources, const SourceFile& source,
                            const ConfiguredColumns& configured) {
    auto bytes = std::make_unique<PeekedBytes>(sources.open(source));
    const SniffedSource sniffed = sniffSource(*bytes);
    OpenedSource opened;
    opened.layout = sniffed.layoutName();
    switch (sniffed.kind) {
        case SourceKind::Registry:
            opened.rows = std::make_unique<AbrSourceRows>(
                source, sniffed.registry, std::move(bytes), sources, MunicipalityMaster::builtIn());
            break;
        case SourceKind::MlitBlock:
        case SourceKind::MlitTown:
            // A known header is read by its own columns, whatever the
            // configured columns and start line say.
            opened.rows = std::make_unique<CsvSourceRows>(std::move(bytes), sniffed.columns, 1);
            break;
        case SourceKind::Configured:
            opened.rows = std::make_unique<CsvSourceRows>(
                std::move(bytes), CsvColumnMap::configured(configured.columns),
                configured.startLine - 1);
            break;
    }
    return opened;
}

std::vector<SourceFile> filesReadFor(const SourceFile& source) {
    std::vector<SourceFile> files{source};
    if (std::optional<SourceFile> partner = abrPartnerOf(source))
        files.push_back(*partner);
    return files;
}

}  // namespace mrk2
