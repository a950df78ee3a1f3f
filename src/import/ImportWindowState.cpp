#include "import/ImportWindowState.h"

namespace tarnwick {
namespace {

std::vector<MappingSlot> slotsFor(const std::vector<std::string> &captions) {
    std::vector<MappingSlot> slots;
    for (const std::string &caption : captions)
        slots.push_back({caption, {}});
    return slots;
}

} // namespace

const std::vector<std::string> &SiteCaptions() {
    static const std::vector<std::string> captions = {"Number",
                                                      "AliasNumber",
                                                      "Length",
                                                      "Width",
                                                      "Water",
                                                      "Sewer",
                                                      "ElectricAmp",
                                                      "LastMeterReading",
                                                      "CurrentMeterReading",
                                                      "Daily",
                                                      "Weekly",
                                                      "Monthly",
                                                      "Daily2",
                                                      "Weekly2",
                                                      "Monthly2",
                                                      "Mo3",
                                                      "Mo6",
                                                      "Mo12"};
    return captions;
}

const std::vector<std::string> &GuestCaptions() {
    static const std::vector<std::string> captions = {
        "FirstName", "LastName", "Address1",  "Address2", "City",         "State",    "Zip",      "Phone", "Cell",
        "Email",     "Arrival",  "Departure", "Vehicle",  "LicensePlate", "DLNumber", "NoPeople", "Pets",  "Notes"};
    return captions;
}

const std::vector<std::string> &ChargeCaptions() {
    static const std::vector<std::string> captions = {"Name", "Amount",  "QuaOnHand", "ReorderPoint", "Taxable",
                                                      "Type", "Account", "UPC",       "OrdQua",       "Cost"};
    return captions;
}

std::vector<MappingSlot> &ImportWindowState::slots(ImportTable table) {
    return table == ImportTable::Sites ? siteSlots : table == ImportTable::Guests ? guestSlots : chargeSlots;
}

const std::vector<MappingSlot> &ImportWindowState::slots(ImportTable table) const {
    return table == ImportTable::Sites ? siteSlots : table == ImportTable::Guests ? guestSlots : chargeSlots;
}

const std::vector<YesNoBox> &YesNoBoxes(ImportTable table) {
    static const std::vector<YesNoBox> sites = {{"Water", &ImportWindowState::waterYesNo},
                                                {"Sewer", &ImportWindowState::sewerYesNo},
                                                {"ElectricAmp", &ImportWindowState::ampYesNo}};
    static const std::vector<YesNoBox> charges = {{"Taxable", &ImportWindowState::taxableYesNo}};
    static const std::vector<YesNoBox> none;
    return table == ImportTable::Sites ? sites : table == ImportTable::Charges ? charges : none;
}

ImportWindowState::ImportWindowState()
    : siteSlots(slotsFor(SiteCaptions())), guestSlots(slotsFor(GuestCaptions())),
      chargeSlots(slotsFor(ChargeCaptions())) {}

} // namespace tarnwick
