#pragma once
// A recordset over one table of a Connection, offering the operations the system uses: open with a
// cursor and lock type, walk with EOF/BOF and Move*, append with AddNew/Update, change the current
// row, Delete, CancelUpdate, and Fields by name or index. A static cursor is a snapshot of the row
// ids taken at open. The only sources accepted are "SELECT * FROM <table> [Where ID = <n>]" and,
// with the table option, a bare or bracketed table name.
#include "base/Value.h"
#include "db/ColumnKind.h"
#include "db/Connection.h"

#include <cstdint>
#include <map>
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
    // Writes end a running scan, whose view of the table they would change.
    void stopScan();
    void insertPending();
    Statement prepareInsert();
    void updatePending();
    void clearPending();

    Connection *connection_ = nullptr;
    LockTypeEnum lock_ = adLockReadOnly;
    std::string quotedTable_;
    FieldsCollection fields_;
    std::vector<std::int64_t> rowids_;
    std::vector<bool> deleted_;
    long deletedCount_ = 0;
    long position_ = 0; // -1 before the first row, rowids_.size() after the last

    std::int64_t cachedRowid_ = 0;
    bool cacheValid_ = false;
    std::vector<Value> cache_;

    EditMode mode_ = EditMode::None;
    std::vector<Value> pending_;
    std::vector<bool> touched_;
    // The same set as bits, for tables of up to 64 columns: finds the insert of the last row fast.
    std::uint64_t touchedBits_ = 0;

    // Reads rows in rowid order from a given row on; scanRowid_ is the row it stands on.
    Statement scan_;
    bool scanning_ = false;
    std::int64_t scanRowid_ = 0;
    std::map<std::vector<bool>, Statement> inserts_;
    // The insert used last, found again without a map search when the same columns are set.
    std::uint64_t lastInsertBits_ = 0;
    Statement *lastInsert_ = nullptr;
};

} // namespace tarnwick
