#include "import/RowEngine.h"

#include "app/TitleCase.h"
#include "base/TextUtil.h"
#include "base/VbNumber.h"
#include "db/DbError.h"
#include "import/ImportListener.h"

#include <chrono>

namespace tarnwick {
namespace {

// Rows are committed in groups for speed, at the latest after this many rows or this long, and
// always before anything is shown to the operator.
constexpr long kGroupRows = 4000;
constexpr auto kGroupTime = std::chrono::milliseconds(200);

std::vector<ResolvedSlot> resolveSlots(Session &session, Recordset &records, const ImportPlan &plan) {
    std::vector<ResolvedSlot> slots;
    int count = session.FieldNameCount();
    for (const MappingSlot &slot : *plan.slots) {
        ResolvedSlot resolved;
        resolved.slot = &slot;
        try {
            resolved.field = &records.Fields(slot.caption);
        } catch (const DbError &) {
            resolved.field = nullptr; // FirstName and LastName feed Name instead; others fail when used
        }
        if (!slot.title.empty())
            for (int m = 1; m <= count; ++m)
                if (session.FieldNames[m] == slot.title)
                    resolved.positions.push_back(m);
        slots.push_back(resolved);
    }
    return slots;
}

} // namespace

Field &ResolvedSlot::column() const {
    if (!field)
        throw DbError(dberr::ItemNotFound,
                      "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return *field;
}

RowContext::RowContext(Session &session, const ImportWindowState &window, Recordset &records, const ImportPlan &plan)
    : session(session), window(window), records_(records), slots_(resolveSlots(session, records, plan)) {}

const Value &RowContext::at(int position) const {
    static const Value empty;
    if (position >= static_cast<int>(buffer.size()))
        throw DbError(9, "Subscript out of range");
    return position <= 0 ? empty : buffer[position];
}

void RowContext::set(Field &field, const std::string &caption, int position, Value value) {
    failedCaption_ = &caption;
    failedColumn_ = &field.Name();
    failedType_ = &field.columnType();
    failedPosition_ = position;
    field.SetValue(std::move(value));
    if (keepWritten_ && position > 0)
        written_.push_back({field.Name(), field.GetValue()});
}

void RowContext::fit(Field &field, const std::string &caption, int position, Value value, std::size_t hardLimit) {
    const long size = field.DefinedSize();
    if (size == 4 || size == 8) {
        set(field, caption, position, std::move(value));
        return;
    }
    std::string text = value.isText() ? std::move(value).takeText() : value.toString();
    // Lengths count UTF-16 units, as the column's size does.
    const std::size_t before = Utf16Length(text);
    std::size_t after = before;
    const bool blanks = !text.empty() && (text.front() == ' ' || text.back() == ' ');
    if (blanks || before > static_cast<std::size_t>(size)) {
        text = Utf16Left(TrimBlanks(text), static_cast<std::size_t>(size));
        after = Utf16Length(text);
    }
    if (before > after) {
        failedCaption_ = &caption;
        failedPosition_ = position;
        ImportListener *listener = session.importListener;
        if (listener)
            listener->shortened(stored, caption, failedValue(), before - after);
        if (!listener || !listener->checking())
            notify("The " + caption + " of Line " + std::to_string(stored) +
                   " was shortened to fit DB field length by " + std::to_string(before - after));
    }
    if (hardLimit && after > hardLimit)
        text = Utf16Left(text, hardLimit);
    set(field, caption, position, Value(std::move(text)));
}

std::string RowContext::whyRefused() const {
    if (!failedType_)
        return "it is not a value of the column's kind or is too long for it";
    switch (failedType_->kind) {
    case ColumnKind::Text:
        return "it is longer than the column's " + std::to_string(failedType_->textSize) + " characters";
    case ColumnKind::Memo:
        return "it is longer than the column can hold";
    case ColumnKind::Date:
        return "it is not a date";
    case ColumnKind::YesNo:
        return "it is not Yes or No";
    default:
        return ParseNumber(failedValue()) ? "it is a number beyond what the column holds" : "it is not a number";
    }
}

std::string RowContext::failedCaption() const {
    if (!overflowCaption_.empty())
        return overflowCaption_;
    return failedCaption_ ? *failedCaption_ : std::string();
}

std::string RowContext::failedValue() const {
    if (!overflowCaption_.empty())
        return overflowValue_.toString();
    if (failedPosition_ <= 0 || failedPosition_ >= static_cast<int>(buffer.size()))
        return {};
    return buffer[failedPosition_].toString();
}

void RowContext::overflowed(const RowOverflow &overflow) {
    overflowCaption_ = "column " + std::to_string(overflow.position);
    overflowValue_ = overflow.value;
}

void RowContext::notify(const std::string &text) {
    session.ParkConnection->CommitGroup();
    session.prompter.notify(text);
    session.ParkConnection->BeginGroup();
}

Value CaseConverted(const ImportWindowState &window, Value value) {
    std::string text = value.isText() ? std::move(value).takeText() : value.toString();
    if (window.allCaps)
        return Value(UpperCase(std::move(text)));
    return Value(TitleCased(LowerCase(std::move(text))));
}

ImportOutcome RunImport(Session &session, const ImportWindowState &window, const ImportPlan &plan,
                        const std::function<std::unique_ptr<RowSource>()> &openSource) {
    Connection &connection = *session.ParkConnection;
    ImportListener *listener = session.importListener;
    const bool checking = listener && listener->checking();
    std::unique_ptr<RowSource> source;
    Recordset records;
    try {
        source = openSource();
        session.progress.show("Progress");
        session.progress.setRange(0, source->total());
        session.SqlText = "SELECT * FROM " + plan.table + " ";
        records.Open(session.SqlText, connection, adOpenStatic, adLockOptimistic);
        if (checking)
            connection.BeginTrial();
        else
            connection.BeginGroup();
    } catch (const SourceRefused &refused) {
        session.progress.close();
        session.prompter.notify(refused.message, Icon::Exclamation);
        return ImportOutcome::Stopped;
    } catch (const NumberedError &error) {
        session.progress.close();
        records.Close();
        session.prompter.notify("Nothing was imported into " + plan.table + ": " + std::to_string(error.number()) +
                                    ": " + error.description(),
                                Icon::Exclamation);
        return ImportOutcome::Stopped;
    }

    RowContext row(session, window, records, plan);
    if (checking)
        row.keepWritten();
    const long total = source->total();
    // Commits the open group. When the park refuses (a full disk, an I/O error), the engine has taken
    // the group back: its rows are not stored, the count returns to the last commit, and the operator
    // learns why; the import then stops.
    long committed = 0;
    auto commit = [&] {
        try {
            connection.CommitGroup();
            committed = row.stored;
            return true;
        } catch (const NumberedError &error) {
            const long lost = row.stored - committed;
            row.stored = committed;
            session.LastRefusal = error.description();
            session.prompter.notify("The last " + std::to_string(lost) + " rows read could not be saved (" +
                                        error.description() + "), so the import stopped. " +
                                        std::to_string(row.stored) + " of " + std::to_string(total) +
                                        " rows are stored in " + plan.table + ".",
                                    Icon::Exclamation);
            return false;
        }
    };
    // Ends the run; false when its last rows could not be saved.
    auto finish = [&] {
        records.CancelUpdate();
        records.Close();
        source.reset();
        const bool kept = commit();
        connection.EndTrial();
        session.progress.close();
        return kept;
    };
    auto groupStart = std::chrono::steady_clock::now();
    long inGroup = 0;
    for (;;) {
        bool failed = false;
        std::string reason;
        try {
            if (!source->next(row.buffer))
                break;
            session.progress.advance();
            row.startRow();
            if (listener)
                listener->rowStarting(source->line());
            records.AddNew();
            plan.mapRow(row);
            records.Update();
            ++row.stored;
            if (checking)
                listener->rowWritten(row.written(), "");
        } catch (const RowOverflow &overflow) {
            // The line holds more values than the row buffer: most likely extra delimiters.
            session.progress.advance();
            row.startRow();
            if (listener)
                listener->rowStarting(source->line());
            row.overflowed(overflow);
            failed = true;
            reason = "the line holds more values than a row can (most likely a ',' or ';' inside a value)";
        } catch (const NumberedError &error) {
            failed = true;
            reason = error.number() == dberr::ConversionRefused
                         ? row.failedCaption() + " cannot take '" + row.failedValue() + "': " + row.whyRefused()
                         : row.failedCaption() + " could not be stored: " + error.description();
        } catch (const SourceRefused &refused) {
            finish();
            session.prompter.notify(refused.message, Icon::Exclamation);
            return ImportOutcome::Stopped;
        }
        if (failed) {
            records.CancelUpdate();
            if (!commit()) {
                finish();
                return ImportOutcome::Stopped;
            }
            if (checking) {
                listener->rowWritten(row.written(), row.failedColumn());
                listener->refused(row.stored, row.failedCaption(), row.failedValue(), reason, row.buffer, *source);
                continue;
            }
            Answer answer = session.prompter.ask(
                "Error on Line " + std::to_string(row.stored) + ".  Failure on Field: " + row.failedCaption() +
                    " Data is: " + row.failedValue() + session.LineBreak +
                    "This is most likely due to a ',' or ';' in a field confusing the Field Capture routine" +
                    session.LineBreak + "Continuing will NOT Save this line. Do you want to try to continue?",
                Buttons::YesNo);
            if (answer == Answer::No) {
                if (finish())
                    session.ImportStopNote = "The import stopped at a row it could not store, with " +
                                             std::to_string(row.stored) + " of " + std::to_string(total) +
                                             " rows stored in " + plan.table + ".";
                return ImportOutcome::Stopped;
            }
            if (listener)
                listener->refused(row.stored, row.failedCaption(), row.failedValue(), reason, row.buffer, *source);
            connection.BeginGroup();
            inGroup = 0;
            groupStart = std::chrono::steady_clock::now();
            continue;
        }
        if (++inGroup >= kGroupRows ||
            (inGroup % 256 == 0 && std::chrono::steady_clock::now() - groupStart > kGroupTime)) {
            if (!commit()) {
                finish();
                return ImportOutcome::Stopped;
            }
            connection.BeginGroup();
            inGroup = 0;
            groupStart = std::chrono::steady_clock::now();
        }
    }
    if (!finish())
        return ImportOutcome::Stopped;
    if (listener)
        listener->finished(row.stored, total);
    if (!checking)
        session.prompter.notify(std::to_string(row.stored) + " of " + std::to_string(total) + plan.phrase);
    return ImportOutcome::Completed;
}

} // namespace tarnwick
