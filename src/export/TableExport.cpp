#include "export/TableExport.h"

#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "db/DbError.h"
#include "export/Browser.h"
#include "sheet/SheetError.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookWriter.h"

namespace tarnwick {
namespace {

// Records per worksheet: the rows below the title row.
constexpr long kRowsPerSheet = Workbook::kRows - 1;

// A table's name as a file name of the database folder: separators become "_", and a name that
// would be hidden or empty starts with "_", so that the workbook always lands in that folder.
std::string workbookName(const std::string &table) {
    std::string name = table;
    for (char &c : name)
        if (c == '/' || c == '\\')
            c = '_';
    if (name.empty() || name[0] == '.')
        name.insert(0, "_");
    return name;
}

// A cell value a worksheet can hold: dates before 1900 (which Excel cannot show as dates) become
// their text, and texts past a cell's 32,767 characters are cut and counted.
Value forCell(const Value &value, long &cut) {
    if (value.kind() == Value::Kind::Date && value.dateSerial() < 1)
        return Value(value.toString());
    if (value.kind() == Value::Kind::Text && Utf8Length(value.text()) > WorkbookWriter::kMaxTextLength) {
        ++cut;
        return Value(Utf8Left(value.text(), WorkbookWriter::kMaxTextLength));
    }
    return value;
}

} // namespace

bool BuildExcel(Session &session, AccessDatabase &database, const std::string &table) {
    const std::string name = workbookName(table);
    try {
        const long records = database.recordCount(table);
        if (records == 0) {
            session.prompter.notify("The Table " + table + " has no records, exiting.", Icon::Exclamation);
            return false;
        }
        const std::string path = session.DbFolder + "/" + name + ".xls";
        // As the spreadsheet application asked before replacing a workbook; No ends this table quietly.
        if (PathExists(path) && session.prompter.ask("A file named '" + path +
                                                         "' already exists in this location. Do you want to "
                                                         "replace it?",
                                                     Buttons::YesNo, Icon::Exclamation) == Answer::No)
            return false;

        std::vector<AccessField> fields = database.fields(table);
        // The worksheets are named as a new workbook's are: a table's name may hold characters a
        // worksheet's name may not, or be longer.
        WorkbookWriter writer("Sheet1");
        auto titleRow = [&] {
            for (std::size_t c = 0; c < fields.size() && c < Workbook::kColumns; ++c)
                writer.setText(1, static_cast<int>(c + 1), fields[c].name);
        };
        titleRow();
        session.progress.show("Processing " + table + " Table");
        session.progress.setRange(0, records);
        long written = 0, cut = 0;
        int sheets = 1;
        database.forEachRecord(table, [&](const std::vector<Value> &values) {
            // A table longer than a worksheet goes on in further worksheets, each with its titles.
            if (written > 0 && written % kRowsPerSheet == 0) {
                writer.addSheet("Sheet" + std::to_string(++sheets));
                titleRow();
            }
            int row = static_cast<int>(written % kRowsPerSheet) + 2;
            for (std::size_t c = 0; c < values.size() && c < Workbook::kColumns; ++c)
                writer.setValue(row, static_cast<int>(c + 1), forCell(values[c], cut));
            ++written;
            session.progress.advance();
        });
        session.progress.close();
        writer.save(path);
        ReportIncompleteRead(session, database, "the Table " + table, "the exported table");
        if (sheets > 1)
            session.prompter.notify("The Table " + table + " has " + std::to_string(written) +
                                        " records and a worksheet holds 65,535, so they were written to " +
                                        std::to_string(sheets) + " worksheets of " + name + ".xls.",
                                    Icon::Information);
        if (fields.size() > static_cast<std::size_t>(Workbook::kColumns))
            session.prompter.notify("The Table " + table + " has " + std::to_string(fields.size()) +
                                        " fields and a worksheet holds 256; the fields after the 256th were not "
                                        "exported.",
                                    Icon::Exclamation);
        if (cut > 0)
            session.prompter.notify(std::to_string(cut) + " values of the Table " + table +
                                        " were longer than a worksheet cell holds (32,767 characters) and were cut.",
                                    Icon::Exclamation);
        if (name != table)
            session.prompter.notify("The Table " + table + " cannot be a file name as it stands, so it was saved as " +
                                        name + ".xls in " + session.DbFolder + ".",
                                    Icon::Information);
        session.prompter.notify(name + ".xls Saved!", Icon::Information);
        return true;
    } catch (const NumberedError &error) {
        session.progress.close();
        // The failure says more than any warnings that came before it.
        database.takeWarning();
        session.prompter.notify("BuildExcel: " + std::to_string(error.number()) + ": " + error.description(),
                                Icon::Exclamation);
        return false;
    }
}

bool ExportCheckedTables(Session &session, AccessDatabase *database, const std::vector<std::string> &checked) {
    bool allSaved = true;
    for (const std::string &table : checked)
        allSaved = database && BuildExcel(session, *database, table) && allSaved;
    if (checked.empty())
        session.prompter.notify("No Tables were checked, hense No Spreadsheets were created.", Icon::Exclamation);
    return allSaved;
}

} // namespace tarnwick
