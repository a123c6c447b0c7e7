#include "import/AbrPairReader.h"

#include "base/Error.h"
#include "base/PeekedBytes.h"
#include "import/SourceSniffer.h"

namespace mrk2 {

void AbrPairReader::Side::open(const std::string& name, std::unique_ptr<ByteSource> bytes) {
    path = name;
    inContext(path, [&] {
        auto peeked = std::make_unique<PeekedBytes>(bytes ? std::move(bytes) : openFileBytes(path));
        const SniffedSource sniffed = sniffSource(*peeked);
        csv.open(std::move(peeked));
        std::vector<std::string> names;  // the header line, known by its names already
        if (!csv.next(names) || sniffed.kind != SourceKind::Registry)
            throw Error(FormatError::RegistryFile,
                        "アドレス・ベース・レジストリの見出し行ではありません。");
        header = sniffed.registry;
        header.requireNeededColumns();
        keyColumns = header.keys();
    });
}

bool AbrPairReader::Side::advance() {
    if (done)
        return false;
    inContext(path, [&] {
        if (!csv.next(record)) {
            done = true;
            return;
        }
        // A short row would be stored with its town or block empty.
        if (record.size() < header.width)
            throw Error(FormatError::MissingColumn,
                        std::to_string(csv.lineNumber()) + " 行目: 列が " +
                            std::to_string(record.size()) + " 個しかありません（見出し行は " +
                            std::to_string(header.width) + " 個）。");
        currentKey.swap(previousKey);
        currentKey.resize(keyColumns.size());
        for (std::size_t i = 0; i < keyColumns.size(); ++i)
            currentKey[i].assign(header.field(record, keyColumns[i]));
        if (currentKey < previousKey)
            throw Error(
                FormatError::RegistryFile,
                std::to_string(csv.lineNumber()) +
                    "行目: 行がキー（全国地方公共団体コード、町字ID…）の順に並んでいません。");
    });
    return !done;
}

void AbrPairReader::open(const std::string& first, const std::string& second) {
    open(first, nullptr, second, nullptr);
}

void AbrPairReader::open(const std::string& firstName, std::unique_ptr<ByteSource> first,
                         const std::string& secondName, std::unique_ptr<ByteSource> second) {
    data_->open(firstName, std::move(first));
    pos_->open(secondName, std::move(second));
    if (data_->header.positions && !pos_->header.positions)
        std::swap(data_, pos_);
    if (data_->header.positions || !pos_->header.positions ||
        data_->header.dataset != pos_->header.dataset)
        throw Error(FormatError::RegistryFile,
                    std::string("データセットとその位置座標（_pos）の組ではありません: ") +
                        abrDatasetName(data_->header.dataset) + " / " +
                        abrDatasetName(pos_->header.dataset),
                    secondName);
    pos_->advance();
}

bool AbrPairReader::next() {
    if (partnerGiven_) {  // the caller has read the last row's position
        pos_->advance();
        partnerGiven_ = false;
    }
    while (data_->advance()) {
        const std::vector<std::string>& key = data_->key();
        while (!pos_->done && pos_->key() < key) {
            ++counts_.unpaired;
            pos_->advance();
        }
        const bool partner = !pos_->done && pos_->key() == key;
        const bool placed = partner && !lat().empty() && !lon().empty();
        if (!field(AbrColumn::AbltDate).empty())
            ++counts_.retired;
        else if (!placed)
            ++counts_.withoutPosition;
        else
            ++counts_.paired;
        if (placed && field(AbrColumn::AbltDate).empty()) {
            partnerGiven_ = true;
            return true;
        }
        if (partner)
            pos_->advance();
    }
    while (!pos_->done) {
        ++counts_.unpaired;
        pos_->advance();
    }
    return false;
}

}  // namespace mrk2
