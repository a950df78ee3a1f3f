#pragma once
// The cells of a workbook as our reader and xlrd see them, in one text form so that they compare
// line by line: a "sheet<TAB>name<TAB>rows<TAB>columns" line per sheet, then
// "row<TAB>column<TAB>kind:value" per non-empty cell.
#include <string>
#include <vector>

namespace tarnwick {

// Writes a workbook with our writer from a grid: rows on lines, cells cut by tabs; "#5" a number,
// "@46000" a date, "?1" a boolean, anything else a text, nothing an empty cell. A line "[Name]"
// starts a worksheet of that name (the first is "Sheet1" unless named).
void WriteGridWorkbook(const std::string &path, const std::string &grid);

// `text` cut at every `at`: one part more than it holds of them.
std::vector<std::string> SplitAt(const std::string &text, char at);

std::string DumpWithOurReader(const std::string &path);
std::string DumpWithXlrd(const std::string &path);

} // namespace tarnwick
