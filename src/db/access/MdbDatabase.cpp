#include "db/access/MdbDatabase.h"

#include "base/VbNumber.h"
#include "db/DbError.h"
#include "db/Engine.h"

#include <cstring>

namespace tarnwick {
namespace {

// Long enough for a memo of 65,535 characters in UTF-8.
constexpr std::size_t kBindSize = 256 * 1024;

int adoType(int mdbType) {
    switch (mdbType) {
    case MDB_BOOL:
        return 11;
    case MDB_BYTE:
        return 17;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
        return 3;
    case MDB_MONEY:
        return 6;
    case MDB_FLOAT:
        return 4;
    case MDB_DOUBLE:
        return 5;
    case MDB_DATETIME:
        return 7;
    case MDB_BINARY:
        return 128;
    case MDB_TEXT:
        return 202;
    case MDB_OLE:
        return 205;
    case MDB_MEMO:
        return 203;
    case MDB_REPID:
        return 72;
    case MDB_NUMERIC:
        return 131;
    default:
        return 0;
    }
}

template <typename T> T raw(const MdbField &field) {
    T value{};
    if (field.value && field.siz >= static_cast<int>(sizeof(T)))
        std::memcpy(&value, field.value, sizeof(T));
    return value;
}

// A stored value decoded from its bytes where the kind is numeric, else taken from libmdb's text.
Value decode(const MdbColumn &column, const MdbField *field, const std::string &bound) {
    if (column.col_type == MDB_BOOL)
        return Value::boolean(bound == "1");
    if (!field || field->is_null)
        return Value::null();
    switch (column.col_type) {
    case MDB_BYTE:
        return Value::number(raw<std::uint8_t>(*field));
    case MDB_INT:
        return Value::number(raw<std::int16_t>(*field));
    case MDB_LONGINT:
        return Value::number(raw<std::int32_t>(*field));
    case MDB_MONEY:
        return Value::currency(raw<std::int64_t>(*field));
    case MDB_FLOAT:
        return Value::number(raw<float>(*field));
    case MDB_DOUBLE:
        return Value::number(raw<double>(*field));
    case MDB_DATETIME:
        return Value::date(raw<double>(*field));
    case MDB_NUMERIC:
        if (auto n = ParseNumber(bound))
            return Value::number(*n);
        return Value(bound);
    case MDB_OLE:
    case MDB_BINARY:
        return Value(); // pictures and other bytes have no place in a cell
    default:
        return Value(bound);
    }
}

} // namespace

MdbDatabase::MdbDatabase(const std::string &path) : mdb_(mdb_open(path.c_str(), MDB_NOFLAGS)) {
    if (!mdb_ || !mdb_read_catalog(mdb_.get(), MDB_TABLE))
        throw DbError(dberr::FileNotFound, "Unrecognized database format '" + path + "'.");
    // Every sound database lists its catalog table MSysObjects: a catalog without it, and without
    // any table of the user, was not read.
    bool catalogListed = false;
    for (unsigned i = 0; i < mdb_->num_catalog && !catalogListed; ++i) {
        const auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb_->catalog, i));
        catalogListed = entry->object_type == MDB_TABLE && std::string(entry->object_name) == "MSysObjects";
    }
    if (!catalogListed && tableNames().empty())
        throw DbError(dberr::FileNotFound, "No table was found in " + path + ": the file may be damaged.");
    mdb_set_bind_size(mdb_.get(), kBindSize);
    mdb_set_boolean_fmt_numbers(mdb_.get());
}

std::vector<std::string> MdbDatabase::tableNames() {
    std::vector<std::string> names;
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb_->catalog, i));
        // Hidden tables the engine flags as its own (the data of multi-valued fields, say) are
        // left out with the "MSys" ones, as Access leaves them out of its table list.
        if (entry->object_type == MDB_TABLE && !IsSystemTableName(entry->object_name) && !mdb_is_system_table(entry))
            names.push_back(entry->object_name);
    }
    return names;
}

MdbTablePtr MdbDatabase::openTable(const std::string &name) {
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb_->catalog, i));
        if (entry->object_type == MDB_TABLE && name == entry->object_name) {
            MdbTablePtr table(mdb_read_table(entry));
            if (!table || !mdb_read_columns(table.get()))
                throw NoSuchTableError(name);
            return table;
        }
    }
    throw NoSuchTableError(name);
}

std::vector<AccessField> MdbDatabase::fields(const std::string &name) {
    MdbTablePtr table = openTable(name);
    std::vector<AccessField> out;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        out.push_back({column->name, adoType(column->col_type)});
    }
    return out;
}

long MdbDatabase::recordCount(const std::string &name) {
    return static_cast<long>(openTable(name)->num_rows);
}

void MdbDatabase::forEachRecord(const std::string &name, const std::function<void(const std::vector<Value> &)> &row) {
    MdbTablePtr table = openTable(name);
    const unsigned count = table->num_cols;
    std::vector<std::vector<char>> bound(count, std::vector<char>(kBindSize + 1));
    std::vector<int> lengths(count);
    for (unsigned i = 0; i < count; ++i)
        mdb_bind_column(table.get(), static_cast<int>(i + 1), bound[i].data(), &lengths[i]);
    mdb_rewind_table(table.get());

    std::vector<MdbField> cracked(count + 1);
    std::vector<const MdbField *> byColumn(count);
    std::vector<Value> values(count);
    while (mdb_fetch_row(table.get())) {
        // The row just fetched is still on the page in hand: crack it again for its raw bytes.
        int start = 0;
        std::size_t size = 0;
        std::fill(byColumn.begin(), byColumn.end(), nullptr);
        if (mdb_find_row(mdb_.get(), static_cast<int>(table->cur_row) - 1, &start, &size) == 0) {
            int n = mdb_crack_row(table.get(), start, size, cracked.data());
            for (int f = 0; f < n && f <= static_cast<int>(count); ++f)
                if (cracked[f].colnum >= 0 && cracked[f].colnum < static_cast<int>(count))
                    byColumn[cracked[f].colnum] = &cracked[f];
        }
        for (unsigned i = 0; i < count; ++i) {
            auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
            values[i] =
                decode(*column, byColumn[i], std::string(bound[i].data(), static_cast<std::size_t>(lengths[i])));
        }
        row(values);
    }
}

} // namespace tarnwick
