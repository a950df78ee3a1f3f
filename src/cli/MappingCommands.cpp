// mapping save and mapping show: mappings of titles to columns, kept for the next park.
#include "cli/Commands.h"
#include "import/Mapping.h"

#include <iostream>

namespace tarnwick {

int RunMappingSave(CliSession &cli, const std::string &file, const ImportOptions &options,
                   const ImportWindowState &prepared, bool replace) {
    if (std::optional<std::string> problem = MappingNameProblem(file)) {
        std::cerr << "mapping save: " << *problem << std::endl;
        return 2;
    }
    ImportWindowState window = prepared;
    std::vector<std::string> titles;
    if (std::optional<int> stopped = PrepareImportWindow(cli, options, window, &titles))
        return *stopped;
    const std::string path = MappingPath(cli, MappingFileName(file));
    cli.prompter.answer(TerminalPrompter::startsWith(ReplaceMappingQuestion(path)), replace ? Answer::Yes : Answer::No);
    if (!SaveMappingAsking(cli.session, path, CaptureMapping(window, options.table, titles)))
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
