#include "host/drawing/drawing_test_support.h"

#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace drawingtest {

using namespace xlr;

uint32_t DecodedImage::Rgb(unsigned x, unsigned y) const {
    const uint8_t* p = rows.at(y).data() + 3 * x;
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

bool DecodedImage::Bit(unsigned x, unsigned y) const {
    return (rows.at(y).at(x >> 3) >> (7 - (x & 7))) & 1;
}

unsigned DecodedImage::SetBits() const {
    unsigned count = 0;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) count += Bit(x, y);
    return count;
}

DrawingPage::DrawingPage(LONG width, LONG height) {
    surface_.dhpdev = reinterpret_cast<DHPDEV>(&device_.devobj);
    surface_.sizlBitmap = SIZEL{width, height};
    surface_.iBitmapFormat = BMF_24BPP;
    surface_.iType = STYPE_DEVICE;
}

SpooledOperators DrawingPage::Operators() const {
    SpooledOperators operators(Spooled());
    const auto tags = operators.Tags();
    EXPECT_TRUE(!tags.empty() && tags.front() == xlop::PushGS && tags.back() == xlop::PopGS);
    int depth = 0;
    for (uint8_t tag : tags) {
        depth += tag == xlop::PushGS ? 1 : tag == xlop::PopGS ? -1 : 0;
        EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    return operators;
}

std::optional<std::vector<uint8_t>> UnpackBits(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < size) {
        const int control = static_cast<int8_t>(data[i++]);
        if (control >= 0) {
            const size_t n = static_cast<size_t>(control) + 1;
            if (n > size - i) return std::nullopt;
            out.insert(out.end(), data + i, data + i + n);
            i += n;
        } else if (control != -128) {
            if (i >= size) return std::nullopt;
            out.insert(out.end(), static_cast<size_t>(1 - control), data[i++]);
        }
    }
    return out;
}

std::vector<DecodedImage> DrawingPage::Images() const {
    std::vector<DecodedImage> images;
    DecodedImage state;  // the graphics state as it goes
    DecodedImage* current = nullptr;
    const auto operators = Operators();
    for (const Operator& op : operators.all()) {
        const auto value = [&](uint16_t id, size_t i = 0) {
            EXPECT_NE(op.Find(id), nullptr) << "operator 0x" << std::hex << int{op.tag};
            return static_cast<unsigned>(AttributeValue(op, id, i));
        };
        switch (op.tag) {
            case xlop::SetColorSpace:
                state.palette = xltest::AttributeBytes(op, xlattr::PaletteData);
                break;
            case xlop::SetBrushSource:
                state.brush = xltest::AttributeBytes(op, xlattr::RGBColor);
                if (state.brush->empty()) state.brush.reset();
                break;
            case xlop::SetROP:
                state.rop3 = value(xlattr::ROP3);
                break;
            case xlop::SetSourceTxMode:
                state.sourceTxMode = value(xlattr::TxMode);
                break;
            case xlop::SetCursor:
                state.cursorX = static_cast<int>(value(xlattr::Point, 0));
                state.cursorY = static_cast<int>(value(xlattr::Point, 1));
                break;
            case xlop::BeginImage:
                current = &images.emplace_back(state);
                current->mapping = value(xlattr::ColorMapping);
                current->depth = value(xlattr::ColorDepth);
                current->width = value(xlattr::SourceWidth);
                current->height = value(xlattr::SourceHeight);
                current->destWidth = value(xlattr::DestinationSize, 0);
                current->destHeight = value(xlattr::DestinationSize, 1);
                break;
            case xlop::ReadImage: {
                if (current == nullptr || !op.data) {
                    ADD_FAILURE() << "ReadImage outside an image or without data";
                    break;
                }
                const unsigned count = value(xlattr::BlockHeight),
                               mode = value(xlattr::CompressMode);
                EXPECT_EQ(value(xlattr::StartLine), current->rows.size()) << "blocks in order";
                current->compressions.push_back(mode);
                const size_t rowBytes =
                    current->depth == 0 ? (current->width + 7) / 8 : current->width * 3;
                const size_t stride = (rowBytes + 3) & ~size_t{3};
                std::vector<uint8_t> data(op.data->bytes.begin(), op.data->bytes.end());
                if (mode == 1)
                    data = UnpackBits(data.data(), data.size()).value_or(std::vector<uint8_t>{});
                EXPECT_LE(mode, 1u);
                EXPECT_EQ(data.size(), stride * count) << "rows padded to 4 bytes";
                for (unsigned r = 0; r < count && (r + 1) * stride <= data.size(); ++r)
                    current->rows.emplace_back(data.begin() + r * stride,
                                               data.begin() + r * stride + rowBytes);
                break;
            }
            case xlop::EndImage:
                EXPECT_TRUE(current == nullptr || current->rows.size() == current->height);
                current = nullptr;
                break;
            default:
                break;
        }
    }
    return images;
}

DecodedImage DrawingPage::Image() const {
    auto images = Images();
    EXPECT_EQ(images.size(), 1u);
    return images.empty() ? DecodedImage{} : images[0];
}

void ExpectFailsCleanly(DrawingPage& page, const char* name, DWORD error,
                        const std::function<BOOL()>& call) {
    page.Clear();
    SetLastError(0);
    EXPECT_FALSE(call()) << name;
    EXPECT_EQ(GetLastError(), error) << name;
    EXPECT_TRUE(page.Spooled().empty()) << name;
}

}  // namespace drawingtest
