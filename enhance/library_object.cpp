// The library object and the four exported entry points. A library object
// holds one picture at a time (the caller's pixels, not a copy) and the plan
// and tone curve worked out for it. Nothing here throws past the interface.
#include <algorithm>
#include <cstring>
#include <new>

#include "enhance/detail_filter.h"
#include "enhance/mh_api.h"
#include "enhance/picture.h"
#include "enhance/plan.h"
#include "enhance/tone_curve.h"

namespace xlenhance {
namespace {

struct LibraryObject {
    MHApi api;  // first: callers hold a pointer to it
    bool hasPicture = false;
    Picture picture;
    MHImageDesc description{};
    Plan plan;
    bool looked = false;  // GetOutputSize worked out `curve` for this picture
    ToneCurve curve{};
};

LibraryObject* ObjectOf(MHApi* api) {
    return reinterpret_cast<LibraryObject*>(api);
}

// The rectangle cut to the picture; false when nothing of it is left.
bool CutToPicture(const MHRect* rect, const Picture& picture, MHRect& cut) {
    if (rect == nullptr) return false;
    cut.left = std::max(rect->left, 0);
    cut.top = std::max(rect->top, 0);
    cut.right = static_cast<int32_t>(std::min<int64_t>(rect->right, picture.width));
    cut.bottom = static_cast<int32_t>(std::min<int64_t>(rect->bottom, picture.height));
    return cut.left < cut.right && cut.top < cut.bottom;
}

bool SameDescription(const MHImageDesc* a, const MHImageDesc& b) {
    return a != nullptr && a->size == b.size && a->width == b.width && a->height == b.height &&
           a->bitsPerPixel == b.bitsPerPixel;
}

uint32_t MHAPI_CALL GetVersion(MHApi*) {
    return kMHInterfaceVersion;
}

uint32_t MHAPI_CALL SetImage(MHApi* api, uint8_t* pixels, const MHImageDesc* image,
                             const MHParams* params) {
    LibraryObject* self = ObjectOf(api);
    if (self == nullptr || image == nullptr || params == nullptr) return kMHFailure;
    self->hasPicture = false;
    self->looked = false;
    if (params->size != sizeof(MHParams)) return kMHFailure;
    const auto picture = DescribePicture(pixels, *image);
    if (!picture) return kMHFailure;
    self->picture = *picture;
    self->description = *image;
    self->plan = MakePlan(*params);
    self->hasPicture = true;
    return 0;
}

uint32_t MHAPI_CALL Reset(MHApi* api) {
    if (api == nullptr) return kMHFailure;
    ObjectOf(api)->hasPicture = false;
    ObjectOf(api)->looked = false;
    return 0;
}

uint32_t MHAPI_CALL GetOutputSize(MHApi* api, const MHRect* rect, const MHImageDesc* image,
                                  uint32_t* reserved, MHImageDesc* output) {
    LibraryObject* self = ObjectOf(api);
    if (self == nullptr || !self->hasPicture || output == nullptr ||
        !SameDescription(image, self->description))
        return kMHFailure;
    if (reserved != nullptr) *reserved = 0;
    MHRect cut{};
    if (!CutToPicture(rect, self->picture, cut)) return kMHNothingToChange;
    self->curve =
        Compose(LevelsStretch(self->picture, self->plan.contrast), ShadowLift(self->plan.flash));
    self->looked = true;
    if (IsIdentity(self->curve) && !self->plan.Spatial()) return kMHNothingToChange;
    // The same geometry; the caller derives stride and size.
    *output = MHImageDesc{sizeof(MHImageDesc),
                          self->picture.width,
                          self->picture.height,
                          self->description.bitsPerPixel,
                          0,
                          0};
    return kMHOutputMade;
}

uint32_t MHAPI_CALL EnhanceRect(MHApi* api, const MHRect* rect, const MHImageDesc* image,
                                uint8_t* pixels, MHImageDesc* output) {
    LibraryObject* self = ObjectOf(api);
    if (self == nullptr || !self->hasPicture || !self->looked || output == nullptr ||
        !SameDescription(image, self->description) || !SameDescription(output, *image))
        return kMHFailure;
    const auto target = DescribePicture(pixels, *output);
    MHRect cut{};
    if (!target || !CutToPicture(rect, self->picture, cut)) return kMHFailure;
    const Picture& from = self->picture;
    for (uint32_t y = 0; y < from.height; ++y)
        std::memcpy(target->Row(y), from.Row(y), from.RowBytes());
    // Only the rectangle changes; the rest keeps the picture as it came.
    Picture inside = *target;
    inside.pixels = target->Row(cut.top) + size_t(cut.left) * target->bytesPerPixel;
    inside.width = static_cast<uint32_t>(cut.right - cut.left);
    inside.height = static_cast<uint32_t>(cut.bottom - cut.top);
    ApplyCurve(inside, inside, self->curve);
    try {
        FilterDetail(*target, self->plan.blurRadius, self->plan.DetailGain(),
                     static_cast<uint32_t>(cut.left), static_cast<uint32_t>(cut.top),
                     static_cast<uint32_t>(cut.right), static_cast<uint32_t>(cut.bottom));
    } catch (const std::bad_alloc&) {
        return kMHFailure;
    }
    return 0;
}

constexpr MHApiMethods kMethods = {GetVersion, SetImage, Reset, GetOutputSize, EnhanceRect};

// What CreateMHApi hands out: a band object with nothing to do.
struct BandObject {
    uint32_t version = kMHInterfaceVersion;
};

}  // namespace
}  // namespace xlenhance

extern "C" {

void* MHAPI_CALL CreateMHApi() {
    return new (std::nothrow) xlenhance::BandObject();
}

void MHAPI_CALL DestroyMHApi(void* bandApi) {
    delete static_cast<xlenhance::BandObject*>(bandApi);
}

MHApi* MHAPI_CALL MHApiCreate() {
    auto* object = new (std::nothrow) xlenhance::LibraryObject();
    if (object == nullptr) return nullptr;
    object->api.methods = &xlenhance::kMethods;
    return &object->api;
}

void MHAPI_CALL MHApiDestroy(MHApi* api) {
    delete xlenhance::ObjectOf(api);
}

}  // extern "C"
