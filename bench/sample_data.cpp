// Writes sample sources: the demo migration's three files, and the large guest files of the import
// benchmark (a CSV and a workbook of the same generated guests).
#include "base/VbDate.h"
#include "sheet/WorkbookWriter.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

const std::vector<std::string> kGuestTitles = {"First",   "Last",  "Street", "Unit",   "Town",   "State",
                                               "Zip",     "Phone", "Mobile", "Email",  "Arrive", "Depart",
                                               "Vehicle", "Plate", "DL",     "People", "Pets",   "Notes"};

// One generated guest: 18 values in the order of kGuestTitles.
std::vector<std::string> guest(long i) {
    static const char *const first[] = {"john", "MARY", "Zoë", "pat", "li", "o'neil"};
    static const char *const last[] = {"smith", "GARCIA", "Océ", "nguyen", "brown", "mcdonald"};
    std::string n = std::to_string(i);
    DateParts arrive{2024, static_cast<int>(i % 12) + 1, static_cast<int>(i % 28) + 1};
    DateParts depart = arrive;
    depart.year = 2025;
    auto date = [](const DateParts &d) {
        return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
    };
    return {first[i % 6],
            std::string(last[i % 6]) + n,
            n + " main street",
            "apt " + std::to_string(i % 40),
            "springfield",
            i % 3 ? "TX" : "ok",
            std::to_string(70000 + i % 9000),
            "555-" + n,
            "556-" + n,
            "guest" + n + "@Example.com",
            date(arrive),
            date(depart),
            "Ford F" + std::to_string(150 + i % 200),
            "PL" + n,
            "DL" + n,
            std::to_string(i % 6 + 1),
            i % 3 ? "Rex" : "",
            "Stayed " + std::to_string(i % 9) + " times"};
}

void writeGuestCsv(const std::string &path, long rows) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t c = 0; c < kGuestTitles.size(); ++c)
        out << (c ? "," : "") << '"' << kGuestTitles[c] << '"';
    out << "\r\n";
    for (long i = 1; i <= rows; ++i) {
        std::vector<std::string> values = guest(i);
        for (std::size_t c = 0; c < values.size(); ++c)
            out << (c ? "," : "") << '"' << values[c] << '"';
        out << "\r\n";
    }
}

void writeGuestSheet(WorkbookWriter &writer, long rows, long first) {
    for (std::size_t c = 0; c < kGuestTitles.size(); ++c)
        writer.setText(1, static_cast<int>(c + 1), kGuestTitles[c]);
    for (long i = 0; i < rows; ++i) {
        std::vector<std::string> values = guest(first + i);
        for (std::size_t c = 0; c < values.size(); ++c)
            if (!values[c].empty())
                writer.setText(static_cast<int>(i + 2), static_cast<int>(c + 1), values[c]);
    }
}

void writeDemo(const std::string &folder) {
    std::ofstream sites(folder + "/sites.csv", std::ios::binary);
    sites << "\"Site\",\"Length\",\"Width\",\"Water\",\"Sewer\",\"Amps\",\"Daily\",\"Weekly\",\"Monthly\"\r\n";
    const char *const rows[] = {"1,40,12,Yes,Yes,Yes,35.00,210,650", "2,45,14,Yes,No,No,35.00,210,650",
                                "3,60,16,Yes,Yes,Yes,42.50,250,725", "4,30,10,No,No,No,22.00,130,400",
                                "5,forty,12,Yes,Yes,Yes,35.00,210,650"};
    for (const char *row : rows)
        sites << row << "\r\n";

    WorkbookWriter guests("Former Guests");
    writeGuestSheet(guests, 6, 1);
    guests.addSheet("Current Guests");
    writeGuestSheet(guests, 4, 101);
    guests.save(folder + "/guests.xls");

    // The store's export: a comma title line without quotes and semicolon data lines.
    std::ofstream pos(folder + "/pos.txt", std::ios::binary);
    pos << "Item,Price,OnHand,Reorder,Taxable,UPC\r\n"
        << "bag of ice;2.50;40;10;yes;*ICE10*\r\n"
        << "FIREWOOD BUNDLE;6.00;25;5;YES;*WOOD6*\r\n"
        << "propane refill 20 lb tank exchange service;19.99;12;4;no;*LP20*\r\n";
}

// Whether `folder` (the current one when empty) exists; a sentence on stderr when it does not.
bool folderThere(const std::string &folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder.empty() ? "." : folder, error))
        return true;
    std::fprintf(stderr, "The folder %s does not exist, so nothing was written.\n", folder.c_str());
    return false;
}

std::string folderOf(const std::string &path) {
    return std::filesystem::path(path).parent_path().string();
}

} // namespace

int main(int argc, char **argv) {
    const bool demo = argc == 3 && std::strcmp(argv[1], "demo") == 0;
    const bool csv = argc == 4 && std::strcmp(argv[1], "guests-csv") == 0;
    const bool xls = argc == 4 && std::strcmp(argv[1], "guests-xls") == 0;
    long rows = 0;
    if ((csv || xls) && (std::sscanf(argv[3], "%ld", &rows) != 1 || rows < 0)) {
        std::fprintf(stderr, "ROWS must be a whole number of 0 or more, not '%s'.\n", argv[3]);
        return 2;
    }
    if (!demo && !csv && !xls) {
        std::fprintf(stderr, "usage: %s demo DIR | guests-csv FILE ROWS | guests-xls FILE ROWS\n", argv[0]);
        return 2;
    }
    if (!folderThere(demo ? argv[2] : folderOf(argv[2])))
        return 1;
    try {
        if (demo) {
            writeDemo(argv[2]);
        } else if (csv) {
            writeGuestCsv(argv[2], rows);
        } else {
            WorkbookWriter writer("Guests");
            writeGuestSheet(writer, rows, 1);
            writer.save(argv[2]);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
