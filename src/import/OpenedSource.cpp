#include "import/OpenedSource.h"

#include "base/PeekedBytes.h"
#include "import/CsvSourceRows.h"
#include "import/MunicipalityMaster.h"

namespace mrk2 {

OpenedSource openSourceRows(SourceReader& sources, const SourceFile& source,
                            const ConfiguredColumns& layout) {
    OpenedSource opened;
    // The first line is looked at, then read again by the layout it chose.
    auto bytes = std::make_unique<PeekedBytes>(sources.open(source));
    if (auto header = abrHeaderOf(bytes->firstLine())) {
        auto joined = std::make_unique<AbrSourceRows>(source, *header, std::move(bytes), sources,
                                                      MunicipalityMaster::builtIn());
        opened.registry = joined.get();
        opened.rows = std::move(joined);
        opened.layout = abrDatasetName(header->dataset);
    } else {
        auto csv = std::make_unique<CsvSourceRows>(std::move(bytes), layout);
        opened.layout = csv->layoutName();
        opened.rows = std::move(csv);
    }
    return opened;
}

}  // namespace mrk2
