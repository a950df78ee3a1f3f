#include "db/Recordset.h"

#include "base/TextUtil.h"
#include "db/ColumnConvert.h"

#include <regex>

namespace tarnwick {
namespace {

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
    std::unique_ptr<EngineTable> table = connection.engine().openTable(parsed.table);
    FieldsCollection fields;
    for (const EngineColumn &column : table->columns())
        fields.fields_.emplace_back(*this, fields.Count(), column.name, column.type);
    for (const Field &field : fields.fields_)
        fields.byLowerName_.emplace(LowerCase(field.Name()), static_cast<int>(fields.byLowerName_.size()));
    std::vector<RowKey> rowids =
        table->keys(parsed.byId ? std::optional<long long>(parsed.id) : std::optional<long long>());

    table_ = std::move(table);
    fields_ = std::move(fields);
    rowids_ = std::move(rowids);
    deleted_.assign(rowids_.size(), false);
    lock_ = lock;
    connection_ = &connection;
    clearPending();
}

void Recordset::Close() noexcept {
    connection_ = nullptr;
    table_.reset();
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
    const RowKey rowid = rowids_[position_];
    if (!cacheValid_ || cachedRowid_ != rowid) {
        if (!table_->read(rowid, cache_))
            noCurrentRecord();
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
    }
    pending_[index] = std::move(converted);
    touched_[index] = true;
}

void Recordset::AddNew() {
    requireUpdatable();
    Update();
    mode_ = EditMode::Add;
    pending_.resize(fields_.fields_.size());
    touched_.assign(fields_.fields_.size(), false);
}

void Recordset::Update() {
    requireOpen();
    if (mode_ == EditMode::Add)
        insertPending();
    else if (mode_ == EditMode::Edit)
        updatePending();
    clearPending();
}

void Recordset::insertPending() {
    rowids_.push_back(table_->insert(touched_, pending_));
    deleted_.push_back(false);
    position_ = static_cast<long>(rowids_.size()) - 1;
}

void Recordset::updatePending() {
    table_->update(rowids_[position_], touched_, pending_);
    cacheValid_ = false;
}

void Recordset::clearPending() {
    mode_ = EditMode::None;
    // The buffer is kept for the next row: only the values set are emptied.
    for (std::size_t i = 0; i < touched_.size(); ++i)
        if (touched_[i])
            pending_[i] = Value();
    touched_.clear();
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
    table_->remove(rowids_[position_]);
    deleted_[position_] = true;
    ++deletedCount_;
    cacheValid_ = false;
}

} // namespace tarnwick
