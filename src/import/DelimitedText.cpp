#include "import/DelimitedText.h"

#include "app/FileOpener.h"
#include "base/TextUtil.h"

#include <algorithm>

namespace tarnwick {

std::vector<std::string> SplitTitles(const std::string &header) {
    std::vector<std::string> titles;
    std::string current;
    for (std::size_t j = 1; j < header.size(); ++j) {
        if (header[j] == '"' && j + 2 < header.size() && (header[j + 1] == ',' || header[j + 1] == ';') &&
            header[j + 2] == '"') {
            titles.push_back(current);
            current.clear();
            j += 2;
        } else {
            current += header[j];
        }
    }
    // The last title still carries its closing quote.
    if (!current.empty())
        current.pop_back();
    titles.push_back(current);
    return titles;
}

std::vector<Value> CutLine(const std::string &line, char delimiter) {
    std::vector<Value> values;
    CutLine(line, delimiter, [&](int, std::string value) { values.emplace_back(std::move(value)); });
    return values;
}

std::optional<long> CountDataLines(Session &session, const std::string &path) {
    short number = FileOpener(session, path, ModeInput, 80);
    if (number <= 0)
        return std::nullopt;
    long lines = 0;
    while (!session.files.Eof(number)) {
        session.files.SkipLine(number);
        ++lines;
    }
    session.files.Close(number);
    return lines - 1;
}

std::string SourcePath(const Session &session, const std::string &fileName) {
    return session.DbFolder + "/" + fileName;
}

std::string QuotedValue(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return "\"" + text + "\"";
}

} // namespace tarnwick
