#pragma once
// What the import window's file list and buttons do, shared with the terminal program: the files
// offered, reading the titles of the selected files, and importing each selected file after its
// backup.
#include "import/Importers.h"
#include "import/SheetPicker.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The sources the file list shows: the folder's ordinary files ending in .csv, .txt or .xls (in
// any case), sorted by name ignoring case. A folder that cannot be read lists nothing.
std::vector<std::string> ListSourceFiles(const std::string &folder);

// What reading one file's titles found.
struct SourceRead {
    std::string file;
    std::string sheet; // the worksheet, for a workbook
    std::size_t titles = 0;
    char titleDelimiter = 0; // FieldNamesResult::titleDelimiter
    char dataDelimiter = 0;  // FieldNamesResult::dataDelimiter
};

struct SelectedTitles {
    // The titles of every file, one file after the other, for one panel's drop-downs.
    std::vector<std::string> titles;
    // Whether a quote repair wrote a new file, so that the file list must be read again.
    bool filesWritten = false;
    // Whether a file gave no titles (its titles were refused, or it has none).
    bool someUnread = false;
    // Each file read, in order.
    std::vector<SourceRead> reads;
};

// Reads the titles of `files` in order, as a click on the file list does after its lists were
// emptied: `shtName` is emptied first and holds the worksheet of the last workbook read.
SelectedTitles ReadSelectedTitles(Session &session, const std::vector<std::string> &files, std::string &shtName,
                                  SheetPicker &picker);

// The status line after files were read: "sites.csv: 6 titles", "guests.xls, sheet Current Guests:
// 18 titles", one part a file; then, when a text file's title line is cut into more fields by the
// delimiter not chosen, the hint to choose it.
std::string TitlesReadStatus(const std::vector<SourceRead> &reads, char delimiter);
// The status line of a panel whose drop-downs are empty while `files` are selected; `table` is the
// table's caption in the window ("Guest Data").
std::string ReadAgainStatus(const std::vector<std::string> &files, const std::string &table);

// For each file in order: the backup offer of the table, then the table's importer chosen by the
// file's extension. Returns per file what its importer did (nothing for an extension that has no
// importer). A park database that is no longer there is reported once and nothing is imported.
std::vector<std::optional<ImportOutcome>> ImportSelectedFiles(Session &session, const ImportWindowState &window,
                                                              ImportTable table, const std::vector<std::string> &files);

} // namespace tarnwick
