// mapping save and mapping show: mappings of titles to columns, kept for the next park.
#include "cli/Commands.h"
#include "cli/TerminalSheetPicker.h"
#include "import/ImportWindowActions.h"
#include "import/Mapping.h"

#include <iostream>

namespace tarnwick {

int RunMappingSave(CliSession &cli, const std::string &file, const ImportOptions &options,
                   const ImportWindowState &prepared) {
    ImportWindowState window = prepared;
    AnswerSheetQuestions(cli.prompter, options.sheet);
    TerminalSheetPicker picker(options.sheet);
    const SelectedTitles read = ReadSelectedTitles(cli.session, options.files, window.ShtName, picker);
    if (read.someUnread)
        return 1;
    if (std::optional<int> stopped = ChooseColumns(cli, options, window, read.titles))
        return *stopped;
    const std::string path = MappingPath(cli, MappingFileName(file));
    if (!SaveMappingFile(cli.session, path, CaptureMapping(window, options.table, read.titles)))
        return 1;
    std::cout << "Saved " << path << std::endl;
    return 0;
}

int RunMappingShow(CliSession &cli, const std::string &file) {
    std::optional<SavedMapping> mapping = LoadMappingFile(cli.session, MappingPath(cli, file));
    if (!mapping)
        return 1;
    std::cout << MappingToJson(*mapping);
    return 0;
}

} // namespace tarnwick
