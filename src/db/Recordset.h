#pragma once
// A recordset over one table of a Connection, offering the operations the system uses: open with a
// cursor and lock type, walk with EOF/BOF and Move*, append with AddNew/Update, change the current
// row, Delete, CancelUpdate, and Fields by name or index. A static cursor is a snapshot of the row
// ids taken at open. The only sources accepted are "SELECT * FROM <table> [Where ID = <n>]" and,
// with the table option, a bare or bracketed table name.
#include "base/Value.h"
#include "db/ColumnKind.h"
#include "db/Connection.h"
#include "db/Engine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {

enum CursorTypeEnum { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenStatic = 3 };
enum LockTypeEnum { adLockReadOnly = 1, adLockOptimistic = 3 };
enum CommandTypeEnum { adCmdUnspecified = -1, adCmdTable = 2 };

class Recordset;

class Field {
public:
    Field(Recordset &owner, int index, std::string name, ColumnType type)
        : owner_(&owner), index_(index), name_(std::move(name)), type_(type) {}

    const std::string &Name() const { return name_; }
    int Type() const { return type_.adoType(); }
    long DefinedSize() const { return type_.definedSize(); }
    const ColumnType &columnType() const { return type_; }

    Value GetValue() const;
    // Converts at once as the column would, throwing DbError when it refuses.
    void SetValue(Value value);
    Field &operator=(Value value) {
        SetValue(std::move(value));
        return *this;
    }

private:
    Recordset *owner_;
    int index_;
    std::string name_;
    ColumnType type_;
};

class FieldsCollection {
public:
    int Count() const { return static_cast<int>(fields_.size()); }
    Field &operator[](int index);
    // Names match case-insensitively, as Jet matched them.
    Field &operator[](const std::string &name);
    Field &operator[](const char *name) { return (*this)[std::string(name)]; }

private:
    friend class Recordset;
    std::vector<Field> fields_;
    std::unordered_map<std::string, int> byLowerName_;
};

class Recordset {
public:
    Recordset() = default;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    void Open(const std::string &source, Connection &connection, CursorTypeEnum cursor, LockTypeEnum lock,
              int options = adCmdUnspecified);
    void Close() noexcept;
    bool IsOpen() const { return connection_ != nullptr; }

    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    long RecordCount() const;

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();

    FieldsCollection &Fields();
    Field &Fields(const std::string &name) { return Fields()[name]; }

private:
    friend class Field;
    enum class EditMode { None, Edit, Add };

    void requireOpen() const;
    void requireUpdatable() const;
    bool onRow() const;
    void skipDeletedForward();
    const std::vector<Value> &currentValues();
    Value fieldValue(int index);
    void setFieldValue(int index, Value converted);
    void insertPending();
    void updatePending();
    void clearPending();

    Connection *connection_ = nullptr;
    LockTypeEnum lock_ = adLockReadOnly;
    std::unique_ptr<EngineTable> table_;
    FieldsCollection fields_;
    std::vector<RowKey> rowids_;
    std::vector<bool> deleted_;
    long deletedCount_ = 0;
    long position_ = 0; // -1 before the first row, rowids_.size() after the last

    RowKey cachedRowid_ = 0;
    bool cacheValid_ = false;
    std::vector<Value> cache_;

    EditMode mode_ = EditMode::None;
    std::vector<Value> pending_;
    std::vector<bool> touched_;
};

} // namespace tarnwick
