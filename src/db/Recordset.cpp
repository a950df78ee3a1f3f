#include "db/Recordset.h"

#include "base/TextUtil.h"
#include "db/ColumnConvert.h"
#include "db/sqlite/StoredValue.h"

#include <regex>

namespace tarnwick {
namespace {

std::string quoteIdentifier(const std::string &name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string unbracket(const std::string &name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
        return name.substr(1, name.size() - 2);
    return name;
}

struct ParsedSource {
    std::string table;
    bool byId = false;
    long long id = 0;
};

ParsedSource parseSource(const std::string &source, int options) {
    if (options == adCmdTable)
        return {unbracket(TrimBlanks(source))};
    static const std::regex form(R"(^\s*SELECT\s+\*\s+FROM\s+(\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_]*)\s*)"
                                 R"((?:WHERE\s+ID\s*=\s*(-?[0-9]+)\s*)?;?\s*$)",
                                 std::regex::icase);
    std::smatch m;
    if (!std::regex_match(source, m, form))
        throw DbError(dberr::UnsupportedQuery, "Invalid SQL statement; expected 'SELECT * FROM <table>': " + source);
    ParsedSource parsed{unbracket(m[1].str())};
    if (m[2].matched) {
        parsed.byId = true;
        parsed.id = std::stoll(m[2].str());
    }
    return parsed;
}

[[noreturn]] void noCurrentRecord() {
    throw DbError(dberr::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted. "
                                          "Requested operation requires a current record.");
}

} // namespace

Value Field::GetValue() const {
    return owner_->fieldValue(index_);
}

void Field::SetValue(Value value) {
    owner_->requireUpdatable();
    owner_->setFieldValue(index_, ConvertForColumn(type_, std::move(value)));
}

Field &FieldsCollection::operator[](int index) {
    if (index < 0 || index >= Count())
        throw DbError(dberr::ItemNotFound,
                      "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return fields_[index];
}

Field &FieldsCollection::operator[](const std::string &name) {
    auto found = byLowerName_.find(LowerCase(name));
    if (found != byLowerName_.end())
        return fields_[found->second];
    throw DbError(dberr::ItemNotFound,
                  "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

void Recordset::Open(const std::string &source, Connection &connection, CursorTypeEnum, LockTypeEnum lock,
                     int options) {
    Close();
    ParsedSource parsed = parseSource(source, options);
    sqlite3 *db = connection.handle();
    quotedTable_ = quoteIdentifier(parsed.table);

    Statement info(db, "PRAGMA table_info(" + quotedTable_ + ")");
    FieldsCollection fields;
    while (info.step()) {
        const char *decl = reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 2));
        fields.fields_.emplace_back(*this, fields.Count(),
                                    reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 1)),
                                    ColumnType::fromDeclaration(decl ? decl : ""));
    }
    for (const Field &field : fields.fields_)
        fields.byLowerName_.emplace(LowerCase(field.Name()), static_cast<int>(fields.byLowerName_.size()));
    if (fields.Count() == 0)
        throw DbError(dberr::NoSuchTable, "The Microsoft Jet database engine cannot find the input table or query '" +
                                              parsed.table +
                                              "'.  Make sure it exists and that its name is spelled correctly.");

    Statement ids(db, "SELECT rowid FROM " + quotedTable_ + (parsed.byId ? " WHERE ID = ?" : "") + " ORDER BY rowid");
    if (parsed.byId)
        sqlite3_bind_int64(ids.get(), 1, parsed.id);
    std::vector<std::int64_t> rowids;
    while (ids.step())
        rowids.push_back(sqlite3_column_int64(ids.get(), 0));

    scan_ = Statement(db, "SELECT rowid, * FROM " + quotedTable_ + " WHERE rowid >= ? ORDER BY rowid");
    scanning_ = false;
    fields_ = std::move(fields);
    rowids_ = std::move(rowids);
    deleted_.assign(rowids_.size(), false);
    lock_ = lock;
    connection_ = &connection;
    clearPending();
}

void Recordset::Close() noexcept {
    connection_ = nullptr;
    lastInsert_ = nullptr;
    inserts_.clear();
    scan_ = Statement();
    scanning_ = false;
    fields_.fields_.clear();
    fields_.byLowerName_.clear();
    rowids_.clear();
    deleted_.clear();
    deletedCount_ = 0;
    position_ = 0;
    cacheValid_ = false;
    mode_ = EditMode::None;
}

void Recordset::requireOpen() const {
    if (!connection_)
        throw DbError(dberr::ObjectClosed, "Operation is not allowed when the object is closed.");
}

void Recordset::requireUpdatable() const {
    requireOpen();
    if (lock_ == adLockReadOnly)
        throw DbError(dberr::NotUpdatable, "Current Recordset does not support updating. This may be a limitation of "
                                           "the provider, or of the selected locktype.");
}

bool Recordset::onRow() const {
    return position_ >= 0 && position_ < static_cast<long>(rowids_.size()) && !deleted_[position_];
}

bool Recordset::Eof() const {
    requireOpen();
    return position_ >= static_cast<long>(rowids_.size()) || RecordCount() == 0;
}

bool Recordset::Bof() const {
    requireOpen();
    return position_ < 0 || RecordCount() == 0;
}

long Recordset::RecordCount() const {
    requireOpen();
    return static_cast<long>(rowids_.size()) - deletedCount_;
}

void Recordset::skipDeletedForward() {
    while (position_ < static_cast<long>(rowids_.size()) && deleted_[position_])
        ++position_;
}

void Recordset::MoveFirst() {
    requireOpen();
    Update();
    position_ = 0;
    skipDeletedForward();
}

void Recordset::MoveLast() {
    requireOpen();
    Update();
    position_ = static_cast<long>(rowids_.size()) - 1;
    while (position_ >= 0 && deleted_[position_])
        --position_;
    if (position_ < 0)
        position_ = static_cast<long>(rowids_.size());
}

void Recordset::MoveNext() {
    requireOpen();
    if (position_ >= static_cast<long>(rowids_.size()))
        noCurrentRecord();
    Update();
    ++position_;
    skipDeletedForward();
}

FieldsCollection &Recordset::Fields() {
    requireOpen();
    return fields_;
}

const std::vector<Value> &Recordset::currentValues() {
    if (!onRow())
        noCurrentRecord();
    std::int64_t rowid = rowids_[position_];
    if (!cacheValid_ || cachedRowid_ != rowid) {
        // A walk through the rows reads them from one running scan; any other move looks the row
        // up and starts the scan there.
        if (!scanning_ || scanRowid_ != rowid) {
            scan_.reset();
            sqlite3_bind_int64(scan_.get(), 1, rowid);
            scanning_ = scan_.step();
            scanRowid_ = scanning_ ? sqlite3_column_int64(scan_.get(), 0) : 0;
        }
        const bool found = scanning_ && scanRowid_ == rowid;
        cache_.clear();
        if (found)
            for (const Field &field : fields_.fields_)
                cache_.push_back(ReadStored(scan_.get(), static_cast<int>(cache_.size()) + 1, field.columnType()));
        if (!found)
            noCurrentRecord();
        scanning_ = scan_.step();
        scanRowid_ = scanning_ ? sqlite3_column_int64(scan_.get(), 0) : 0;
        cachedRowid_ = rowid;
        cacheValid_ = true;
    }
    return cache_;
}

Value Recordset::fieldValue(int index) {
    requireOpen();
    if (mode_ != EditMode::None && touched_[index])
        return pending_[index];
    if (mode_ == EditMode::Add)
        return Value::null();
    return currentValues()[index];
}

void Recordset::setFieldValue(int index, Value converted) {
    if (mode_ == EditMode::None) {
        if (!onRow())
            noCurrentRecord();
        mode_ = EditMode::Edit;
        pending_.resize(fields_.fields_.size());
        touched_.assign(fields_.fields_.size(), false);
        touchedBits_ = 0;
    }
    pending_[index] = std::move(converted);
    touched_[index] = true;
    if (index < 64)
        touchedBits_ |= std::uint64_t(1) << index;
}

void Recordset::AddNew() {
    requireUpdatable();
    Update();
    mode_ = EditMode::Add;
    pending_.resize(fields_.fields_.size());
    touched_.assign(fields_.fields_.size(), false);
    touchedBits_ = 0;
}

void Recordset::Update() {
    requireOpen();
    if (mode_ == EditMode::Add)
        insertPending();
    else if (mode_ == EditMode::Edit)
        updatePending();
    clearPending();
}

void Recordset::stopScan() {
    scan_.reset();
    scanning_ = false;
}

void Recordset::insertPending() {
    stopScan();
    if (!lastInsert_ || touched_.size() > 64 || lastInsertBits_ != touchedBits_) {
        auto it = inserts_.find(touched_);
        if (it == inserts_.end())
            it = inserts_.emplace(touched_, prepareInsert()).first;
        lastInsertBits_ = touchedBits_;
        lastInsert_ = &it->second;
    }
    Statement &insert = *lastInsert_;
    int parameter = 0;
    for (std::size_t i = 0; i < touched_.size(); ++i)
        if (touched_[i])
            BindStored(insert.get(), ++parameter, fields_.fields_[i].columnType(), pending_[i]);
    insert.run();
    rowids_.push_back(sqlite3_last_insert_rowid(connection_->handle()));
    deleted_.push_back(false);
    position_ = static_cast<long>(rowids_.size()) - 1;
}

Statement Recordset::prepareInsert() {
    std::string columns, parameters;
    for (std::size_t i = 0; i < touched_.size(); ++i) {
        if (!touched_[i])
            continue;
        columns += (columns.empty() ? "" : ", ") + quoteIdentifier(fields_.fields_[i].Name());
        parameters += parameters.empty() ? "?" : ", ?";
    }
    return Statement(connection_->handle(), columns.empty() ? "INSERT INTO " + quotedTable_ + " DEFAULT VALUES"
                                                            : "INSERT INTO " + quotedTable_ + " (" + columns +
                                                                  ") VALUES (" + parameters + ")");
}

void Recordset::updatePending() {
    stopScan();
    std::string assignments;
    for (std::size_t i = 0; i < touched_.size(); ++i)
        if (touched_[i])
            assignments += (assignments.empty() ? "" : ", ") + quoteIdentifier(fields_.fields_[i].Name()) + " = ?";
    Statement update(connection_->handle(), "UPDATE " + quotedTable_ + " SET " + assignments + " WHERE rowid = ?");
    int parameter = 0;
    for (std::size_t i = 0; i < touched_.size(); ++i)
        if (touched_[i])
            BindStored(update.get(), ++parameter, fields_.fields_[i].columnType(), pending_[i]);
    sqlite3_bind_int64(update.get(), ++parameter, rowids_[position_]);
    update.run();
    cacheValid_ = false;
}

void Recordset::clearPending() {
    mode_ = EditMode::None;
    // The buffer is kept for the next row: only the values set are emptied.
    for (std::size_t i = 0; i < touched_.size(); ++i)
        if (touched_[i])
            pending_[i] = Value();
    touched_.clear();
    touchedBits_ = 0;
}

void Recordset::CancelUpdate() {
    requireOpen();
    clearPending();
}

void Recordset::Delete() {
    requireUpdatable();
    clearPending();
    if (!onRow())
        noCurrentRecord();
    stopScan();
    Statement remove(connection_->handle(), "DELETE FROM " + quotedTable_ + " WHERE rowid = ?");
    sqlite3_bind_int64(remove.get(), 1, rowids_[position_]);
    remove.run();
    deleted_[position_] = true;
    ++deletedCount_;
    cacheValid_ = false;
}

} // namespace tarnwick
