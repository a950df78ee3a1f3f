#include "export/FolderBrowse.h"

#include "base/PathCheck.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {

void SortNames(std::vector<std::string> &names) {
    auto folded = [](const std::string &name) {
        std::string out = name;
        std::transform(out.begin(), out.end(), out.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return out;
    };
    std::sort(names.begin(), names.end(), [&](const std::string &a, const std::string &b) {
        const std::string fa = folded(a), fb = folded(b);
        return fa != fb ? fa < fb : a < b;
    });
}

FolderView BrowseFolder(Session &session, const std::string &folder) {
    namespace fs = std::filesystem;
    FolderView view;
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error).lexically_normal();
    fs::path walked;
    for (const fs::path &part : absolute) {
        if (part.empty())
            continue;
        walked /= part;
        view.ancestors.push_back(walked.string());
    }
    fs::directory_iterator it(absolute, error);
    if (error) {
        session.prompter.notify("The folder " + absolute.string() + " cannot be read: " + error.message() + ".",
                                Icon::Exclamation);
        return view;
    }
    for (fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        const std::string name = it->path().filename().string();
        std::error_code kind;
        if (it->is_directory(kind))
            view.folders.push_back(name);
        else if (UpperExtension(name) == "MDB" && it->is_regular_file(kind))
            view.databases.push_back(name);
    }
    SortNames(view.folders);
    SortNames(view.databases);
    return view;
}

} // namespace tarnwick
