#include "db/jet/JetDatabase.h"

#include "base/TextUtil.h"
#include "base/VbDate.h"
#include "db/jet/Journal.h"
#include "db/jet/NewTable.h"
#include "db/jet/PageWrites.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRemove.h"
#include "db/jet/TableRows.h"
#include "db/jet/TableWriter.h"

#include <ctime>
#include <filesystem>

namespace tarnwick::jet {
namespace {

JetHeader readHeader(const PageFile &file) {
    JetHeader header;
    if (file.pageCount() > kCatalogPage) {
        const Page first = file.read(0, "header");
        header = ParseJetHeader(std::vector<std::uint8_t>(first.data(), first.data() + kHeaderSize));
    }
    if (header.version != JetVersion::Jet4)
        throw DbError(dberr::UnrecognizedFormat, "Unrecognized database format '" + file.path() + "'.");
    return header;
}

// A journal is put back before anything is read, unless its writer is still at work.
const std::string &recovered(const std::string &path, bool locked) {
    if (!locked && OpenForWritingElsewhere(path) && std::filesystem::exists(JournalPath(path)))
        throw DbError(dberr::StorageFailure, "Could not use '" + path + "'; file already in use.");
    RecoverFromJournal(path);
    return path;
}

// The local time as a date serial.
double serialNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return SerialFromParts(
        {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
}

} // namespace

JetDatabase::JetDatabase(const std::string &path, bool writable)
    : writable_(writable), lock_(writable ? std::make_optional<WriterLock>(path) : std::nullopt),
      file_(recovered(path, writable), writable), header_(readHeader(file_)), catalog_(ReadCatalog(file_)) {}

std::vector<std::string> JetDatabase::tableNames() const {
    std::vector<std::string> names;
    for (const CatalogEntry &entry : catalog_)
        if (entry.isLocalTable())
            names.push_back(entry.name);
    return names;
}

TableDef JetDatabase::table(const std::string &name) const {
    const std::string wanted = UpperCase(name);
    for (const CatalogEntry &entry : catalog_)
        if (entry.isLocalTable() && UpperCase(entry.name) == wanted)
            return ReadTableDef(file_, entry.definitionPage());
    throw DbError(dberr::NoSuchTable, "The Microsoft Jet database engine cannot find the input table or query '" +
                                          name + "'. Make sure it exists and that its name is spelled correctly.");
}

void JetDatabase::scan(const TableDef &table, const std::function<bool(RowId, const Row &)> &visit) const {
    ScanRows(file_, table, [&](RowId id, ByteView bytes) { return visit(id, DecodeRow(file_, table, bytes)); });
}

Row JetDatabase::row(const TableDef &table, RowId id) const {
    Row values;
    WithRow(file_, table, id, [&](ByteView bytes) { values = DecodeRow(file_, table, bytes); });
    return values;
}

void JetDatabase::checkWritable() const {
    if (!writable_)
        throw DbError(dberr::NotUpdatable, "The database '" + file_.path() + "' was opened for reading only.");
}

void JetDatabase::append(const std::string &name, const std::vector<Row> &rows) {
    checkWritable();
    PageWrites pages(file_);
    TableWriter appending(pages, table(name), name);
    for (const Row &row : rows)
        appending.append(row);
    appending.finish();
    pages.commit();
}

void JetDatabase::remove(const std::string &name, const std::vector<RowId> &ids) {
    checkWritable();
    PageWrites pages(file_);
    TableRemove removing(pages, table(name), name);
    for (RowId id : ids)
        removing.remove(id);
    removing.finish();
    pages.commit();
}

void JetDatabase::update(const std::string &name, const std::vector<std::pair<RowId, Row>> &changes) {
    checkWritable();
    PageWrites pages(file_);
    TableWriter writing(pages, table(name), name);
    for (const auto &[id, values] : changes)
        writing.update(id, values);
    writing.finish();
    pages.commit();
}

void JetDatabase::removeAll(const std::string &name) {
    std::vector<RowId> ids;
    scan(table(name), [&](RowId id, const Row &) { return ids.push_back(id), true; });
    remove(name, ids);
}

void JetDatabase::createTable(const TableDesign &design) {
    checkWritable();
    PageWrites pages(file_);
    AddTable(pages, design, static_cast<std::uint16_t>(header_.sortOrder), serialNow());
    pages.commit();
    catalog_ = ReadCatalog(file_);
}

} // namespace tarnwick::jet
