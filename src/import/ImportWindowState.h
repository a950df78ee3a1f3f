#pragma once
// What the importers read from the import window while they run, as one snapshot: per mapping slot
// the label's caption and the chosen title, and the window's options. The window and the terminal
// program fill it; the importers never change it.
#include <string>
#include <vector>

namespace tarnwick {

struct MappingSlot {
    std::string caption; // the target column (or FirstName/LastName for guests)
    std::string title;   // the source title chosen in the drop-down; empty when none
};

// The table an import fills, as the window's panels and the importers name it.
enum class ImportTable { Sites, Guests, Charges };

struct ImportWindowState {
    ImportWindowState();

    // The slots of one table's panel.
    std::vector<MappingSlot> &slots(ImportTable table);
    const std::vector<MappingSlot> &slots(ImportTable table) const;

    std::vector<MappingSlot> siteSlots;   // ParkField / FileField, 18 slots
    std::vector<MappingSlot> guestSlots;  // GuestField / FileField2, 18 slots
    std::vector<MappingSlot> chargeSlots; // ChgField / FileField3, 10 slots
    bool comma = true;                    // Option2: "Comma", else "Semicolon"
    bool allCaps = false;                 // Option3: "All Caps", else "Title Case"
    bool waterYesNo = false;              // Check1
    bool sewerYesNo = false;              // Check2
    bool ampYesNo = false;                // Check3
    bool taxableYesNo = false;            // Check6
    std::string ShtName;                  // the worksheet in use

    char delimiter() const { return comma ? ',' : ';'; }
};

// A YES/NO box of a panel: the caption of its slot and the option it sets.
struct YesNoBox {
    const char *caption;
    bool ImportWindowState::*ticked;
};
// The YES/NO boxes of a table's panel (Water, Sewer, ElectricAmp; Taxable).
const std::vector<YesNoBox> &YesNoBoxes(ImportTable table);

// The captions of the three panels' labels, slot 1 first.
const std::vector<std::string> &SiteCaptions();
const std::vector<std::string> &GuestCaptions();
const std::vector<std::string> &ChargeCaptions();

} // namespace tarnwick
