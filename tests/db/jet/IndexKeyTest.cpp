// The index keys the engine builds: against keys Access wrote, read off the index pages of Access 97
// and 2007 files (which the engine does not open), and in tables keyed on each kind, filled by the
// engine in random order, walked and read by the outside readers.
#include "db/jet/IndexKey.h"
#include "db/jet/EmptyDatabase.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace tarnwick {
namespace {

using jet::ColumnKind;
using jet::JetValue;

std::optional<std::string> keyOf(ColumnKind kind, const JetValue &value, bool ascending = true) {
    jet::TableDef table;
    table.columns.push_back({"Key", kind});
    jet::IndexTree tree;
    tree.columns.push_back({0, ascending});
    return jet::IndexKey(table, tree, {value});
}

struct AccessKey {
    const char *where;
    ColumnKind kind;
    JetValue value;
    const char *hexKey;
};

// Keys of nwind.mdb (Access 97) and ASampleDatabase.accdb (Access 2007), each beside the value of the
// row it points to; a descending index holds each key's bytes inverted.
TEST(IndexKey, EqualsTheKeysAccessWrote) {
    const std::vector<AccessKey> keys = {
        {"MSysQueries, ObjectIdAttribute, page 20 row 0", ColumnKind::Byte, JetValue::whole(0), "7F00"},
        {"MSysQueries, ObjectIdAttribute, page 20 row 2", ColumnKind::Byte, JetValue::whole(1), "7F01"},
        {"MSysQueries, ObjectIdAttribute, page 20 row 1", ColumnKind::Byte, JetValue::whole(255), "7FFF"},
        {"Orders, OrderDate, page 451 row 0 (1994-08-04)", ColumnKind::DateTime, JetValue::date(34550),
         "7FC0E0DEC000000000"},
        {"Orders, ShippedDate, page 504 row 2 (1995-01-16)", ColumnKind::DateTime, JetValue::date(34715),
         "7FC0E0F36000000000"},
        {"Orders, ShippedDate, page 542 row 2 (null)", ColumnKind::DateTime, JetValue::null(), "00"},
        {"MSysQueries, Order, page 41 row 11", ColumnKind::Binary, JetValue::bytes(HexDecoded("00000001")),
         "7F000000010000000004"},
        {"MSysQueries, Order, page 41 row 26", ColumnKind::Binary, JetValue::bytes(HexDecoded("00000002")),
         "7F000000020000000004"},
    };
    for (const AccessKey &access : keys) {
        SCOPED_TRACE(access.where);
        std::string key = HexDecoded(access.hexKey);
        EXPECT_EQ(keyOf(access.kind, access.value), key);
        for (char &c : key)
            c = static_cast<char>(~c);
        EXPECT_EQ(keyOf(access.kind, access.value, false), key);
    }
}

// Text keys beyond what the files' single values show: trailing spaces are not part of a key, a
// combining accent adds to the accent of its letter, and a descending key keeps one more 0x00.
TEST(IndexKey, TextKeysFollowTheirCharacters) {
    const auto text = [](const char *utf8) { return keyOf(ColumnKind::Text, JetValue::utf8(utf8)); };
    const std::vector<std::pair<const char *, const char *>> same = {
        {"Smith, ", "Smith,"},     {" ", ""},          {"a  ", "a"},
        {"e\xCC\x81", "\xC3\xA9"}, {"SMITH", "smith"}, {"\xE3\x81\xA8\xE3\x82\x99", "\xE3\x81\xA9"}};
    for (const auto &[a, b] : same)
        EXPECT_EQ(text(a), text(b)) << a << " / " << b;
    EXPECT_NE(text(" a"), text("a"));
    EXPECT_EQ(text(""), std::string("\x7F\x01\x00", 3));
    const std::optional<std::string> ascending = text("Ab"),
                                     descending = keyOf(ColumnKind::Text, JetValue::utf8("Ab"), false);
    ASSERT_TRUE(ascending && descending);
    ASSERT_EQ(descending->size(), ascending->size() + 1);
    EXPECT_EQ(descending->back(), '\0');
    for (std::size_t i = 0; i < ascending->size(); ++i)
        EXPECT_EQ(static_cast<char>(~(*ascending)[i]), (*descending)[i]) << i;
    const std::vector<std::string> unsortable = {"smile \xF0\x9F\x98\x80", "\xEF\xBB\xBF", {"a\0b", 3}};
    for (const std::string &value : unsortable)
        EXPECT_EQ(keyOf(ColumnKind::Text, JetValue::utf8(value)), std::nullopt) << value;
}

// Values for a key column of each kind: extremes, zero, negatives, and many between, every one distinct.
std::vector<JetValue> keyValues(ColumnKind kind, std::mt19937 &random) {
    std::vector<JetValue> values;
    std::uniform_int_distribution<int> byte(0, 255);
    if (kind == ColumnKind::Byte) {
        for (int n = 0; n < 256; ++n)
            values.push_back(JetValue::whole(n));
    } else if (kind == ColumnKind::Integer || kind == ColumnKind::Currency) {
        const std::int64_t most = kind == ColumnKind::Integer ? 32767 : INT64_MAX;
        std::set<std::int64_t> distinct = {-most - 1, most, 0, -1, 1, 255, 256, -256};
        const std::int64_t near = std::min<std::int64_t>(most, 70000);
        std::uniform_int_distribution<std::int64_t> any(-most - 1, most), small(-near, near);
        while (distinct.size() < 2000)
            distinct.insert(distinct.size() % 2 ? any(random) : small(random));
        for (std::int64_t n : distinct)
            values.push_back(kind == ColumnKind::Currency ? JetValue::currency(n) : JetValue::whole(n));
    } else if (kind == ColumnKind::Single || kind == ColumnKind::Double) {
        std::set<double> distinct = {0.0, 1e-300, -1e-300, 0.1, -0.1, 3.4e38, -3.4e38, 1.4e-45, -1.4e-45};
        std::uniform_real_distribution<double> any(-1e6, 1e6);
        while (distinct.size() < 2000)
            distinct.insert(kind == ColumnKind::Single ? static_cast<float>(any(random)) : any(random));
        for (double d : distinct)
            if (kind == ColumnKind::Double || static_cast<float>(d) == d)
                values.push_back(JetValue::number(d));
    } else if (kind == ColumnKind::DateTime) { // 0100-01-01 to 9999-12-31, with times of day
        values = {JetValue::date(-657434), JetValue::date(0), JetValue::date(2958465 + 86399 / 86400.0),
                  JetValue::date(-1.5), JetValue::date(1e-9)};
        for (int n = 1; n < 3000; ++n)
            values.push_back(JetValue::date((n - 1500) * 977.0 + (n % 96) / 96.0));
    } else if (kind == ColumnKind::Binary) { // 0 to 40 bytes, zeros and 0xFF included
        std::set<std::string> distinct = {"", std::string(8, '\0'), std::string(9, '\xFF'), std::string(16, '\0')};
        while (distinct.size() < 2000) {
            std::string bytes(static_cast<std::size_t>(byte(random) % 41), '\0');
            for (char &c : bytes)
                c = static_cast<char>(byte(random) < 64 ? 0 : byte(random));
            distinct.insert(bytes);
        }
        for (const std::string &bytes : distinct)
            values.push_back(JetValue::bytes(bytes));
    } else {
        static const std::vector<std::string> pieces = {
            "a", "Z",  "7", " ", "é",        "Ø", "-", "'", "¿",  "_",  "ñ",  "~", "Å",
            "ÿ", "\t", "½", "µ", "\xC2\xAD", "Æ", "ß", "€", "Œ",  "Ł",  "ř",  "ễ", "Ş",
            "Ż", "Č",  "ø", "’", "–",        "Ω", "Ж", "ש", "中", "カ", "ゃ", "ﬁ", "e\xCC\x81"};
        std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1), length(0, 24);
        for (int n = 0; n < 1200; ++n) {
            std::string text = std::to_string(n % 10);
            for (std::size_t i = length(random); i > 0; --i)
                text += pieces[piece(random)];
            values.push_back(JetValue::utf8(text + "#" + std::to_string(n)));
        }
        values.push_back(JetValue::utf8(std::string(255, 'y')));
    }
    std::shuffle(values.begin(), values.end(), random);
    return values;
}

// A table keyed on a column of each kind, filled by the engine in random order. The engine makes no
// Binary column: Binary keys are those of saved queries' rows (object, attribute and a four-byte
// order), appended to the query table of a database Access made.
struct KeyKind {
    const char *name;
    ColumnKind kind;
};
void PrintTo(const KeyKind &k, std::ostream *os) {
    *os << k.name;
}

class KeyedOn : public testing::TestWithParam<KeyKind> {};

TEST_P(KeyedOn, ATableFilledInRandomOrderStaysInStepForAllReaders) {
    const ColumnKind kind = GetParam().kind;
    TempDir dir;
    const std::string path = dir.file("Keys.mdb"), table = kind == ColumnKind::Binary ? "MSysQueries" : "Keyed";
    std::mt19937 random(26);
    std::vector<jet::Row> rows;
    if (kind == ColumnKind::Binary) {
        SKIP_WITHOUT_ACCESS_FILES();
        CopyOfAccessFile("emptyJet4.mdb", path);
        for (const JetValue &order : keyValues(kind, random)) {
            const auto n = static_cast<std::int64_t>(rows.size());
            rows.push_back({JetValue::whole(n % 9 - 4), JetValue::whole(n % 256), order, JetValue::utf8("Sites"),
                            JetValue::null(), JetValue::null(), JetValue::whole(0), JetValue::null()});
        }
    } else {
        jet::CreateEmptyDatabase(path);
        const std::uint16_t textLength = kind == ColumnKind::Text ? 255 : 0;
        jet::JetDatabase(path, true)
            .createTable(
                {table, {{"Key", kind, textLength, false, ""}, {"Other", ColumnKind::Long, 0, false, ""}}, "Key"});
        for (const JetValue &value : keyValues(kind, random))
            rows.push_back({value, JetValue::whole(static_cast<std::int64_t>(rows.size()))});
    }
    jet::JetDatabase(path, true).append(table, rows);
    EXPECT_EQ(TableProblems(path, table), "");
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyedOn,
                         testing::Values(KeyKind{"Byte", ColumnKind::Byte}, KeyKind{"Integer", ColumnKind::Integer},
                                         KeyKind{"Currency", ColumnKind::Currency},
                                         KeyKind{"Single", ColumnKind::Single}, KeyKind{"Double", ColumnKind::Double},
                                         KeyKind{"DateTime", ColumnKind::DateTime}, KeyKind{"Text", ColumnKind::Text},
                                         KeyKind{"Binary", ColumnKind::Binary}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tarnwick
