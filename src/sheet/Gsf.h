#pragma once
// Owning handles for libgsf objects (GObjects released with g_object_unref).
#include <gsf/gsf.h>
#include <memory>

namespace tarnwick {

struct GObjectUnref {
    void operator()(void *object) const noexcept {
        if (object)
            g_object_unref(object);
    }
};

template <typename T> using GsfPtr = std::unique_ptr<T, GObjectUnref>;

// Initialises libgsf once for the process.
void EnsureGsf();

} // namespace tarnwick
