#include "support/JetReaders.h"

#include "base/VbDate.h"
#include "db/DbError.h"
#include "db/jet/DataPage.h"
#include "db/jet/IndexWalker.h"
#include "db/jet/JetText.h"
#include "db/jet/UsageMap.h"
#include "support/RunCli.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace tarnwick {
namespace {

using jet::ColumnKind;
using jet::JetValue;
using Json = nlohmann::json;

ObservedRun run(const std::string &program, const std::vector<std::string> &arguments) {
    ObservedRun result = RunObserved(program, arguments, 120);
    if (result.status != 0)
        throw std::runtime_error(program + " failed (" + std::to_string(result.status) + "): " + result.err);
    return result;
}

// `table` of `file` as mdb_reader_dump.js prints it: {"columns": [...], "rows": [[...]]}.
Json mdbReader(const std::string &file, const std::string &table) {
    return Json::parse(
        run("/usr/bin/node", {std::string(SUPPORT_DIR) + "/mdb_reader_dump.js", MDB_READER_MODULES, file, table}).out);
}

std::string hex(const std::string &bytes) {
    std::string out;
    for (unsigned char b : bytes)
        out += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    return out;
}

// A GUID's 32 hex digits in upper case, whatever braces, dashes and case a reader writes it with.
std::string guidDigits(const std::string &text) {
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digits;
}

// Currency text ("-12.3456", "7") as ten-thousandths, read exactly to the largest Currency value.
std::optional<std::int64_t> scaledCurrency(const std::string &text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t point = text.find('.');
    std::string digits =
        text.substr(negative ? 1 : 0, point == std::string::npos ? std::string::npos : point - negative);
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if (digits.empty() || fraction.size() > 4 ||
        (digits + fraction).find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    fraction.resize(4, '0');
    const unsigned long long magnitude = std::stoull(digits) * 10000 + std::stoull(fraction);
    return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

// Text quoted for a message, long text cut short with its length.
std::string shortened(const std::string &text) {
    if (text.size() <= 60)
        return "\"" + text + "\"";
    return "\"" + text.substr(0, 60) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

// mdbtools 1.0 writes a date it cannot convert (before 1900, or past serial 1,000,000, late in the
// year 4637) as this; mdb-reader checks those dates instead.
constexpr const char *kUnconvertedDate = "1900-01-00 00:00:00";

// mdb-export writes at most this many bytes of a text or memo value; mdb-reader checks the rest.
constexpr std::size_t kExportedTextLimit = 199999;

bool sameAsExport(const jet::ColumnDef &column, const JetValue &value, const std::optional<std::string> &cell) {
    if (value.kind == JetValue::Kind::Text && value.text.empty()) // mdb-export writes "" as it writes NULL;
        return !cell || cell->empty();                            // mdb-reader tells them apart
    if (column.kind == ColumnKind::Binary && !value.isNull()) {   // mdb-export ends a binary value at a zero byte
        const std::string shown = hex(value.text.substr(0, value.text.find('\0')));
        return shown.empty() ? !cell || cell->empty() : cell == shown;
    }
    if (value.isNull() || !cell)
        return value.isNull() && !cell;
    if (column.kind == ColumnKind::Guid) // mdb-export writes a GUID's text in hex, one dash short
        return guidDigits(HexDecoded(*cell)) == guidDigits(value.text);
    switch (value.kind) {
    case JetValue::Kind::YesNo:
    case JetValue::Kind::Integer:
        return *cell == std::to_string(value.integer);
    case JetValue::Kind::Currency:
        return scaledCurrency(*cell) == value.integer;
    case JetValue::Kind::Real: // mdb-export rounds to fewer digits than a double holds, past its largest
        return std::fabs(std::strtold(cell->c_str(), nullptr) - value.real) <=
               1e-6L * std::max(1.0L, std::fabs(static_cast<long double>(value.real)));
    case JetValue::Kind::Date:
        if (*cell == kUnconvertedDate)
            return value.real < SerialFromParts({1900, 1, 1}) || value.real > 1000000;
        return *cell == FormatIsoDate(value.real);
    case JetValue::Kind::Text: // mdb-export ends text at a NUL character, and cuts long text short
        return *cell == value.text.substr(0, std::min(value.text.find('\0'), kExportedTextLimit));
    case JetValue::Kind::Bytes:
        return *cell == hex(value.text);
    default:
        return false;
    }
}

// A value in the form the mdb_reader_dump.js script gives it, with currency as ten-thousandths and
// a GUID as its digits. A date is in milliseconds since 1970, the serial's days and fraction counted
// straight on, also before 1899-12-30 (where Jet reads the fraction as the time of day forward), so
// that the stored number itself is compared.
Json mdbReaderForm(const jet::ColumnDef &column, const JetValue &value) {
    if (column.kind == ColumnKind::Guid && !value.isNull())
        return guidDigits(value.text);
    switch (value.kind) {
    case JetValue::Kind::Null:
        return nullptr;
    case JetValue::Kind::YesNo:
        return value.integer != 0;
    case JetValue::Kind::Integer:
    case JetValue::Kind::Currency:
        return value.integer;
    case JetValue::Kind::Real: // mdb-reader writes -0 as 0
        return value.real == 0 ? 0.0 : value.real;
    case JetValue::Kind::Date:
        return Json{{"ms", std::round((value.real - 25569) * 86400000.0)}};
    case JetValue::Kind::Bytes:
        return Json{{"hex", hex(value.text)}};
    default:
        return value.text;
    }
}

// mdb-reader's cell brought to the same form.
Json normalizedReaderCell(const jet::ColumnDef &column, const Json &cell) {
    if (cell.is_string() && column.kind == ColumnKind::Guid)
        return guidDigits(cell.get<std::string>());
    if (cell.is_string() && column.kind == ColumnKind::Currency)
        return scaledCurrency(cell.get<std::string>()).value_or(INT64_MIN);
    if (cell.is_object() && cell.contains("ms"))
        return Json{{"ms", cell["ms"].get<double>()}};
    if (cell.is_number() && (column.kind == ColumnKind::Single || column.kind == ColumnKind::Double))
        return cell.get<double>(); // JSON writes a whole number without its ".0"
    return cell;
}

// Where the column `name` is among `columns`.
std::size_t position(const std::vector<std::string> &columns, const std::string &name, const std::string &reader) {
    const auto found = std::find(columns.begin(), columns.end(), name);
    if (found == columns.end())
        throw std::runtime_error(reader + " has no column " + name);
    return static_cast<std::size_t>(found - columns.begin());
}

} // namespace

std::string CopyOfAccessFile(const std::string &name, const std::string &path) {
    std::filesystem::copy_file(kAccessFolder / name, path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return path;
}

std::string RefusalOf(const std::function<void()> &change) {
    try {
        change();
    } catch (const DbError &error) {
        return error.description();
    }
    return "";
}

std::string HexDecoded(const std::string &digits) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::string> MdbTables(const std::string &file) {
    std::vector<std::string> names;
    std::istringstream lines(run("/usr/bin/mdb-tables", {"-S", "-1", file}).out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

std::string MdbProp(const std::string &file, const std::string &table) {
    return run("/usr/bin/mdb-prop", {file, table}).out;
}

namespace {

// A table as mdb-export prints it: column names, then each row's cells (NULL as nothing), then what
// it warned about; dates as "YYYY-MM-DD HH:MM:SS", bytes in upper-case hex.
struct ExportedTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
    std::string warnings;
};

ExportedTable MdbExport(const std::string &file, const std::string &table) {
    // Unquoted cells, each ended by a mark no text holds (a control character and three more), the
    // last of a row by another; NULL is a third.
    const std::string format = "%Y-%m-%d %H:%M:%S";
    const ObservedRun printed = run("/usr/bin/mdb-export", {"-Q", "-0", "\x1d|n|", "-d", "\x1f|c|", "-R", "\x1e|r|",
                                                            "-b", "hex", "-D", format, "-T", format, file, table});
    const std::string &out = printed.out;
    ExportedTable exported{{}, {}, printed.err};
    std::vector<std::optional<std::string>> row;
    for (std::size_t start = 0, at = 0; (at = out.find_first_of("\x1e\x1f", at)) != std::string::npos;) {
        const bool endsRow = out.compare(at, 4, "\x1e|r|") == 0;
        if (!endsRow && out.compare(at, 4, "\x1f|c|") != 0) {
            ++at;
            continue;
        }
        const std::string cell = out.substr(start, at - start);
        row.push_back(cell == "\x1d|n|" ? std::nullopt : std::optional<std::string>(cell));
        if (endsRow)
            exported.rows.push_back(std::exchange(row, {}));
        start = at += 4;
    }
    if (exported.rows.empty())
        throw std::runtime_error("mdb-export printed no header for " + table);
    for (const auto &name : exported.rows.front())
        exported.columns.push_back(name.value_or(""));
    exported.rows.erase(exported.rows.begin());
    return exported;
}

} // namespace

std::string CompareWithOutsideReaders(const std::string &file, const std::string &table) {
    const jet::JetDatabase database(file);
    const std::vector<jet::ColumnDef> &columns = database.table(table).columns;
    const auto rows = JetRows(database, table);
    const ExportedTable exported = MdbExport(file, table);
    const Json read = mdbReader(file, table);
    std::vector<std::size_t> exportAt, readerAt;
    for (const jet::ColumnDef &column : columns) {
        exportAt.push_back(position(exported.columns, column.name, "mdb-export"));
        readerAt.push_back(position(read["columns"].get<std::vector<std::string>>(), column.name, "mdb-reader"));
    }
    if (exported.rows.size() != rows.size() || read["rows"].size() != rows.size())
        return table + ": the engine reads " + std::to_string(rows.size()) + " rows, mdb-export " +
               std::to_string(exported.rows.size()) + ", mdb-reader " + std::to_string(read["rows"].size());
    // mdbtools visits rows in the engine's order; mdb-reader meets moved rows in another order, so
    // its rows are compared as a sorted list.
    std::vector<std::string> ourForms, readerForms;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        Json ourForm = Json::array(), readerForm = Json::array();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const JetValue &value = rows[r].second[c];
            const std::optional<std::string> cell =
                exportAt[c] < exported.rows[r].size() ? exported.rows[r][exportAt[c]] : std::nullopt;
            ourForm.push_back(mdbReaderForm(columns[c], value));
            if (!sameAsExport(columns[c], value, cell))
                return table + " row " + std::to_string(r) + " column " + columns[c].name + ": engine " +
                       shortened(ourForm.back().dump()) + ", mdb-export " + (cell ? shortened(*cell) : "NULL");
            readerForm.push_back(normalizedReaderCell(columns[c], read["rows"][r][readerAt[c]]));
        }
        ourForms.push_back(ourForm.dump());
        readerForms.push_back(readerForm.dump());
    }
    std::sort(ourForms.begin(), ourForms.end());
    std::sort(readerForms.begin(), readerForms.end());
    const auto differs = std::mismatch(ourForms.begin(), ourForms.end(), readerForms.begin());
    if (differs.first != ourForms.end())
        return table + ": the engine has the row " + *differs.first + " where mdb-reader has " + *differs.second;
    return "";
}

std::string IndexProblems(const std::string &path, const std::vector<std::string> &tables) {
    const jet::JetDatabase database(path);
    std::string problems;
    for (const std::string &table : tables)
        for (const jet::IndexReport &report : jet::WalkIndexes(database, database.table(table))) {
            for (const std::string &problem : report.problems)
                problems += table + " " + report.index + ": " + problem + "\n";
            if (report.keysCompared != report.entries)
                problems += table + " " + report.index + ": keys left uncompared\n";
        }
    return problems;
}

std::string TableProblems(const std::string &file, const std::string &table) {
    const jet::JetDatabase database(file);
    const std::size_t kept = database.table(table).rowCount, found = JetRows(database, table).size();
    return IndexProblems(file, {table}) +
           (kept == found ? ""
                          : table + ": the definition counts " + std::to_string(kept) + " rows, " +
                                std::to_string(found) + " are found\n") +
           CompareWithOutsideReaders(file, table);
}

std::map<std::string, std::string> CatalogRow(const std::string &file, const std::string &name) {
    const Json read = mdbReader(file, "MSysObjects");
    const auto at = position(read["columns"].get<std::vector<std::string>>(), "Name", "mdb-reader");
    std::map<std::string, std::string> cells;
    for (const Json &row : read["rows"])
        if (row[at] == name)
            for (std::size_t c = 0; c < read["columns"].size(); ++c)
                cells[read["columns"][c].get<std::string>()] = row[c].dump();
    return cells;
}

std::map<std::string, std::map<std::string, std::string>> StoredProperties(const std::string &file,
                                                                           const std::string &table) {
    const Json lvProp = Json::parse(CatalogRow(file, table).at("LvProp"));
    const std::string blob = HexDecoded(lvProp.at("hex").get<std::string>());
    const jet::ByteView view(reinterpret_cast<const std::uint8_t *>(blob.data()), blob.size(), "properties");
    const auto text = [&](std::size_t at, std::size_t length) { return jet::DecodeUtf16(view.slice(at, length)); };
    if (blob.compare(0, 4, std::string("MR2\0", 4)) != 0)
        throw std::runtime_error("no MR2 signature");
    // A block of names, then a block per object: its entries each name one of those names.
    std::map<std::string, std::map<std::string, std::string>> found;
    std::vector<std::string> names;
    for (std::size_t block = 4, end; block < blob.size(); block = end) {
        end = block + view.u32(block);
        if (end > blob.size() || end <= block + 6)
            throw std::runtime_error("a block runs past the blob");
        if (view.u16(block + 4) == 0x80) {
            for (std::size_t at = block + 6; at < end; at += 2 + view.u16(at))
                names.push_back(text(at + 2, view.u16(at)));
            continue;
        }
        const std::string object = text(block + 12, view.u16(block + 10));
        std::size_t at = block + 6 + view.u32(block + 6);
        for (; at < end; at += view.u16(at)) {
            if (view.u16(at) != 8 + view.u16(at + 6) || view.u16(at + 4) >= names.size())
                throw std::runtime_error("an entry's lengths do not add up");
            found[object][names[view.u16(at + 4)]] = view.slice(at + 8, view.u16(at + 6)).bytes();
        }
        if (at != end)
            throw std::runtime_error("the entries run past their block");
    }
    return found;
}

std::set<std::uint32_t> PagesHeldBy(const jet::JetDatabase &database, const std::string &name) {
    const jet::TableDef table = database.table(name);
    std::vector<jet::RowId> maps{table.ownedPages, table.freeSpacePages};
    for (const jet::LongValueMaps &longValues : table.longValues)
        maps.insert(maps.end(), {longValues.owned, longValues.freeSpace});
    std::set<std::uint32_t> pages;
    for (std::uint32_t page = table.page; page != 0 && pages.insert(page).second;)
        page = database.file().read(page, "table definition").view("table definition").u32(jet::kTableDefNextPageAt);
    for (const jet::IndexTree &tree : table.trees) {
        maps.push_back(tree.usageMap);
        pages.insert(tree.rootPage);
    }
    for (jet::RowId map : maps) {
        if (map.page == 0) // no map of that kind
            continue;
        pages.insert(map.page);
        // A map kept in map pages names them in its row.
        const jet::DataPage holder(database.file().read(map.page, "usage map"), map.page);
        const jet::ByteView row = holder.row(map.row);
        if (row.u8(0) == jet::kReferencedMap)
            for (std::size_t slot = 1; slot + 4 <= row.size(); slot += 4)
                if (row.u32(slot) != 0)
                    pages.insert(row.u32(slot));
        for (std::uint32_t page : jet::UsageMapPages(database.file(), map))
            pages.insert(page);
    }
    return pages;
}

std::vector<std::pair<jet::RowId, jet::Row>> JetRows(const jet::JetDatabase &database, const std::string &table) {
    std::vector<std::pair<jet::RowId, jet::Row>> rows;
    database.scan(database.table(table),
                  [&](jet::RowId at, const jet::Row &row) { return rows.emplace_back(at, row), true; });
    return rows;
}

bool SameRow(const jet::Row &a, const jet::Row &b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const JetValue &x, const JetValue &y) {
        return x.kind == y.kind && x.integer == y.integer && x.real == y.real && x.text == y.text;
    });
}

} // namespace tarnwick
