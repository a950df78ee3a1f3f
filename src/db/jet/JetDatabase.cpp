#include "db/jet/JetDatabase.h"

#include "base/TextUtil.h"
#include "base/VbDate.h"
#include "db/jet/Journal.h"
#include "db/jet/NewTable.h"
#include "db/jet/PageWrites.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TablePacking.h"
#include "db/jet/TableRemove.h"
#include "db/jet/TableRows.h"
#include "db/jet/TableWriter.h"
#include "db/jet/UsageMap.h"
#include "db/jet/UsageMapWrite.h"

#include <filesystem>
#include <set>

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
    if (header.encrypted)
        throw DbError(dberr::UnrecognizedFormat,
                      file.path() + " is an encrypted (encoded) Access database, which Tarnwick cannot read or write. "
                                    "Decode it in Access first (Tools, Security, Encode/Decode Database).");
    return header;
}

// A journal is put back before anything is read, unless its writer is still at work.
const std::string &recovered(const std::string &path, bool locked) {
    if (locked)
        RecoverFromJournal(path);
    else
        RecoverAsReader(path);
    return path;
}

} // namespace

JetDatabase::JetDatabase(const std::string &path, bool writable)
    : writable_(writable), lock_(writable ? std::make_optional<WriterLock>(path) : std::nullopt),
      file_(recovered(path, writable), writable), header_(readHeader(file_)), catalog_(ReadCatalog(file_)) {}

JetDatabase::JetDatabase(const std::string &path, Unshared)
    : writable_(true), file_(recovered(path, true), true), header_(readHeader(file_)), catalog_(ReadCatalog(file_)) {}

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
            return ReadTableDef(source(), entry.definitionPage());
    throw NoSuchTableError(name);
}

void JetDatabase::scan(const TableDef &table, const std::function<bool(RowId, const Row &)> &visit) const {
    const PageSource &pages = source();
    ScanRows(pages, table, [&](RowId id, ByteView bytes) { return visit(id, DecodeRow(pages, table, bytes)); });
}

void JetDatabase::scanColumn(const TableDef &table, std::size_t column,
                             const std::function<bool(RowId, const JetValue &)> &visit) const {
    const PageSource &pages = source();
    ScanRows(pages, table,
             [&](RowId id, ByteView bytes) { return visit(id, DecodeColumn(pages, table, bytes, column)); });
}

Row JetDatabase::row(const TableDef &table, RowId id) const {
    Row values;
    const PageSource &pages = source();
    WithRow(pages, table, id, [&](ByteView bytes) { values = DecodeRow(pages, table, bytes); });
    return values;
}

void JetDatabase::checkWritable() const {
    if (!writable_)
        throw DbError(dberr::NotUpdatable, "The database '" + file_.path() + "' was opened for reading only.");
}

const PageSource &JetDatabase::source() const {
    if (pages_)
        return *pages_;
    return file_;
}

template <typename Change> void JetDatabase::committed(Change change) {
    begin();
    try {
        change();
        commit();
    } catch (...) {
        rollback();
        throw;
    }
}

void JetDatabase::append(const std::string &name, const std::vector<Row> &rows) {
    committed([&] {
        for (const Row &row : rows)
            appendRow(name, row);
    });
}

void JetDatabase::remove(const std::string &name, const std::vector<RowId> &ids) {
    committed([&] {
        for (RowId id : ids)
            removeRow(name, id);
    });
}

void JetDatabase::update(const std::string &name, const std::vector<std::pair<RowId, Row>> &changes) {
    committed([&] {
        for (const auto &[id, values] : changes)
            updateRow(name, id, values);
    });
}

void JetDatabase::begin() {
    checkWritable();
    if (pages_)
        throw DbError(dberr::StorageFailure, "A change to '" + file_.path() + "' is already under way.");
    pages_ = std::make_unique<PageWrites>(file_);
}

void JetDatabase::finishOperation() {
    if (writer_)
        writer_->finish();
    if (remover_)
        remover_->finish();
    writer_.reset();
    remover_.reset();
    operationTable_.clear();
}

template <typename Operation>
Operation &JetDatabase::operationFor(std::unique_ptr<Operation> &running, const std::string &name) {
    if (!pages_)
        throw DbError(dberr::StorageFailure, "No change to '" + file_.path() + "' is under way.");
    if (!running || (name != operationTable_ && UpperCase(name) != UpperCase(operationTable_))) {
        finishOperation();
        running = std::make_unique<Operation>(*pages_, table(name), name);
        operationTable_ = name;
    }
    return *running;
}

RowId JetDatabase::appendRow(const std::string &name, const Row &values) {
    return operationFor(writer_, name).append(values);
}

void JetDatabase::updateRow(const std::string &name, RowId id, const Row &values) {
    operationFor(writer_, name).update(id, values);
}

void JetDatabase::removeRow(const std::string &name, RowId id) {
    operationFor(remover_, name).remove(id);
}

void JetDatabase::commit() {
    if (!pages_)
        return;
    try {
        finishOperation();
        pages_->commit();
    } catch (...) {
        // The file is as it was before the change (see PageWrites::commit); so is what is kept here.
        rollback();
        throw;
    }
    pages_.reset();
}

void JetDatabase::rollback() noexcept {
    writer_.reset();
    remover_.reset();
    operationTable_.clear();
    pages_.reset();
}

void JetDatabase::removeAll(const std::string &name) {
    std::vector<RowId> ids;
    scan(table(name), [&](RowId id, const Row &) { return ids.push_back(id), true; });
    remove(name, ids);
}

void JetDatabase::createTable(const TableDesign &design) {
    committed([&] { AddTable(*pages_, design, static_cast<std::uint16_t>(header_.sortOrder), SerialNow()); });
    catalog_ = ReadCatalog(file_);
}

void JetDatabase::pack(const std::vector<std::string> &names) {
    committed([&] {
        for (const std::string &name : names)
            PackTable(*pages_, table(name), name);
        LowerMapPages(*pages_, kFreePagesMap);
    });
    // The free pages at the end of the file go: Access's files, too, mark the pages past their end free.
    const std::vector<std::uint32_t> freeList = UsageMapPages(file_, kFreePagesMap);
    const std::set<std::uint32_t> free(freeList.begin(), freeList.end());
    std::uint32_t end = file_.pageCount();
    while (end > kCatalogPage + 1 && free.count(end - 1))
        --end;
    if (end < file_.pageCount()) {
        file_.truncate(end);
        file_.sync();
    }
}

} // namespace tarnwick::jet
