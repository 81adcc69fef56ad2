#include "host/dump/extract.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "host/dump/data.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace xlhost {

void ExtractVisitor::OnOperator(const xlr::reader::Operator& op, size_t) {
    if (!error_.empty()) return;
    char number[16];
    if (op.data && KindOfData(op) == DataKind::JpegImage) {
        std::snprintf(number, sizeof number, "%03zu", ++jpegs_);
        Write("image-" + std::string(number) + ".jpg", op.data->bytes.data(),
              op.data->bytes.size());
    } else if (op.tag == xlr::xlop::BeginFontHeader) {
        const auto* name = op.Find(xlr::xlattr::FontName);
        fontName_ = name ? FileNamePart(name->value.Text()) : "unnamed";
        fontHeader_.clear();
    } else if (op.tag == xlr::xlop::ReadFontHeader && op.data) {
        fontHeader_.insert(fontHeader_.end(), op.data->bytes.begin(), op.data->bytes.end());
    } else if (op.tag == xlr::xlop::EndFontHeader) {
        std::snprintf(number, sizeof number, "%03zu", ++fonts_);
        Write("font-" + std::string(number) + "-" + fontName_ + ".hdr", fontHeader_.data(),
              fontHeader_.size());
        fontHeader_.clear();
    }
}

void ExtractVisitor::Write(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = directory_ + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file ||
        !file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size))
             .flush()) {
        error_ = "cannot write " + path + ": " + std::strerror(errno);
        return;
    }
    std::fprintf(out_, "wrote %s (%zu bytes)\n", path.c_str(), size);
}

}  // namespace xlhost
