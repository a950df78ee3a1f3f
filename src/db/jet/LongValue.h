#pragma once
// Memo and OLE values. A row holds a 12-byte field: the length with two flag bits, a pointer to a
// row of a long-value page and four unused bytes. The value follows the field itself (inline), fills
// the one row pointed to, or runs through a chain of rows, each starting with the pointer to the next.
#include "db/jet/PageSource.h"

#include "db/jet/RowId.h"

#include <string>
#include <vector>

namespace tarnwick::jet {

constexpr std::size_t kLongValueFieldSize = 12;

// The bytes of the long value whose field is `field`.
std::string ReadLongValue(const PageSource &file, ByteView field);

// The long-value rows holding the value whose field is `field`: none for a value in the row.
std::vector<RowId> LongValueRows(const PageSource &file, ByteView field);

} // namespace tarnwick::jet
