#include "sheet/Gsf.h"

#include <mutex>

namespace tarnwick {

void EnsureGsf() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

} // namespace tarnwick
