#pragma once
// The cells of a workbook as three readers see them, in one text form so that they compare line by
// line: a "sheet<TAB>name<TAB>rows<TAB>columns" line per sheet (rows and columns only from readers
// that report them), then "row<TAB>column<TAB>kind:value" per non-empty cell.
#include <string>

namespace tarnwick {

std::string DumpWithOurReader(const std::string &path, bool withExtent = true);
std::string DumpWithXlrd(const std::string &path);
// libfreexl reports booleans as numbers and no errors; the dump keeps its own view.
std::string DumpWithFreexl(const std::string &path);

} // namespace tarnwick
