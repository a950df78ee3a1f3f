#include "import/ImportWindowActions.h"

#include "app/Maintenance.h"
#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "export/FolderBrowse.h"
#include "import/DelimitedText.h"
#include "import/FieldNames.h"
#include "import/InterruptedImport.h"
#include "import/RejectedRows.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

bool isSourceName(const std::string &name) {
    const std::string extension = UpperExtension(name);
    return extension == "CSV" || extension == "TXT" || extension == "XLS";
}

BackupReason addReason(ImportTable table) {
    switch (table) {
    case ImportTable::Sites:
        return BackupReason::AddSites;
    case ImportTable::Guests:
        return BackupReason::AddGuests;
    case ImportTable::Charges:
        break;
    }
    return BackupReason::AddOtherChgs;
}

} // namespace

std::vector<std::string> ListSourceFiles(const std::string &folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isSourceName(name) && IsRegularFile(it->path().string()))
            names.push_back(name);
    }
    SortNames(names);
    return names;
}

SelectedTitles ReadSelectedTitles(Session &session, const std::vector<std::string> &files, std::string &shtName,
                                  SheetPicker &picker) {
    SelectedTitles result;
    shtName.clear();
    for (const std::string &file : files) {
        FieldNamesResult read = GetFieldNames(session, file, shtName, picker);
        result.titles.insert(result.titles.end(), read.titles.begin(), read.titles.end());
        result.filesWritten = result.filesWritten || read.repairedFile.has_value();
        result.someUnread = result.someUnread || read.titles.empty();
        result.reads.push_back({file, read.sheet, read.titles.size(), read.titleDelimiter, read.dataDelimiter});
    }
    return result;
}

namespace {

std::string separatedBy(char delimiter) {
    return delimiter == ';' ? "semicolons" : "commas";
}

std::string choose(char delimiter) {
    return delimiter == ';' ? ": choose Semicolon" : ": choose Comma";
}

} // namespace

std::string TitlesReadStatus(const std::vector<SourceRead> &reads, char delimiter) {
    std::string status, hint;
    for (const SourceRead &read : reads) {
        status += (status.empty() ? "" : "; ") + read.file + (read.sheet.empty() ? "" : ", sheet " + read.sheet) +
                  ": " + (read.titles ? CountOf(static_cast<long>(read.titles), "title", "titles") : "no titles read");
        if (!read.titles)
            continue;
        // The data decide what the import needs; titles separated otherwise are named too.
        const char data = read.dataDelimiter ? read.dataDelimiter : read.titleDelimiter;
        if (read.titleDelimiter && read.dataDelimiter && read.titleDelimiter != read.dataDelimiter)
            hint = ". The titles look separated by " + separatedBy(read.titleDelimiter) + " but the data by " +
                   separatedBy(read.dataDelimiter) + (data != delimiter ? choose(data) : "");
        else if (data && data != delimiter)
            hint = ". The titles look separated by " + separatedBy(data) + choose(data);
    }
    return status + hint;
}

std::string ReadAgainStatus(const std::vector<std::string> &files, const std::string &table) {
    std::string names;
    for (std::size_t i = 0; i < files.size(); ++i)
        names += (i == 0 ? "" : i + 1 == files.size() ? " and " : ", ") + files[i];
    return "Click " + names + " again to read " + (files.size() == 1 ? "its" : "their") + " titles for " + table;
}

std::vector<std::optional<ImportOutcome>> ImportSelectedFiles(Session &session, const ImportWindowState &window,
                                                              ImportTable table,
                                                              const std::vector<std::string> &files) {
    std::vector<std::optional<ImportOutcome>> outcomes;
    for (const std::string &file : files) {
        if (!ParkStillThere(session))
            break;
        const std::optional<std::string> backup = BackUpDB(session, addReason(table));
        const std::string tableName = ImportTableName(table);
        const std::string extension = UpperExtension(file);
        RejectedRows rejected(session, file, extension == "CSV" || extension == "TXT" ? window.delimiter() : ',',
                              files);
        {
            RunningImport running(session, {tableName, file, backup.value_or(""), BackupTimeStamp(session),
                                            TableRowCount(session, tableName)});
            session.importListener = &rejected;
            outcomes.push_back(ImportFile(session, window, table, file));
            session.importListener = nullptr;
            // Named while the marker is still there: a kill before the name leaves the refused rows in
            // a temporary file only, and the next start must then say the import was cut short.
            // Rows that are in no file make the import's outcome a failure, though its rows are kept.
            if (!rejected.finish() && outcomes.back())
                outcomes.back() = ImportOutcome::Stopped;
        }
    }
    return outcomes;
}

} // namespace tarnwick
