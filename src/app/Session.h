#pragma once
// The state every part of the program reads, one instance for the run, and the services through
// which the core talks to the operator.
#include "app/FileTable.h"
#include "app/Prompter.h"
#include "db/Connection.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class ImportListener;

struct Session {
    Session(Prompter &prompter, ProgressSink &progress, const Clock &clock)
        : prompter(prompter), progress(progress), clock(clock) {}

    std::string AppFolder;
    std::string DbFolder;
    std::unique_ptr<Connection> ParkConnection;
    std::string SqlText;
    const std::string LineBreak = "\r\n";
    std::string DbPassword;
    short Navigating = 0;
    // The ID of the row picked into the site or guest editor; 0 when none.
    long SelectedId = 0;
    // The sentence of the last row change, delete, grid fill or import commit the park refused, which
    // the windows pass over in silence; the terminal says it. Empty when the last one went through.
    std::string LastRefusal;
    // When the last import stopped at a row the operator would not pass over: how many of its rows
    // are stored, which the terminal says. Empty otherwise.
    std::string ImportStopNote;
    // The folder files were last brought into the park's folder from, where the next dialog opens.
    std::string LastAddedFrom;
    short BrowseOpen = 0;

    std::string TitleCaseResult;
    // Slots 1 to 10 hold the site-type names at the last save; slot 0 is unused.
    std::vector<std::string> SiteTypeNames = std::vector<std::string>(11);
    long SiteTypeCount = 0;

    // Titles of the source read last: slot 0 the count, slots 1 to 150 the titles in column order.
    // A shorter source leaves the later slots as an earlier one set them.
    std::vector<std::string> FieldNames = std::vector<std::string>(151);
    int FieldNameCount() const { return FieldNames[0].empty() ? 0 : std::stoi(FieldNames[0]); }

    FileTable files;
    // Told of the rows of an import while it runs; null when nobody listens.
    ImportListener *importListener = nullptr;
    Prompter &prompter;
    ProgressSink &progress;
    const Clock &clock;
};

// Thrown where the program ends (after the start-up messages that end it); the programs' main
// functions catch it and exit with `status`.
struct EndProgram {
    int status = 1;
};

} // namespace tarnwick
