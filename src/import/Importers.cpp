#include "import/Importers.h"

#include "app/TitleCase.h"
#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "base/VbNumber.h"
#include "import/DelimitedText.h"

#include <memory>

namespace tarnwick {
namespace {

constexpr int kTextBuffer = 80;
constexpr int kSheetBuffer = 80;
constexpr int kGuestSheetBuffer = 150;
// Longest value the guest workbook import stores in slots 6 to 18, as the old system did.
constexpr std::size_t kGuestSheetLimit = 255;

Value yesText(const Value &v, const char *yes, const char *no) {
    return Value(UpperCase(v.toString()) == "YES" ? yes : no);
}

void mapSite(RowContext &row) {
    const ImportWindowState &w = row.window;
    for (int k = 1; k <= 18; ++k) {
        const ResolvedSlot &s = row.slot(k);
        const std::string &caption = s.slot->caption;
        if (!s.mapped()) {
            std::string automatic = std::to_string(row.stored + 1);
            if (k == 1)
                row.set(row.column(s), caption, 0, Value::number(row.stored + 1));
            else if (k == 2)
                // Mapped numbers take their alias from the row's first field, not from the Number column.
                row.set(row.column(s), caption, 0,
                        Value(FormatMinDigits(row.slot(1).mapped() ? row.at(1).toString() : automatic, 3)));
            continue;
        }
        Field &field = row.column(s);
        for (int m : s.positions) {
            const Value &v = row.at(m);
            switch (k) {
            case 2:
                if (ParseNumber(v.toString()))
                    row.set(field, caption, m, Value(FormatMinDigits(v.toString(), 3)));
                else if (!v.toString().empty())
                    row.set(field, caption, m, Value(UpperCase(v.toString())));
                break;
            case 5:
                row.set(field, caption, m, w.waterYesNo ? yesText(v, "True", "False") : v);
                break;
            case 6:
                row.set(field, caption, m, w.sewerYesNo ? yesText(v, "True", "False") : v);
                break;
            case 7:
                row.set(field, caption, m, w.ampYesNo ? yesText(v, "50", "30") : v);
                break;
            default:
                row.set(field, caption, m, v);
            }
        }
    }
}

// The guest name columns, found once per run: the last title equal to the slot's title, both
// trimmed; 0 when none.
struct NamePositions {
    bool found = false;
    int first = 0, last = 0;
    Field *name = nullptr, *type = nullptr, *typeOfStay = nullptr;

    void find(RowContext &row) {
        if (found)
            return;
        found = true;
        name = &row.field("Name");
        type = &row.field("Type");
        typeOfStay = &row.field("TypeOfStay");
        auto position = [&](int slot) {
            const std::string wanted = TrimBlanks(row.slot(slot).slot->title);
            int at = 0;
            if (!wanted.empty())
                for (int m = 1; m <= row.session.FieldNameCount(); ++m)
                    if (TrimBlanks(row.session.FieldNames[m]) == wanted)
                        at = m;
            return at;
        };
        first = position(1);
        last = position(2);
    }
};

void mapGuest(RowContext &row, NamePositions &names, std::size_t limit) {
    names.find(row);
    const ImportWindowState &w = row.window;
    const bool firstMapped = row.slot(1).mapped(), lastMapped = row.slot(2).mapped();
    if (firstMapped || lastMapped) {
        const int slot = firstMapped ? 1 : 2;
        Value first = CaseConverted(w, row.at(names.first));
        Value last = CaseConverted(w, row.at(names.last));
        std::string name =
            firstMapped && lastMapped ? last.text() + ", " + first.text() : (firstMapped ? first.text() : last.text());
        // The name goes in as it is: not cut to the column, so a long one is refused.
        row.set(*names.name, row.slot(slot).slot->caption, slot == 1 ? names.first : names.last,
                Value(std::move(name)));
    }
    for (int k = 3; k <= 18; ++k) {
        const ResolvedSlot &s = row.slot(k);
        for (int m : s.positions) {
            const Value &v = row.at(m);
            if (w.allCaps || k <= 5)
                row.fit(row.column(s), s.slot->caption, m, CaseConverted(w, v));
            else
                row.fit(row.column(s), s.slot->caption, m, v, limit);
        }
    }
    static const std::string type = "Type", typeOfStay = "TypeOfStay";
    row.set(*names.type, type, 0, Value::number(1));
    row.set(*names.typeOfStay, typeOfStay, 0, Value::number(1));
}

void mapCharge(RowContext &row) {
    const ImportWindowState &w = row.window;
    for (int k = 1; k <= 10; ++k) {
        const ResolvedSlot &s = row.slot(k);
        for (int m : s.positions) {
            const Value &v = row.at(m);
            if (k == 5)
                row.set(row.column(s), s.slot->caption, m, w.taxableYesNo ? yesText(v, "True", "False") : v);
            else
                row.fit(row.column(s), s.slot->caption, m, CaseConverted(w, v));
        }
    }
}

ImportPlan sitePlan(const ImportWindowState &w) {
    return {"Sites", " Sites Successfully Imported", &w.siteSlots, mapSite};
}

ImportPlan guestPlan(const ImportWindowState &w, std::size_t limit) {
    auto names = std::make_shared<NamePositions>();
    return {"Guest", " Guests Successfully Imported", &w.guestSlots,
            [names, limit](RowContext &row) { mapGuest(row, *names, limit); }};
}

ImportPlan chargePlan(const ImportWindowState &w) {
    return {"OtherCharges", " Other Charges Successfully Imported", &w.chargeSlots, mapCharge};
}

ImportOutcome fromText(Session &session, const ImportWindowState &w, const ImportPlan &plan,
                       const std::string &fileName) {
    return RunImport(session, w, plan, [&] {
        return std::make_unique<TextRowSource>(session, SourcePath(session, fileName), w.delimiter(), kTextBuffer);
    });
}

ImportOutcome fromSheet(Session &session, const ImportWindowState &w, const ImportPlan &plan,
                        const std::string &fileName, int capacity) {
    return RunImport(session, w, plan, [&] {
        return std::make_unique<SheetRowSource>(SourcePath(session, fileName), w.ShtName, capacity);
    });
}

} // namespace

ImportOutcome ImportSitesText(Session &session, const ImportWindowState &window, const std::string &fileName) {
    return fromText(session, window, sitePlan(window), fileName);
}

ImportOutcome ImportSitesExcel(Session &session, const ImportWindowState &window, const std::string &fileName) {
    return fromSheet(session, window, sitePlan(window), fileName, kSheetBuffer);
}

ImportOutcome ImportGuestsText(Session &session, const ImportWindowState &window, const std::string &fileName) {
    return fromText(session, window, guestPlan(window, 0), fileName);
}

ImportOutcome ImportGuestsExcel(Session &session, const ImportWindowState &window, const std::string &fileName) {
    return fromSheet(session, window, guestPlan(window, kGuestSheetLimit), fileName, kGuestSheetBuffer);
}

ImportOutcome ImportChargesText(Session &session, const ImportWindowState &window, const std::string &fileName) {
    return fromText(session, window, chargePlan(window), fileName);
}

ImportOutcome ImportChargesExcel(Session &session, const ImportWindowState &window, const std::string &fileName) {
    return fromSheet(session, window, chargePlan(window), fileName, kSheetBuffer);
}

std::string ImportTableName(ImportTable table) {
    switch (table) {
    case ImportTable::Sites:
        return "Sites";
    case ImportTable::Guests:
        return "Guest";
    case ImportTable::Charges:
        break;
    }
    return "OtherCharges";
}

std::optional<ImportOutcome> ImportFile(Session &session, const ImportWindowState &window, ImportTable table,
                                        const std::string &fileName) {
    const std::string extension = UpperExtension(fileName);
    const bool text = extension == "CSV" || extension == "TXT";
    if (!text && extension != "XLS")
        return std::nullopt;
    switch (table) {
    case ImportTable::Sites:
        return text ? ImportSitesText(session, window, fileName) : ImportSitesExcel(session, window, fileName);
    case ImportTable::Guests:
        return text ? ImportGuestsText(session, window, fileName) : ImportGuestsExcel(session, window, fileName);
    case ImportTable::Charges:
        return text ? ImportChargesText(session, window, fileName) : ImportChargesExcel(session, window, fileName);
    }
    return std::nullopt;
}

} // namespace tarnwick
