#pragma once
// Delimited text sources: the title line and the data lines.
#include "app/Session.h"
#include "base/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The titles of a header line: each title in double quotes, separated by quote-comma-quote or
// quote-semicolon-quote whatever delimiter the data uses. The caller has checked the first
// character is a double quote.
std::vector<std::string> SplitTitles(const std::string &header);

// Cuts a data line at every delimiter, dropping double quotes wherever they stand (they do not
// protect a delimiter). Returns the values in order; two delimiters in a row give "".
std::vector<Value> CutLine(const std::string &line, char delimiter);
// The same cut, each value handed to `store(position, text)` with positions from 1; returns the
// number of values.
template <typename Store> int CutLine(const std::string &line, char delimiter, Store store) {
    int position = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = line.find(delimiter, start);
        std::size_t stop = end == std::string::npos ? line.size() : end;
        std::string value;
        value.reserve(stop - start);
        // Copies the runs between double quotes, which are dropped.
        for (std::size_t at = start; at < stop;) {
            std::size_t quote = line.find('"', at);
            std::size_t runEnd = quote < stop ? quote : stop;
            value.append(line, at, runEnd - at);
            at = runEnd + 1;
        }
        store(++position, std::move(value));
        if (end == std::string::npos)
            return position;
        start = end + 1;
    }
}

// A value in double quotes for a line that this reader reads back as the same value: the quotes
// inside it are dropped, as the reader drops them.
std::string QuotedValue(std::string text);

// The number of data lines: every line after the first, blank lines included; -1 for an empty
// file. Nothing when the file cannot be read.
std::optional<long> CountDataLines(Session &session, const std::string &path);

// The path of a source named as the import window lists it.
std::string SourcePath(const Session &session, const std::string &fileName);

} // namespace tarnwick
