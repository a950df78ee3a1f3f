#include "import/ui/ImportPanelTexts.h"

namespace tarnwick {

const std::vector<SlotTips> &SiteSlotTips() {
    static const std::vector<SlotTips> tips = {
        {"SiteNumber MUST be a Number (1 thru 1000)", "Select the Field to use for Site Number"},
        {"SiteAlias is AlphaNumeric, left Blank will automatically get preceding Zeros to provide a 3 character "
         "entry (005)",
         "Select the Field to use for the Site Alias"},
        {"Length MUST be a Number", "Select the Field to use for Site Length"},
        {"Width Must be a Number", "Select the Field to use for Site Width"},
        {"Water is True or False", "Select the Field to use for Water Available"},
        {"Sewer is True or Fakse", "Select the Field to use for Sewer Available"},
        {"ElectricAmps is a Number (0=No Electric; 30=Site has 30 Amps Max; 50=Site has 50 Amps Max)",
         "Select the Field to use for Electric Amps"},
        {"LastMeterReading is the Number for the Previous Electric Meter Reading",
         "Select the Field to use for Previous Meter Reading"},
        {"CurrrentMeterReading is the Number for the Current Electric Meter Reading",
         "Select the Field to use for Current Meter Reading"},
        {"Daily is the Currency for the Summer Daily Rate for this Site",
         "Select the Field to use for Summer Daily Rate"},
        {"Weekly is the Currency for the Summer Weekly Rate for this Site",
         "Select the Field to use for Summer Weekly Rate"},
        {"Monthly is the Currency for the Summer Monthly Rate for this Site", ""},
        {"Daily2 is the Currency for the Winter Daily Rate for this Site", ""},
        {"Weekly2 is the Currency for the Winter Weekly Rate for this Site", ""},
        {"Monthly2 is the Currency for the Winter Monthly Rate for this Site", ""},
        {"3 Month is the Currency for the 3 Month Rate for this Site", ""},
        {"6 Month is the Currency for the 6 Month Rate for this Site", ""},
        {"12 Month is the Currency for the Yearly Rate for this Site", ""},
    };
    return tips;
}

const std::vector<SlotTips> &GuestSlotTips() {
    static const std::vector<SlotTips> tips = {
        {"FirstName is text input, if your previous information had both First and Last Name they will be Imported "
         "in the format Last, First",
         "Select the Field to use for FirstName"},
        {"LastName is text input, if your previous information had both First and Last Name they will be Imported in "
         "the format Last, First  If you only had one field for Name do NOT use Both",
         "Select the Field to use forLastName"},
        {"Text field of the Primary Address of Guest", "Select the Field to use for Address1"},
        {"Text field of a Second Address Line for the Guest", "Select the Field to use for Address2"},
        {"Text field of the Guest's City", "Select the Field to use for City"},
        {"Text field for the 2 Character State or Province", "Select the Field to use for State"},
        {"Text field of the Zip or Postal Code of the Guest", "Select the Field to use for Zip"},
        {"Text field of the Phone Number of the Guest", "Select the Field to use for Phone"},
        {"Text field of the Cell Phone Number of the Guest", "Select the Field to use for CellPhone"},
        {"Text field of the Guest's Email Address", "Select the Field to use for Email"},
        {"", "Select the Field to use for Arrival Date"},
        {"Date/Time field for when the Guest Departed", "Select the Field to use for Departure Date"},
        {"Text field for the Vehicle information", "Select the Field to use for Vehicle Information"},
        {"Text field of the Vehicle License Plate Number", "Select the Field to use for LicensePlate Info"},
        {"Text field for the Guest's Drivers License information",
         "Select the Field to use for Guest Drivers License Info"},
        {"Integer Value of the Number of Guests in the party", "Select the Field to use for Number of People"},
        {"Text field for the Pets (Names)", "Select the Field to use for Pet Information"},
        {"Notes is a text field for any information you want to retain aboout the Guest",
         "Select the Field to use for Notes or Information"},
    };
    return tips;
}

const std::vector<SlotTips> &ChargeSlotTips() {
    static const std::vector<SlotTips> tips = {
        {"Name of the Item (30 Characters)", ""},
        {"What the Item Sells for (Currency)", ""},
        {"Number of Items currently in Inventory", ""},
        {"Number at which you need to ReOrder", ""},
        {"Taxible is True or False (or 1 & 0)", ""},
        {"Type is a Quick Books type Text (Should match in the QBType Table)", ""},
        {"Account is a Quick Books Account (Should match an entry in the QBAccount Table)", ""},
        {"UPC is the code for using a Scanner to Sell Items (There should be a '*' as the first and last character)",
         ""},
        {"Is the Number to order when the Reorder point is reached", ""},
        {"Cost is the dollar amount the Item costs before markup", ""},
    };
    return tips;
}

} // namespace tarnwick
