#include "import/FieldNames.h"

#include "app/FileOpener.h"
#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "import/DelimitedText.h"
#include "import/QuoteRepair.h"
#include "sheet/SheetError.h"
#include "sheet/SheetOutline.h"

namespace tarnwick {
namespace {

constexpr int kMaxTitles = 150;

// Titles are kept composed, so that a title matches the same title typed or saved in another form.
void storeTitles(Session &session, std::vector<std::string> &titles) {
    for (std::string &title : titles)
        title = ComposedText(std::move(title));
    for (std::size_t k = 0; k < titles.size(); ++k)
        session.FieldNames[k + 1] = titles[k];
    session.FieldNames[0] = std::to_string(titles.size());
}

// Data lines read after the titles to see how they are separated.
constexpr std::size_t kSampleLines = 20;

// The delimiter (',' or ';') that cuts more of `lines` into more fields than the other; 0 when
// neither does.
char looksSeparatedBy(const std::vector<std::string> &lines) {
    int byCommas = 0, bySemicolons = 0;
    for (const std::string &line : lines) {
        const int commas = CutLine(line, ',', [](int, std::string) {});
        const int semicolons = CutLine(line, ';', [](int, std::string) {});
        byCommas += commas > semicolons;
        bySemicolons += semicolons > commas;
    }
    return byCommas > bySemicolons ? ',' : bySemicolons > byCommas ? ';' : '\0';
}

FieldNamesResult textTitles(Session &session, const std::string &fileName) {
    const std::string path = SourcePath(session, fileName);
    // The opener would write a default settings file in place of a missing source; refuse first.
    if (!IsRegularFile(path)) {
        session.prompter.notify("The file " + path + " could not be found.", Icon::Exclamation);
        return {};
    }
    short number = FileOpener(session, path, ModeInput, 80);
    if (number <= 0)
        return {};
    std::string header = session.files.Eof(number) ? std::string() : session.files.LineInput(number);
    // The first data lines, for the delimiter they look separated by.
    std::vector<std::string> data;
    while (data.size() < kSampleLines && !session.files.Eof(number))
        data.push_back(session.files.LineInput(number));
    session.files.Close(number);

    if (header.empty() || header[0] != '"')
        return {{}, OfferQuoteRepair(session, fileName)};
    if (header == "\"") {
        session.prompter.notify("The first line of " + path + " holds no titles.", Icon::Exclamation);
        return {};
    }
    std::vector<std::string> titles = SplitTitles(header);
    if (titles.back().empty()) {
        session.prompter.notify("The last title in the first line of " + path +
                                    " is empty. Please give every column a title and run again.",
                                Icon::Exclamation);
        return {};
    }
    if (titles.size() > kMaxTitles) {
        session.prompter.notify("There were " + std::to_string(titles.size()) + " titles in " + path +
                                    " and only 150 can be processed. Please remove unwanted Columns and run again.",
                                Icon::Exclamation);
        return {};
    }
    storeTitles(session, titles);
    return {titles, std::nullopt, {}, looksSeparatedBy({header}), looksSeparatedBy(data)};
}

FieldNamesResult workbookTitles(Session &session, const std::string &fileName, std::string &shtName,
                                SheetPicker &picker) {
    try {
        Workbook book(SourcePath(session, fileName));
        const std::vector<std::string> &names = book.sheetNames();
        if (names.empty()) {
            session.prompter.notify("The workbook " + fileName + " holds no worksheet.", Icon::Exclamation);
            return {};
        }
        shtName = names.front();
        picker.proposed(shtName);
        Answer answer = session.prompter.ask(
            "There are " + std::to_string(names.size()) + " sheets, we will be processing " + shtName, Buttons::YesNo);
        if (answer == Answer::No) {
            if (auto chosen = picker.pick(names))
                shtName = *chosen;
        }
        int sheet = book.sheetIndex(shtName);
        if (sheet < 0) {
            session.prompter.notify("The workbook " + fileName + " has no worksheet named " + shtName + ".",
                                    Icon::Exclamation);
            return {};
        }
        SheetOutline outline = OutlineSheet(book, sheet);
        int lastRow = LastFilled(outline.column1Filled, Workbook::kRows);
        session.prompter.notify("There are " + std::to_string(lastRow) + " Rows.");
        int lastColumn = LastFilled(outline.row1Filled, Workbook::kColumns);
        session.prompter.notify("There are " + std::to_string(lastColumn) + " Columns.");

        std::vector<std::string> titles;
        for (int k = 1; k <= kMaxTitles && k <= static_cast<int>(outline.row1.size()); ++k) {
            const Cell &cell = outline.row1[k - 1];
            if (cell.isEmpty())
                break;
            titles.push_back(cell.toString());
        }
        storeTitles(session, titles);
        if (lastColumn > kMaxTitles)
            session.prompter.notify("There were " + std::to_string(lastColumn) +
                                    " Columns in this Spreadsheet and only 150 can be processed. Please remove "
                                    "unwanted Columns if needed and run again.");
        return {titles, std::nullopt, shtName};
    } catch (const SheetError &error) {
        session.prompter.notify(error.description(), Icon::Exclamation);
        return {};
    }
}

} // namespace

FieldNamesResult GetFieldNames(Session &session, const std::string &fileName, std::string &shtName,
                               SheetPicker &picker) {
    std::string extension = UpperExtension(fileName);
    if (extension == "CSV" || extension == "TXT")
        return textTitles(session, fileName);
    return workbookTitles(session, fileName, shtName, picker);
}

} // namespace tarnwick
