#pragma once
// Errors of the workbook reader and writer: a number and a description the operator can act on.
#include "base/NumberedError.h"

namespace tarnwick {

class SheetError : public NumberedError {
public:
    using NumberedError::NumberedError;
};

namespace sheeterr {
constexpr long CannotOpen = 1004;   // the file cannot be opened or saved
constexpr long NotAWorkbook = 1005; // not an Excel 97-2003 or 5/95 workbook
constexpr long OldFormat = 1006;    // an Excel 2, 3 or 4 file
constexpr long Damaged = 1007;      // the workbook's records are damaged
constexpr long NoSuchSheet = 9;     // "Subscript out of range", as the spreadsheet application said it
constexpr long TooLarge = 1008;     // beyond 65,536 rows, 256 columns or 32,767 characters
} // namespace sheeterr

} // namespace tarnwick
