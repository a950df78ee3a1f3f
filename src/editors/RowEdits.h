#pragma once
// Saving an editor's boxes into one row of a park table and deleting a row, as the editors do:
// every step that fails is passed over and the next one runs; nothing is reported.
#include "app/Session.h"
#include "db/Recordset.h"

#include <functional>
#include <string>

namespace tarnwick {

// When a box's text is written: always, only when it reads as a number, only when it reads as a
// date. The text itself is written and the database converts it.
enum class SaveRule { Always, Numeric, Date };

bool IsNumeric(const std::string &text);

// Sets a box's text into a field under its rule; a value the column refuses is passed over.
void AssignText(Recordset &rs, const std::string &field, const std::string &text, SaveRule rule);
// Sets a check box into a Yes/No field: 1 ticked, 0 clear.
void AssignFlag(Recordset &rs, const std::string &field, bool ticked);

// Keeps the park's sentence for a refused row change as the session's LastRefusal, unless an
// earlier refusal of the same change is kept already.
void NoteRefusal(Session &session, const NumberedError &error);

// Opens the row `id` of `table` on the park connection, lets `assign` set its fields, updates it.
void EditRow(Session &session, const std::string &table, long id, const std::function<void(Recordset &)> &assign);
// Deletes the row `id` of `table`.
void DeleteRow(Session &session, const std::string &table, long id);

// A check box as a value typed for it: True, Yes, On or 1 (any case) tick it.
bool TicksBox(const std::string &value);

// A grid cell's text as a row ID (the ID column), or 0 when it holds none.
long RowId(const std::string &text);

} // namespace tarnwick
