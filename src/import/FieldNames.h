#pragma once
#include "app/Session.h"
#include "import/SheetPicker.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct FieldNamesResult {
    // The titles read (FieldNames slots 1 to the count), for the mapping drop-downs; empty when
    // none were read.
    std::vector<std::string> titles;
    // The quoted copy written by the quote repair, when one was.
    std::optional<std::string> repairedFile;
    // The worksheet read, for a workbook.
    std::string sheet;
    // For a text file, the delimiter that cuts its title line into more fields than the other one
    // does (',' or ';'), and the one that does so for most of its first data lines; 0 when neither
    // does (or there are no data lines).
    char titleDelimiter = 0;
    char dataDelimiter = 0;
};

// Reads the titles of a source of the database folder into session.FieldNames: the quoted first
// line of a ".csv" or ".txt" file, or row 1 of a worksheet for any other extension. For a workbook
// the operator confirms or picks the worksheet, whose name is left in `shtName`.
FieldNamesResult GetFieldNames(Session &session, const std::string &fileName, std::string &shtName,
                               SheetPicker &picker);

} // namespace tarnwick
