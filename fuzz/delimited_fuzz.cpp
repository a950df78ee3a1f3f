// The delimited text reader on any bytes: lines as the line reader cuts and decodes them (every
// encoding it knows), the first as a title line when it starts with a quote, every line cut at
// each delimiter the import accepts.
#include "base/LineReader.h"
#include "import/DelimitedText.h"

#include <cstdint>
#include <cstdio>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0; // fmemopen refuses an empty buffer
    FileHandle file(fmemopen(const_cast<std::uint8_t *>(data), size, "rb"));
    if (!file)
        return 0;
    LineReader lines(std::move(file));
    bool first = true;
    while (std::optional<std::string> line = lines.next()) {
        if (first && !line->empty() && (*line)[0] == '"')
            SplitTitles(*line);
        first = false;
        for (char delimiter : {',', ';', '\t'})
            CutLine(*line, delimiter);
    }
    return 0;
}
