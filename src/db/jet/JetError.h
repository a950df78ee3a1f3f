#pragma once
// The errors of the Jet engine: a damaged file is reported in a sentence, as a numbered database error.
#include "db/DbError.h"

#include <string>

namespace tarnwick::jet {

// A row or table refused in a sentence before anything of it was written: the change it came in
// stays as it was before it.
class Refusal : public DbError {
public:
    using DbError::DbError;
};

// Throws the error for a file whose structures contradict themselves; `detail` says what was found.
[[noreturn]] void ThrowDamaged(const std::string &detail);

} // namespace tarnwick::jet
