// Owners of the graphics engine's objects that the host makes for a drawing
// call: each is freed when the call is over, however it ends.
#pragma once

#include <memory>

#include <winddi.h>
#include <xlplatform/engine.h>

namespace xlhost {

struct ClipDeleter {
    void operator()(CLIPOBJ* clip) const { EngDeleteClip(clip); }
};
struct PathDeleter {
    void operator()(PATHOBJ* path) const { EngDeletePath(path); }
};
struct XlateDeleter {
    void operator()(XLATEOBJ* xlate) const { xlplatform::DeleteXlate(xlate); }
};

using OwnedClip = std::unique_ptr<CLIPOBJ, ClipDeleter>;
using OwnedPath = std::unique_ptr<PATHOBJ, PathDeleter>;
using OwnedXlate = std::unique_ptr<XLATEOBJ, XlateDeleter>;

// A surface the host created, locked for the call and deleted afterwards.
class OwnedSurface {
  public:
    OwnedSurface() = default;
    // Takes the handle (null is allowed: the owner is then empty) and locks it.
    explicit OwnedSurface(HSURF handle) : handle_(handle) {
        if (handle_ != nullptr) object_ = EngLockSurface(handle_);
    }
    ~OwnedSurface() { Reset(); }
    OwnedSurface(OwnedSurface&& other) noexcept : handle_(other.handle_), object_(other.object_) {
        other.handle_ = nullptr;
        other.object_ = nullptr;
    }
    OwnedSurface& operator=(OwnedSurface&& other) noexcept {
        if (this != &other) {
            Reset();
            std::swap(handle_, other.handle_);
            std::swap(object_, other.object_);
        }
        return *this;
    }
    OwnedSurface(const OwnedSurface&) = delete;
    OwnedSurface& operator=(const OwnedSurface&) = delete;

    SURFOBJ* get() const { return object_; }
    HSURF handle() const { return handle_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    void Reset() {
        if (object_ != nullptr) EngUnlockSurface(object_);
        if (handle_ != nullptr) EngDeleteSurface(handle_);
        handle_ = nullptr;
        object_ = nullptr;
    }

    HSURF handle_ = nullptr;
    SURFOBJ* object_ = nullptr;
};

}  // namespace xlhost
