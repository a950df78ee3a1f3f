#pragma once
// Numbered files as the old run time had them: Open yields a file number (1 and up), and the caller
// reads lines, prints lines and closes by that number. Errors carry the run time's error numbers.
#include "base/LineReader.h"
#include "base/NumberedError.h"

#include <map>
#include <optional>
#include <string>

namespace tarnwick {

enum OpenMode : short { ModeOutput = 1, ModeInput = 2, ModeAppend = 3, ModeRandom = 4, ModeBinary = 5 };

namespace fileerr {
constexpr long BadFileNumber = 52;
constexpr long FileNotFound = 53;
constexpr long InputPastEnd = 62;
constexpr long PermissionDenied = 70;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
} // namespace fileerr

class FileError : public NumberedError {
public:
    using NumberedError::NumberedError;
};

class FileTable {
public:
    // Opens `path` in `mode` under the lowest free number. Throws FileError.
    short Open(const std::string &path, OpenMode mode);
    // The next line of a file opened for input; throws error 62 at the end. `raw`, when given,
    // receives the line's bytes as they are in the file.
    std::string LineInput(short number, std::string *raw = nullptr);
    // Passes over the next line of a file opened for input; throws error 62 at the end.
    void SkipLine(short number);
    bool Eof(short number);
    // Writes `text` and CR LF to a file opened for output or append.
    void Print(short number, const std::string &text);
    void Close(short number) noexcept { files_.erase(number); }
    bool IsOpen(short number) const { return files_.count(number) != 0; }

private:
    struct Entry {
        std::unique_ptr<LineReader> reader;
        FileHandle writer;
    };
    Entry &entry(short number);

    std::map<short, Entry> files_;
};

} // namespace tarnwick
