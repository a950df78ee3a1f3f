#include "import/QuoteRepair.h"

#include "app/FileOpener.h"
#include "base/PathCheck.h"
#include "import/DelimitedText.h"

namespace tarnwick {

std::optional<std::string> OfferQuoteRepair(Session &session, const std::string &fileName) {
    Answer answer = session.prompter.ask("Your File does NOT have quotes around the Fields!" + session.LineBreak +
                                             "Select OK to create a New file with quotes.",
                                         Buttons::OKCancel);
    if (answer != Answer::OK)
        return std::nullopt;
    return RepairQuotes(session, fileName);
}

std::optional<std::string> RepairQuotes(Session &session, const std::string &fileName) {
    std::size_t dot = fileName.find_last_of('.');
    std::string base = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    std::string newName = base + " New." + UpperExtension(fileName);
    const std::string source = SourcePath(session, fileName);
    const std::string target = SourcePath(session, newName);

    // A source that cannot be read gets no empty copy: the operator is told instead.
    if (!IsRegularFile(source)) {
        session.prompter.notify("The file " + source + " could not be read, so no new file was written.",
                                Icon::Exclamation);
        return std::nullopt;
    }
    short in = FileOpener(session, source, ModeInput, 80);
    if (in <= 0)
        return std::nullopt;
    short out = FileOpener(session, target, ModeOutput, 80);
    if (out <= 0) {
        session.files.Close(in);
        return std::nullopt;
    }
    long counter = -1;
    while (!session.files.Eof(in)) {
        std::string line = session.files.LineInput(in);
        ++counter;
        std::string quoted = "\"";
        for (char c : line) {
            if (c == ',')
                quoted += "\",\"";
            else
                quoted += c;
        }
        session.files.Print(out, quoted + "\"");
    }
    session.files.Close(in);
    session.files.Close(out);
    session.prompter.notify("New file has been saved." + session.LineBreak +
                                "Please use a text editor to verify the extra Quotes were properly addded." +
                                session.LineBreak + "New File: " + target + session.LineBreak +
                                std::to_string(counter) + " Lines Processed.",
                            Icon::Information);
    return newName;
}

} // namespace tarnwick
