#include "db/jet/JetEngineTable.h"

#include "base/TextUtil.h"
#include "base/VbDate.h"
#include "db/ColumnConvert.h"
#include "db/jet/ColumnProperties.h"
#include "db/jet/JetEngine.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {
namespace {

using jet::JetValue;

ColumnType typeOf(const jet::ColumnDef &column) {
    switch (column.kind) {
    case jet::ColumnKind::YesNo:
        return {ColumnKind::YesNo};
    case jet::ColumnKind::Byte:
        return {ColumnKind::Byte};
    case jet::ColumnKind::Integer:
        return {ColumnKind::Integer};
    case jet::ColumnKind::Long:
        return {column.autoNumber() ? ColumnKind::AutoNumber : ColumnKind::Long};
    case jet::ColumnKind::Currency:
        return {ColumnKind::Currency};
    case jet::ColumnKind::Single:
        return {ColumnKind::Single};
    case jet::ColumnKind::Double:
    case jet::ColumnKind::Decimal:
        return {ColumnKind::Double};
    case jet::ColumnKind::DateTime:
        return {ColumnKind::Date};
    case jet::ColumnKind::Text:
        // Jet 4 gives a text column's size in bytes of UTF-16.
        return {ColumnKind::Text, column.length / 2};
    default:
        // Memo, and the kinds the park never writes (OLE, binary, GUID), which read as Null.
        return {ColumnKind::Memo};
    }
}

JetValue toJet(const ColumnType &type, const Value &value) {
    if (value.isEmpty() || value.isNull())
        return JetValue::null();
    switch (type.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return JetValue::utf8(value.text());
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
    case ColumnKind::Integer:
    case ColumnKind::Byte:
        return JetValue::whole(static_cast<std::int64_t>(value.number()));
    case ColumnKind::YesNo:
        return JetValue::yesNo(value.boolean());
    case ColumnKind::Single:
    case ColumnKind::Double:
        return JetValue::number(value.asDouble());
    case ColumnKind::Currency:
        return JetValue::currency(value.currencyScaled());
    case ColumnKind::Date:
        return JetValue::date(value.dateSerial());
    }
    return JetValue::null();
}

Value fromJet(const ColumnType &type, const JetValue &value) {
    switch (value.kind) {
    case JetValue::Kind::Null:
        // A Yes/No field is never Null.
        return type.kind == ColumnKind::YesNo ? Value::boolean(false) : Value::null();
    case JetValue::Kind::YesNo:
        return Value::boolean(value.integer != 0);
    case JetValue::Kind::Integer:
        return Value::number(static_cast<double>(value.integer));
    case JetValue::Kind::Currency:
        return Value::currency(value.integer);
    case JetValue::Kind::Real:
        return Value::number(value.real);
    case JetValue::Kind::Date:
        return Value::date(value.real);
    case JetValue::Kind::Text:
        return Value(value.text);
    case JetValue::Kind::Bytes:
        break;
    }
    return Value::null();
}

// A default value expression as Access writes the simple ones: a number, Yes/No/True/False, a
// quoted text, Date() or Now(), with or without a leading "=". Anything else gives Null.
Value literalDefault(const std::string &expression) {
    std::string text = TrimBlanks(expression);
    if (!text.empty() && text.front() == '=')
        text = TrimBlanks(text.substr(1));
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        std::string inner;
        for (std::size_t i = 1; i + 1 < text.size(); ++i) {
            inner += text[i];
            if (text[i] == '"' && text[i + 1] == '"')
                ++i;
        }
        return Value(inner);
    }
    return Value(text);
}

} // namespace

JetEngineTable::JetEngineTable(JetEngine &engine, const std::string &name)
    : engine_(engine), name_(name),
      table_(engine.reading([&](const jet::JetDatabase &db) { return db.table(name); })),
      idColumn_(table_.columns.size()) {
    std::map<std::string, std::string> expressions;
    for (const jet::CatalogEntry &entry : engine.database().catalog())
        if (entry.isLocalTable() && UpperCase(entry.name) == UpperCase(name))
            expressions = jet::DecodeDefaultValues(entry.properties);
    for (const jet::ColumnDef &column : table_.columns) {
        if (UpperCase(column.name) == "ID")
            idColumn_ = columns_.size();
        columns_.push_back({column.name, typeOf(column)});
        const auto found = expressions.find(UpperCase(column.name));
        const std::string expression = found == expressions.end() ? "" : UpperCase(TrimBlanks(found->second));
        Default kind = Default::Constant;
        JetValue value;
        if (expression == "DATE()" || expression == "=DATE()")
            kind = Default::Today;
        else if (expression == "NOW()" || expression == "=NOW()")
            kind = Default::Now;
        else if (!expression.empty()) {
            try {
                value =
                    toJet(columns_.back().type, ConvertForColumn(columns_.back().type, literalDefault(found->second)));
            } catch (const DbError &) {
                // An expression beyond the simple ones is left to Access; the column stays Null.
            }
        }
        defaultKinds_.push_back(kind);
        defaults_.push_back(value);
    }
}

JetValue JetEngineTable::defaultFor(std::size_t i) const {
    switch (defaultKinds_[i]) {
    case Default::Today:
        return JetValue::date(std::floor(SerialNow()));
    case Default::Now:
        return JetValue::date(SerialNow());
    case Default::Constant:
        break;
    }
    return defaults_[i];
}

std::vector<RowKey> JetEngineTable::keys(std::optional<long long> id) {
    // Rows in the order of their ID, as they were added, wherever a change moved them in the file.
    std::vector<std::pair<std::int64_t, RowKey>> found;
    auto take = [&](jet::RowId at, const JetValue *number) {
        const bool numbered = number && number->kind == JetValue::Kind::Integer;
        if (!id || (numbered && number->integer == *id))
            found.emplace_back(numbered ? number->integer : 0, at.stored());
        return true;
    };
    engine_.reading([&](const jet::JetDatabase &db) {
        if (idColumn_ < columns_.size())
            db.scanColumn(table_, idColumn_, [&](jet::RowId at, const JetValue &number) { return take(at, &number); });
        else
            db.scan(table_, [&](jet::RowId at, const jet::Row &) { return take(at, nullptr); });
    });
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<RowKey> keys;
    keys.reserve(found.size());
    for (const auto &each : found)
        keys.push_back(each.second);
    return keys;
}

bool JetEngineTable::read(RowKey key, std::vector<Value> &values) {
    jet::Row row;
    try {
        row = engine_.database().row(table_, jet::RowId::fromStored(static_cast<std::uint32_t>(key)));
    } catch (const DbError &) {
        return false; // deleted meanwhile
    }
    values.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        values.push_back(fromJet(columns_[i].type, row[i]));
    return true;
}

RowKey JetEngineTable::insert(const std::vector<bool> &set, const std::vector<Value> &values) {
    jet::Row row(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i)
        row[i] = set[i] ? toJet(columns_[i].type, values[i]) : defaultFor(i);
    return engine_.change([&](jet::JetDatabase &db) { return RowKey(db.appendRow(name_, row).stored()); });
}

void JetEngineTable::update(RowKey key, const std::vector<bool> &set, const std::vector<Value> &values) {
    const jet::RowId at = jet::RowId::fromStored(static_cast<std::uint32_t>(key));
    engine_.change([&](jet::JetDatabase &db) {
        // Columns not set keep their stored values exactly, whatever their kind.
        jet::Row row = db.row(table_, at);
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (set[i])
                row[i] = toJet(columns_[i].type, values[i]);
        db.updateRow(name_, at, row);
        return true;
    });
}

void JetEngineTable::remove(RowKey key) {
    engine_.change([&](jet::JetDatabase &db) {
        db.removeRow(name_, jet::RowId::fromStored(static_cast<std::uint32_t>(key)));
        return true;
    });
}

} // namespace tarnwick
