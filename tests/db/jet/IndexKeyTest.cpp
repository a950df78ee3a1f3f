// The index keys the engine builds, against keys Access wrote, read off the index pages of Access 97
// and 2007 files (which the engine does not open). (Tables keyed on each kind, filled and walked, are
// in JetWriteTest.)
#include "db/jet/IndexKey.h"
#include "support/JetReaders.h"

#include <gtest/gtest.h>

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

// An index that ignores nulls leaves out a row only where every key column is null; one that keeps
// nulls leaves out none.
TEST(IndexKey, AnIndexIgnoringNullsLeavesOutOnlyAKeyWhollyNull) {
    jet::TableDef table;
    table.columns = {{"A", ColumnKind::Long, 0}, {"B", ColumnKind::Long, 1}};
    jet::IndexTree tree;
    tree.columns = {{0, true}, {1, false}};
    const JetValue null = JetValue::null(), one = JetValue::whole(1);
    for (const std::uint8_t flags : {jet::IndexTree::kIgnoreNulls, std::uint8_t{0}}) {
        tree.flags = flags;
        EXPECT_EQ(jet::LeftOutOf(table, tree, {null, null}), flags != 0);
        EXPECT_FALSE(jet::LeftOutOf(table, tree, {null, one}));
        EXPECT_FALSE(jet::LeftOutOf(table, tree, {one, null}));
    }
}

} // namespace
} // namespace tarnwick
