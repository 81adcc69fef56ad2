#include "host/drawing_test_support.h"

#include <cstring>
#include <variant>

#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace drawingtest {

using namespace xlr;

DrawingPage::DrawingPage(LONG width, LONG height) {
    surface_.dhpdev = reinterpret_cast<DHPDEV>(&device_.devobj);
    surface_.sizlBitmap = SIZEL{width, height};
    surface_.iBitmapFormat = BMF_24BPP;
    surface_.iType = STYPE_DEVICE;
}

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

// The attribute's integer value; a test failure when the operator lacks it.
int64_t AttributeInteger(const Operator& op, uint16_t id, size_t element = 0) {
    if (op.Find(id) == nullptr)
        ADD_FAILURE() << "operator 0x" << std::hex << int{op.tag} << " has no attribute 0x" << id;
    return AttributeValue(op, id, element);
}

std::vector<DecodedImage> DecodeImages(const SpooledOperators& operators) {
    std::vector<DecodedImage> images;
    DecodedImage state;  // the graphics state as it goes
    DecodedImage* current = nullptr;
    for (const Operator& op : operators.all()) {
        switch (op.tag) {
            case xlop::SetColorSpace: {
                state.colorSpace = static_cast<unsigned>(AttributeInteger(op, xlattr::ColorSpace));
                const auto* palette = op.Find(xlattr::PaletteData);
                state.palette = palette ? std::vector<uint8_t>(palette->value.raw.begin(),
                                                               palette->value.raw.end())
                                        : std::vector<uint8_t>{};
                break;
            }
            case xlop::SetBrushSource:
                if (const auto* rgb = op.Find(xlattr::RGBColor))
                    state.brush =
                        std::vector<uint8_t>(rgb->value.raw.begin(), rgb->value.raw.end());
                else
                    state.brush.reset();
                break;
            case xlop::SetROP:
                state.rop3 = static_cast<unsigned>(AttributeInteger(op, xlattr::ROP3));
                break;
            case xlop::SetSourceTxMode:
                state.sourceTxMode = static_cast<unsigned>(AttributeInteger(op, xlattr::TxMode));
                break;
            case xlop::SetCursor:
                state.cursorX = static_cast<int>(AttributeInteger(op, xlattr::Point, 0));
                state.cursorY = static_cast<int>(AttributeInteger(op, xlattr::Point, 1));
                break;
            case xlop::BeginImage: {
                images.push_back(state);
                current = &images.back();
                current->mapping =
                    static_cast<unsigned>(AttributeInteger(op, xlattr::ColorMapping));
                current->depth = static_cast<unsigned>(AttributeInteger(op, xlattr::ColorDepth));
                current->width = static_cast<unsigned>(AttributeInteger(op, xlattr::SourceWidth));
                current->height = static_cast<unsigned>(AttributeInteger(op, xlattr::SourceHeight));
                current->destWidth =
                    static_cast<unsigned>(AttributeInteger(op, xlattr::DestinationSize, 0));
                current->destHeight =
                    static_cast<unsigned>(AttributeInteger(op, xlattr::DestinationSize, 1));
                break;
            }
            case xlop::ReadImage: {
                if (current == nullptr) {
                    ADD_FAILURE() << "ReadImage outside an image";
                    break;
                }
                const auto start = static_cast<unsigned>(AttributeInteger(op, xlattr::StartLine));
                const auto count = static_cast<unsigned>(AttributeInteger(op, xlattr::BlockHeight));
                const auto mode = static_cast<unsigned>(AttributeInteger(op, xlattr::CompressMode));
                EXPECT_EQ(start, current->rows.size()) << "blocks come in order";
                current->compressions.push_back(mode);
                if (!op.data) {
                    ADD_FAILURE() << "ReadImage without data";
                    break;
                }
                const size_t rowBytes =
                    current->depth == 0 ? (current->width + 7) / 8 : current->width * 3;
                const size_t stride = (rowBytes + 3) & ~size_t{3};
                std::vector<uint8_t> data(op.data->bytes.begin(), op.data->bytes.end());
                if (mode == 1) {
                    auto unpacked = UnpackBits(data.data(), data.size());
                    if (!unpacked) {
                        ADD_FAILURE() << "run-length data runs short";
                        break;
                    }
                    data = std::move(*unpacked);
                } else {
                    EXPECT_EQ(mode, 0u);
                }
                EXPECT_EQ(data.size(), stride * count) << "rows padded to 4 bytes";
                for (unsigned r = 0; r < count && (r + 1) * stride <= data.size(); ++r)
                    current->rows.emplace_back(data.begin() + r * stride,
                                               data.begin() + r * stride + rowBytes);
                break;
            }
            case xlop::EndImage:
                if (current != nullptr) {
                    EXPECT_EQ(current->rows.size(), current->height);
                }
                current = nullptr;
                break;
            default:
                break;
        }
    }
    return images;
}

void ExpectBalancedGraphicsState(const SpooledOperators& operators) {
    ASSERT_GT(operators.size(), 0u);
    EXPECT_EQ(operators[0].tag, xlop::PushGS);
    EXPECT_EQ(operators[operators.size() - 1].tag, xlop::PopGS);
    int depth = 0;
    for (const Operator& op : operators.all()) {
        if (op.tag == xlop::PushGS) ++depth;
        if (op.tag == xlop::PopGS) --depth;
        EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
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
