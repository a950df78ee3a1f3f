#pragma once
// The row-by-row import shared by the six importers: progress, the recordset, one row at a time
// from a RowSource into AddNew/Update, the shortening notice, the row-error prompt and the summary.
#include "app/Session.h"
#include "db/Recordset.h"
#include "import/ImportListener.h"
#include "import/ImportWindowState.h"
#include "import/RowSource.h"

#include <functional>
#include <string>
#include <vector>

namespace tarnwick {

enum class ImportOutcome { Completed, Stopped };

class RowContext;

// What one table's import does with a row.
struct ImportPlan {
    std::string table;  // "Sites", "Guest", "OtherCharges"
    std::string phrase; // " Sites Successfully Imported" ...
    const std::vector<MappingSlot> *slots;
    // Stores the row in the context's buffer into the new record.
    std::function<void(RowContext &)> mapRow;
};

// One slot's target and the header positions whose title equals the slot's chosen title.
struct ResolvedSlot {
    const MappingSlot *slot = nullptr;
    Field *field = nullptr; // null when the table has no column of the slot's caption
    std::vector<int> positions;
    bool mapped() const { return !slot->title.empty(); }
    // The slot's column; a table without it is the database's "item not found" error.
    Field &column() const;
};

class RowContext {
public:
    RowContext(Session &session, const ImportWindowState &window, Recordset &records, const ImportPlan &plan);

    Session &session;
    const ImportWindowState &window;
    std::vector<Value> buffer;
    long stored = 0;

    // Slot k (from 1) with its field and matching positions.
    const ResolvedSlot &slot(int k) const { return slots_[k - 1]; }
    // A slot's column; when the table lacks it, the row's failure names the slot.
    Field &column(const ResolvedSlot &slot) {
        failedCaption_ = &slot.slot->caption;
        failedPosition_ = 0;
        return slot.column();
    }
    // A field of the record being stored, by column name.
    Field &field(const std::string &name) { return records_.Fields(name); }
    // The buffer's value at a header position (Empty past the buffer for position 0).
    const Value &at(int position) const;
    // Sets a value into a field. The slot's caption and the header position whose value is being
    // stored are remembered for the row-error prompt (`caption` must outlive the row).
    void set(Field &field, const std::string &caption, int position, Value value);
    // Stores `value` through the fitting rule: 4- and 8-byte columns take it as it is; others take
    // it trimmed and cut to their size, a shortened value being reported by the shortening notice.
    // A non-zero `hardLimit` then cuts silently to that many characters.
    void fit(Field &field, const std::string &caption, int position, Value value, std::size_t hardLimit = 0);
    // A notice shown during the run; the rows counted so far are committed first.
    void notify(const std::string &text);

    // For the row-error prompt: the caption and the value in hand when a failure struck.
    std::string failedCaption() const;
    std::string failedValue() const;
    // Why the column refused the value in hand: too long for a text column, not a date, not Yes or
    // No, not a number, or a number beyond the column's range.
    std::string whyRefused() const;
    // The column being set when a failure struck ("" when none was).
    std::string failedColumn() const { return failedColumn_ ? *failedColumn_ : std::string(); }
    // Forgets the failure details and values of the previous row.
    void startRow() {
        failedCaption_ = nullptr;
        failedColumn_ = nullptr;
        failedType_ = nullptr;
        failedPosition_ = 0;
        overflowCaption_.clear();
        written_.clear();
    }
    // Keeps the values taken from the source as they are set, for written().
    void keepWritten() { keepWritten_ = true; }
    const std::vector<StoredValue> &written() const { return written_; }
    // A row that did not fit the buffer: the prompt names the first position past it.
    void overflowed(const RowOverflow &overflow);

private:
    Recordset &records_;
    std::vector<ResolvedSlot> slots_;
    const std::string *failedCaption_ = nullptr;
    const std::string *failedColumn_ = nullptr;
    const ColumnType *failedType_ = nullptr;
    int failedPosition_ = 0;
    bool keepWritten_ = false;
    std::vector<StoredValue> written_;
    std::string overflowCaption_;
    Value overflowValue_;
};

// The text-case choice of the window applied to a value: upper case, or lower then title case.
Value CaseConverted(const ImportWindowState &window, Value value);

// Runs an import of `source` into the plan's table. A source that cannot be read is reported by
// its message and stops the run.
ImportOutcome RunImport(Session &session, const ImportWindowState &window, const ImportPlan &plan,
                        const std::function<std::unique_ptr<RowSource>()> &openSource);

} // namespace tarnwick
