#include "import/AbrCsvReader.h"

#include "base/Error.h"

namespace mrk2 {

bool AbrCsvReader::next(std::vector<std::string>& fields) {
    fields.clear();
    if (!lines_.next(line_))
        return false;
    recordLine_ = lines_.lineNumber();
    std::string field;
    bool quoted = false;
    std::size_t recordBytes = 0;
    for (;;) {
        for (std::size_t i = 0; i < line_.size(); ++i) {
            const char c = line_[i];
            if (quoted) {
                if (c != '"')
                    field += c;
                else if (i + 1 < line_.size() && line_[i + 1] == '"')
                    field += line_[++i];
                else
                    quoted = false;
            } else if (c == '"') {
                quoted = true;
            } else if (c == ',') {
                fields.push_back(std::move(field));
                field.clear();
            } else {
                field += c;
            }
        }
        if (!quoted)
            break;
        // A line break inside quotes belongs to the field; the record as a whole
        // is held to the length of a line.
        recordBytes += line_.size() + 1;
        if (recordBytes > LineReader::kMaxLineBytes)
            throw lineTooLong(recordLine_);
        if (!lines_.next(line_))
            throw Error(FormatError::RegistryFile,
                        std::to_string(recordLine_) + "行目: 引用符が閉じていません。");
        field += '\n';
    }
    fields.push_back(std::move(field));
    return true;
}

}  // namespace mrk2
