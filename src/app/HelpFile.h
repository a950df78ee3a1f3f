#pragma once
// The park's compiled help file (Tarnwick.chm) read through chmlib: its pages, its title, its
// contents list, and the topic numbers of its context map.
#include "app/Session.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

namespace tarnwick {

struct HelpEntry {
    std::string name;  // as the contents list shows it
    std::string local; // the page's path inside the file, from "/"
};

class HelpFile {
public:
    // Throws NumberedError when the file cannot be opened as a compiled help file.
    explicit HelpFile(const std::string &path);
    ~HelpFile();
    HelpFile(const HelpFile &) = delete;
    HelpFile &operator=(const HelpFile &) = delete;

    // An internal file's bytes ("/overview.html"), or nothing when the file holds no such object.
    std::optional<std::string> read(const std::string &internalPath) const;
    // The page a topic number opens: the mapped page, or the default page for an unmapped number.
    std::string topicPage(long topic) const;
    const std::string &defaultPage() const { return defaultPage_; }
    const std::string &title() const { return title_; }
    const std::vector<HelpEntry> &contents() const { return contents_; }
    // The topic numbers the file maps, each with its page.
    const std::map<long, std::string> &topics() const { return topics_; }

private:
    void readSystem();
    void readContextMap();
    void readContents(const std::string &contentsFile);
    // The internal path a name of the file's own tables stands for: the name itself, or the
    // longest tail of it that the file holds (compilers may record the source folder too).
    std::string internalPathOf(const std::string &name) const;

    struct Closer {
        void operator()(chmFile *file) const;
    };
    std::unique_ptr<chmFile, Closer> file_;
    std::uint64_t fileSize_ = 0;
    std::string title_;
    std::string defaultPage_;
    std::map<long, std::string> topics_;
    std::vector<HelpEntry> contents_;
};

// The help file of the database folder, or nothing after the message that names the path looked
// for (a missing or unreadable file).
std::unique_ptr<HelpFile> OpenParkHelp(Session &session);

// Puts the help file that comes with the program (beside it in `programFolder`, or in
// ../share/tarnwick when installed) into `dbFolder`,
// unless that folder has one already: a park's own help file is never replaced. True when copied.
bool InstallHelpFile(const std::string &programFolder, const std::string &dbFolder);

// Where the help file of the database folder is.
std::string HelpFilePath(const Session &session);

} // namespace tarnwick
