#pragma once
// A temporary park with rows put straight into its tables, for the editor tests.
#include "db/Recordset.h"
#include "support/ParkFixture.h"

#include <map>

namespace tarnwick {

class EditorFixture : public ParkFixture {
protected:
    using Row = std::map<std::string, Value>;

    void insert(const std::string &table, const std::vector<Row> &rows) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        session.ParkConnection->BeginGroup();
        for (const Row &row : rows) {
            rs.AddNew();
            for (const auto &[field, value] : row)
                rs.Fields(field).SetValue(value);
            rs.Update();
        }
        session.ParkConnection->CommitGroup();
    }

    // One column of every row, as text.
    std::vector<std::string> column(const std::string &table, const std::string &field) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        std::vector<std::string> out;
        for (; !rs.Eof(); rs.MoveNext())
            out.push_back(rs.Fields(field).GetValue().toString());
        return out;
    }

    // The values of `fields` in row `row` (from 0), as text.
    std::vector<std::string> values(const std::string &table, std::size_t row, const std::vector<std::string> &fields) {
        std::vector<std::string> out;
        for (const std::string &field : fields)
            out.push_back(column(table, field).at(row));
        return out;
    }

    static Row site(double number) {
        return {{"Number", Value::number(number)},  {"AliasNumber", Value("A" + std::to_string(int(number)))},
                {"Length", Value::number(40)},      {"Width", Value::number(12)},
                {"ElectricAmp", Value::number(30)}, {"Water", Value::boolean(true)}};
    }
};

} // namespace tarnwick
