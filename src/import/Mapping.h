#pragma once
// Matching a source's titles to a panel's slots by themselves, and mappings saved to a file of the
// database folder and used again for files of the same titles.
#include "app/Session.h"
#include "import/ImportWindowState.h"
#include "import/Importers.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct MatchResult {
    std::vector<std::string> matched;  // the captions of the slots given a title
    std::vector<std::string> leftover; // the titles no slot took
};

// Gives each slot without a title the source title that plainly names it: equal to its caption, or
// one of its usual names, ignoring case, blanks, "_", "-", "." and "#". A title used by a slot
// already, or that fits two slots, or a slot that two titles fit, is left to the operator.
MatchResult AutoMatch(std::vector<MappingSlot> &slots, ImportTable table, const std::vector<std::string> &titles);

// What a match did, in a sentence: how many columns it matched (none included) and the titles left.
std::string MatchSummary(const MatchResult &match);

// A mapping: the table, the options, and the title chosen for each slot.
struct SavedMapping {
    ImportTable table = ImportTable::Sites;
    bool comma = true;
    bool allCaps = false;
    std::vector<std::string> yesNo;                         // captions whose YES/NO box is ticked
    std::vector<std::pair<std::string, std::string>> slots; // caption, title
    std::vector<std::string> titles;                        // the source's titles when it was saved
};

// The mapping of one panel of the window, with the titles of its source.
SavedMapping CaptureMapping(const ImportWindowState &window, ImportTable table, const std::vector<std::string> &titles);
// Puts a mapping into the window's options and into the panel's slots that have no title yet (a
// choice made already wins). Returns the titles it names that `titles` lacks; those slots stay
// empty.
std::vector<std::string> ApplyMapping(const SavedMapping &mapping, ImportWindowState &window,
                                      const std::vector<std::string> &titles);
// ApplyMapping, saying which of the mapping's titles `source` lacks.
void UseMapping(Session &session, const SavedMapping &mapping, ImportWindowState &window,
                const std::vector<std::string> &titles, const std::string &source);

std::string MappingToJson(const SavedMapping &mapping);
// Throws std::runtime_error with a sentence naming the problem.
SavedMapping MappingFromJson(const std::string &json);

// Writes or reads a mapping file; a problem is said in a message naming the file, and gives false
// or nothing. Only regular files of at most 1 MB are read.
bool SaveMappingFile(Session &session, const std::string &path, const SavedMapping &mapping);
std::optional<SavedMapping> LoadMappingFile(Session &session, const std::string &path);

// A mapping file's name: a name ending in ".json" as it is, any other with ".mapping.json" added.
// A folder's mappings are its ".json" files that hold one.
std::string MappingFileName(const std::string &name);
// The saved mapping of `folder` for `table` whose titles equal `titles`, if there is one.
std::optional<std::string> FindMappingFor(const std::string &folder, ImportTable table,
                                          const std::vector<std::string> &titles);

// Why `name` cannot name a mapping (empty, blank, or a folder), or nothing.
std::optional<std::string> MappingNameProblem(const std::string &name);
// The question asked before a saved mapping is replaced.
std::string ReplaceMappingQuestion(const std::string &path);
// Saves the mapping at `path`, asking first when a file is there. True when saved.
bool SaveMappingAsking(Session &session, const std::string &path, const SavedMapping &mapping);

// "Save Mapping...": asks for a name and saves the mapping under it in the database folder, saying
// where. True when saved.
bool OfferSaveMapping(Session &session, const SavedMapping &mapping);

// After a source's titles were read: when a saved mapping has the same titles, asks whether to use
// it and, on Yes, applies it (saying which of its titles are missing). True when applied.
bool OfferSavedMapping(Session &session, ImportWindowState &window, ImportTable table, const std::string &source,
                       const std::vector<std::string> &titles);

} // namespace tarnwick
