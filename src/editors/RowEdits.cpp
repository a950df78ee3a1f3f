#include "editors/RowEdits.h"

#include "base/VbDate.h"
#include "base/VbNumber.h"

#include <cmath>

namespace tarnwick {

bool IsNumeric(const std::string &text) {
    return ParseNumber(text).has_value();
}

void AssignText(Recordset &rs, const std::string &field, const std::string &text, SaveRule rule) {
    if ((rule == SaveRule::Numeric && !IsNumeric(text)) || (rule == SaveRule::Date && !ParseDate(text)))
        return;
    try {
        rs.Fields(field).SetValue(Value(text));
    } catch (const NumberedError &) {
    }
}

void AssignFlag(Recordset &rs, const std::string &field, bool ticked) {
    try {
        rs.Fields(field).SetValue(Value::number(ticked ? 1 : 0));
    } catch (const NumberedError &) {
    }
}

void NoteRefusal(Session &session, const NumberedError &error) {
    if (session.LastRefusal.empty())
        session.LastRefusal = error.description();
}

namespace {

// Opens the row `id` of `table` as the editors do; false when even that fails.
bool openRow(Session &session, const std::string &table, long id, Recordset &rs) {
    session.SqlText = "SELECT * FROM " + table + " Where ID = " + std::to_string(id);
    session.LastRefusal.clear();
    try {
        rs.Open(session.SqlText, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        return true;
    } catch (const NumberedError &error) {
        NoteRefusal(session, error);
        return false;
    }
}

} // namespace

void EditRow(Session &session, const std::string &table, long id, const std::function<void(Recordset &)> &assign) {
    Recordset rs;
    if (!openRow(session, table, id, rs))
        return;
    assign(rs);
    try {
        rs.Update();
    } catch (const NumberedError &error) {
        NoteRefusal(session, error);
        rs.CancelUpdate();
    }
    rs.Close();
}

void DeleteRow(Session &session, const std::string &table, long id) {
    Recordset rs;
    if (!openRow(session, table, id, rs))
        return;
    for (auto step : {&Recordset::Delete, &Recordset::Update}) {
        try {
            (rs.*step)();
        } catch (const NumberedError &error) {
            NoteRefusal(session, error);
        }
    }
    rs.Close();
}

bool TicksBox(const std::string &value) {
    std::string lower;
    for (char c : value)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "true" || lower == "yes" || lower == "on" || lower == "1";
}

long RowId(const std::string &text) {
    std::optional<double> n = ParseNumber(text);
    if (!n || *n < 1 || *n > 2147483647.0)
        return 0;
    return static_cast<long>(RoundHalfEven(*n));
}

} // namespace tarnwick
