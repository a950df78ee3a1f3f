#include "import/Mapping.h"

#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "import/DelimitedText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tarnwick {
namespace {

// Mapping files are small: a larger file, or anything but a regular file (a FIFO would never end),
// is refused before it is read.
constexpr std::uintmax_t kMaxMappingBytes = 1 << 20;

std::string readMappingText(const std::string &path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        throw std::runtime_error("it could not be read");
    if (!std::filesystem::is_regular_file(status))
        throw std::runtime_error("it is not a regular file");
    if (std::filesystem::file_size(path, error) > kMaxMappingBytes || error)
        throw std::runtime_error("it is larger than 1 MB");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!(text << in.rdbuf()))
        throw std::runtime_error("it could not be read");
    return text.str();
}

std::string normalized(const std::string &text) {
    std::string out;
    for (unsigned char c : text)
        if (c != ' ' && c != '_' && c != '-' && c != '.' && c != '#' && c != '\t')
            out += static_cast<char>(std::tolower(c));
    return out;
}

// The usual names of a slot besides its caption, already normalized.
const std::map<std::string, std::vector<std::string>> &synonyms() {
    static const std::map<std::string, std::vector<std::string>> table = {
        {"Number", {"site", "siteno", "sitenumber", "sitenum", "siteid"}},
        {"AliasNumber", {"alias", "sitealias", "sitename"}},
        {"Length", {"len", "sitelength", "maxlength"}},
        {"Width", {"sitewidth", "maxwidth"}},
        {"ElectricAmp", {"amps", "amp", "electricamps", "elecamps", "electric", "power"}},
        {"LastMeterReading", {"lastmeter", "pastmeter", "previousmeter", "pastelecmeter", "lastreading"}},
        {"CurrentMeterReading", {"currentmeter", "currelecmeter", "currentreading"}},
        {"Daily", {"dailyrate", "sumdaily", "summerdaily"}},
        {"Weekly", {"weeklyrate", "sumweekly", "summerweekly"}},
        {"Monthly", {"monthlyrate", "summonthly", "summermonthly"}},
        {"Daily2", {"windaily", "winterdaily"}},
        {"Weekly2", {"winweekly", "winterweekly"}},
        {"Monthly2", {"winmonthly", "wintermonthly"}},
        {"Mo3", {"3month", "3monrate", "threemonth"}},
        {"Mo6", {"6month", "6monrate", "sixmonth"}},
        {"Mo12", {"12month", "12monrate", "yearly", "annual"}},
        {"FirstName", {"first", "fname", "givenname"}},
        {"LastName", {"last", "lname", "surname", "familyname"}},
        {"Address1", {"address", "street", "addr1", "streetaddress"}},
        {"Address2", {"unit", "addr2", "apt", "suite"}},
        {"City", {"town"}},
        {"State", {"province", "st"}},
        {"Zip", {"zipcode", "postalcode", "postcode", "postal"}},
        {"Phone", {"telephone", "tel", "homephone", "phonenumber"}},
        {"Cell", {"mobile", "cellphone", "mobilephone"}},
        {"Email", {"emailaddress", "mail"}},
        {"Arrival", {"arrive", "arrived", "checkin", "arrivaldate"}},
        {"Departure", {"depart", "departed", "checkout", "departuredate"}},
        {"Vehicle", {"car", "rv", "unittype"}},
        {"LicensePlate", {"plate", "license", "tag"}},
        {"DLNumber", {"dl", "driverslicense", "dlno"}},
        {"NoPeople", {"people", "partysize", "guests", "persons"}},
        {"Pets", {"pet"}},
        {"Notes", {"note", "comments", "remarks"}},
        {"Name", {"item", "itemname", "description", "product"}},
        {"Amount", {"price", "sellprice", "retail"}},
        {"QuaOnHand", {"onhand", "quantity", "qty", "stock", "instock"}},
        {"ReorderPoint", {"reorder", "reorderat", "minimum"}},
        {"Taxable", {"tax", "taxed"}},
        {"Type", {"qbtype", "category"}},
        {"Account", {"qbaccount"}},
        {"UPC", {"barcode", "sku"}},
        {"OrdQua", {"orderquantity", "orderqty", "reorderquantity"}},
        {"Cost", {"unitcost", "ourcost"}},
    };
    return table;
}

bool fits(const std::string &caption, const std::string &title) {
    const std::string t = normalized(title);
    if (t.empty())
        return false;
    if (t == normalized(caption))
        return true;
    auto it = synonyms().find(caption);
    return it != synonyms().end() && std::find(it->second.begin(), it->second.end(), t) != it->second.end();
}

const char *tableName(ImportTable table) {
    switch (table) {
    case ImportTable::Sites:
        return "sites";
    case ImportTable::Guests:
        return "guests";
    case ImportTable::Charges:
        break;
    }
    return "charges";
}

const std::string kSuffix = ".mapping.json";

bool endsWithJson(const std::string &name) {
    return name.size() > 5 && UpperExtension(name) == "JSON";
}

} // namespace

std::string MatchSummary(const MatchResult &match) {
    const std::size_t n = match.matched.size();
    std::string text = n == 0   ? std::string("Match Titles matched no column")
                       : n == 1 ? std::string("Match Titles matched 1 column")
                                : "Match Titles matched " + std::to_string(n) + " columns";
    if (match.leftover.empty())
        return text + ".";
    text += "; the titles left for you to choose are:";
    for (std::size_t i = 0; i < match.leftover.size(); ++i)
        text += (i ? ", " : " ") + match.leftover[i];
    return text + ".";
}

MatchResult AutoMatch(std::vector<MappingSlot> &slots, ImportTable, const std::vector<std::string> &titles) {
    std::vector<bool> used(titles.size(), false);
    for (const MappingSlot &slot : slots)
        for (std::size_t t = 0; t < titles.size(); ++t)
            if (!slot.title.empty() && titles[t] == slot.title)
                used[t] = true;
    // For every open slot, the titles that fit it; for every title, the open slots it fits.
    std::vector<std::vector<std::size_t>> forSlot(slots.size());
    std::vector<int> slotsFitted(titles.size(), 0);
    for (std::size_t s = 0; s < slots.size(); ++s) {
        if (!slots[s].title.empty())
            continue;
        for (std::size_t t = 0; t < titles.size(); ++t)
            if (!used[t] && fits(slots[s].caption, titles[t])) {
                forSlot[s].push_back(t);
                ++slotsFitted[t];
            }
    }
    MatchResult result;
    for (std::size_t s = 0; s < slots.size(); ++s)
        if (forSlot[s].size() == 1 && slotsFitted[forSlot[s][0]] == 1) {
            slots[s].title = titles[forSlot[s][0]];
            used[forSlot[s][0]] = true;
            result.matched.push_back(slots[s].caption);
        }
    for (std::size_t t = 0; t < titles.size(); ++t)
        if (!used[t])
            result.leftover.push_back(titles[t]);
    return result;
}

SavedMapping CaptureMapping(const ImportWindowState &window, ImportTable table,
                            const std::vector<std::string> &titles) {
    SavedMapping mapping;
    mapping.table = table;
    mapping.comma = window.comma;
    mapping.allCaps = window.allCaps;
    mapping.titles = titles;
    for (const MappingSlot &slot : window.slots(table))
        if (!slot.title.empty())
            mapping.slots.emplace_back(slot.caption, slot.title);
    for (const YesNoBox &box : YesNoBoxes(table))
        if (window.*box.ticked)
            mapping.yesNo.push_back(box.caption);
    return mapping;
}

std::vector<std::string> ApplyMapping(const SavedMapping &mapping, ImportWindowState &window,
                                      const std::vector<std::string> &titles) {
    std::vector<std::string> missing;
    std::vector<MappingSlot> &slots = window.slots(mapping.table);
    for (const auto &[caption, title] : mapping.slots) {
        const bool present = std::find(titles.begin(), titles.end(), title) != titles.end();
        if (!present) {
            missing.push_back(title);
            continue;
        }
        for (MappingSlot &slot : slots)
            if (slot.caption == caption && slot.title.empty())
                slot.title = title;
    }
    window.comma = mapping.comma;
    window.allCaps = mapping.allCaps;
    for (const YesNoBox &box : YesNoBoxes(mapping.table))
        window.*box.ticked = std::find(mapping.yesNo.begin(), mapping.yesNo.end(), box.caption) != mapping.yesNo.end();
    return missing;
}

void UseMapping(Session &session, const SavedMapping &mapping, ImportWindowState &window,
                const std::vector<std::string> &titles, const std::string &source) {
    const std::vector<std::string> missing = ApplyMapping(mapping, window, titles);
    if (missing.empty())
        return;
    std::string list;
    for (const std::string &title : missing)
        list += (list.empty() ? "" : ", ") + title;
    session.prompter.notify("The mapping names titles that " + source + " does not have: " + list +
                                ". Their columns are left empty; the rest of the mapping is used.",
                            Icon::Exclamation);
}

std::string MappingToJson(const SavedMapping &mapping) {
    nlohmann::ordered_json json;
    json["table"] = tableName(mapping.table);
    json["delimiter"] = mapping.comma ? "comma" : "semicolon";
    json["case"] = mapping.allCaps ? "caps" : "title";
    json["yesNo"] = mapping.yesNo;
    nlohmann::ordered_json slots = nlohmann::ordered_json::object();
    for (const auto &[caption, title] : mapping.slots)
        slots[caption] = title;
    json["slots"] = slots;
    json["titles"] = mapping.titles;
    return json.dump(2) + "\n";
}

SavedMapping MappingFromJson(const std::string &text) {
    nlohmann::ordered_json json;
    try {
        json = nlohmann::ordered_json::parse(text);
    } catch (const nlohmann::json::parse_error &error) {
        throw std::runtime_error("it is not valid JSON (" + std::string(error.what()) + ")");
    }
    try {
        SavedMapping mapping;
        const std::string table = json.at("table").get<std::string>();
        if (table == "sites")
            mapping.table = ImportTable::Sites;
        else if (table == "guests")
            mapping.table = ImportTable::Guests;
        else if (table == "charges")
            mapping.table = ImportTable::Charges;
        else
            throw std::runtime_error("its table '" + table + "' is none of sites, guests and charges");
        const std::string delimiter = json.value("delimiter", "comma"), textCase = json.value("case", "title");
        if (delimiter != "comma" && delimiter != "semicolon")
            throw std::runtime_error("its delimiter '" + delimiter + "' is neither comma nor semicolon");
        if (textCase != "caps" && textCase != "title")
            throw std::runtime_error("its case '" + textCase + "' is neither caps nor title");
        mapping.comma = delimiter == "comma";
        mapping.allCaps = textCase == "caps";
        const ImportWindowState fresh;
        const std::vector<MappingSlot> &slots = fresh.slots(mapping.table);
        for (const auto &entry : json.at("slots").items()) {
            const std::string &caption = entry.key();
            if (std::none_of(slots.begin(), slots.end(), [&](const MappingSlot &s) { return s.caption == caption; }))
                throw std::runtime_error("'" + caption + "' is not a column of the " + table + " import");
            mapping.slots.emplace_back(caption, ComposedText(entry.value().get<std::string>()));
        }
        for (const std::string &caption : json.value("yesNo", std::vector<std::string>{})) {
            const std::vector<YesNoBox> &boxes = YesNoBoxes(mapping.table);
            if (std::none_of(boxes.begin(), boxes.end(), [&](const YesNoBox &box) { return box.caption == caption; }))
                throw std::runtime_error("'" + caption + "' has no YES/NO box in the " + table + " import");
            mapping.yesNo.push_back(caption);
        }
        for (std::string title : json.value("titles", std::vector<std::string>{}))
            mapping.titles.push_back(ComposedText(std::move(title)));
        return mapping;
    } catch (const nlohmann::json::exception &error) {
        throw std::runtime_error("it is not a mapping (" + std::string(error.what()) + ")");
    }
}

bool SaveMappingFile(Session &session, const std::string &path, const SavedMapping &mapping) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << MappingToJson(mapping);
    if (!out.flush()) {
        session.prompter.notify("The mapping could not be written to " + path + ".", Icon::Exclamation);
        return false;
    }
    return true;
}

std::optional<SavedMapping> LoadMappingFile(Session &session, const std::string &path) {
    try {
        return MappingFromJson(readMappingText(path));
    } catch (const std::runtime_error &problem) {
        session.prompter.notify("The mapping " + path + " cannot be used: " + problem.what() + ".", Icon::Exclamation);
        return std::nullopt;
    }
}

std::string MappingFileName(const std::string &name) {
    return endsWithJson(name) ? name : name + kSuffix;
}

std::optional<std::string> FindMappingFor(const std::string &folder, ImportTable table,
                                          const std::vector<std::string> &titles) {
    std::vector<std::string> paths;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (endsWithJson(it->path().filename().string()))
            paths.push_back(it->path().string());
    }
    std::sort(paths.begin(), paths.end());
    for (const std::string &path : paths) {
        try {
            const SavedMapping mapping = MappingFromJson(readMappingText(path));
            if (mapping.table == table && mapping.titles == titles)
                return path;
        } catch (const std::runtime_error &) {
            // A file that is no mapping, or too large or no regular file, is not offered.
        }
    }
    return std::nullopt;
}

std::optional<std::string> MappingNameProblem(const std::string &name) {
    const std::string last = name.substr(name.find_last_of('/') + 1);
    if (last.find_first_not_of(' ') == std::string::npos)
        return "A mapping needs a name.";
    return std::nullopt;
}

std::string ReplaceMappingQuestion(const std::string &path) {
    return "There is a mapping " + path + " already. Do you want to replace it?";
}

bool SaveMappingAsking(Session &session, const std::string &path, const SavedMapping &mapping) {
    if (PathExists(path) && session.prompter.ask(ReplaceMappingQuestion(path), Buttons::YesNo) != Answer::Yes)
        return false;
    return SaveMappingFile(session, path, mapping);
}

bool OfferSaveMapping(Session &session, const SavedMapping &mapping) {
    SaveRequest request{"Save Mapping", "Name of the mapping (it is kept in the database folder):", session.DbFolder,
                        "", "Mappings (*.json)"};
    request.dialogAsksBeforeReplacing = false; // asked below, after the name is completed
    const std::optional<std::string> chosen = session.prompter.chooseSaveFile(request);
    if (!chosen)
        return false;
    if (std::optional<std::string> problem = MappingNameProblem(*chosen)) {
        session.prompter.notify(*problem, Icon::Exclamation);
        return false;
    }
    const std::string path = MappingFileName(*chosen);
    if (!SaveMappingAsking(session, path, mapping))
        return false;
    session.prompter.notify("The mapping was saved as " + path + ".");
    return true;
}

bool OfferSavedMapping(Session &session, ImportWindowState &window, ImportTable table, const std::string &source,
                       const std::vector<std::string> &titles) {
    const std::optional<std::string> path = FindMappingFor(session.DbFolder, table, titles);
    if (!path)
        return false;
    const std::string name = std::filesystem::path(*path).filename().string();
    if (session.prompter.ask("The titles of " + source + " are those of the saved mapping " + name +
                                 ". Do you want to use it?",
                             Buttons::YesNo) != Answer::Yes)
        return false;
    std::optional<SavedMapping> mapping = LoadMappingFile(session, *path);
    if (!mapping)
        return false;
    UseMapping(session, *mapping, window, titles, source);
    return true;
}

} // namespace tarnwick
