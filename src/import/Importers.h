#pragma once
// The six importers: sites, guests and other charges, each from a delimited text file or from the
// worksheet named in the window. `fileName` is a file of the database folder.
#include "import/RowEngine.h"

#include <optional>

namespace tarnwick {

ImportOutcome ImportSitesText(Session &session, const ImportWindowState &window, const std::string &fileName);
ImportOutcome ImportSitesExcel(Session &session, const ImportWindowState &window, const std::string &fileName);
ImportOutcome ImportGuestsText(Session &session, const ImportWindowState &window, const std::string &fileName);
ImportOutcome ImportGuestsExcel(Session &session, const ImportWindowState &window, const std::string &fileName);
ImportOutcome ImportChargesText(Session &session, const ImportWindowState &window, const std::string &fileName);
ImportOutcome ImportChargesExcel(Session &session, const ImportWindowState &window, const std::string &fileName);

// The park table an import fills: "Sites", "Guest" or "OtherCharges".
std::string ImportTableName(ImportTable table);

// The importer of a table chosen by the file's extension: "CSV" and "TXT" take the text importer,
// "XLS" the workbook importer; any other extension imports nothing (and yields nothing).
std::optional<ImportOutcome> ImportFile(Session &session, const ImportWindowState &window, ImportTable table,
                                        const std::string &fileName);

} // namespace tarnwick
