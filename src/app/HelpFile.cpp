#include "app/HelpFile.h"

#include "base/NumberedError.h"
#include "base/PathCheck.h"

#include <chm_lib.h>
#include <filesystem>
#include <regex>

namespace tarnwick {
namespace {

std::uint32_t le32(const std::string &bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint16_t le16(const std::string &bytes, std::size_t at) {
    const unsigned low = static_cast<unsigned char>(bytes[at]);
    const unsigned high = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::string cString(const std::string &bytes, std::size_t at) {
    if (at >= bytes.size())
        return {};
    const std::size_t end = bytes.find('\0', at);
    return bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string withSlash(const std::string &name) {
    return !name.empty() && name[0] == '/' ? name : "/" + name;
}

} // namespace

void HelpFile::Closer::operator()(chmFile *file) const {
    chm_close(file);
}

HelpFile::HelpFile(const std::string &path) {
    std::error_code error;
    fileSize_ = std::filesystem::file_size(path, error);
    if (error)
        throw NumberedError(53, "File not found");
    file_.reset(chm_open(path.c_str()));
    if (!file_)
        throw NumberedError(75, "not a compiled help file");
    readSystem();
    readContextMap();
    if (defaultPage_.empty() && !contents_.empty())
        defaultPage_ = contents_.front().local;
    if (defaultPage_.empty() || !read(defaultPage_))
        throw NumberedError(75, "it holds no page to show");
}

HelpFile::~HelpFile() = default;

std::optional<std::string> HelpFile::read(const std::string &internalPath) const {
    chmUnitInfo unit{};
    if (chm_resolve_object(file_.get(), internalPath.c_str(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // A damaged directory may claim any length: never more than the file itself could hold.
    const std::uint64_t length = std::min<std::uint64_t>(unit.length, fileSize_ * 64 + 4096);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    const LONGINT64 got = length
                              ? chm_retrieve_object(file_.get(), &unit, reinterpret_cast<unsigned char *>(bytes.data()),
                                                    0, static_cast<LONGINT64>(length))
                              : 0;
    if (got < 0 || static_cast<std::uint64_t>(got) != length)
        return std::nullopt;
    return bytes;
}

void HelpFile::readSystem() {
    // #SYSTEM: a version, then records of a code, a length and that many bytes.
    const std::optional<std::string> system = read("/#SYSTEM");
    std::string contentsFile;
    if (system && system->size() >= 4) {
        for (std::size_t at = 4; at + 4 <= system->size();) {
            const std::uint16_t code = le16(*system, at), length = le16(*system, at + 2);
            at += 4;
            if (at + length > system->size())
                break;
            const std::string data = cString(system->substr(at, length), 0);
            if (code == 0)
                contentsFile = data;
            else if (code == 2)
                defaultPage_ = internalPathOf(data);
            else if (code == 3)
                title_ = data;
            at += length;
        }
    }
    if (!contentsFile.empty())
        readContents(internalPathOf(contentsFile));
}

void HelpFile::readContextMap() {
    // #IVB: a byte count, then pairs of a topic number and an offset into #STRINGS, where the
    // page's name stands.
    const std::optional<std::string> map = read("/#IVB");
    const std::optional<std::string> strings = read("/#STRINGS");
    if (!map || !strings || map->size() < 4)
        return;
    const std::size_t end = std::min<std::size_t>(map->size(), 4 + static_cast<std::size_t>(le32(*map, 0)));
    for (std::size_t at = 4; at + 8 <= end; at += 8) {
        const std::string name = cString(*strings, le32(*map, at + 4));
        const std::string page = internalPathOf(name);
        if (!name.empty() && read(page))
            topics_[static_cast<long>(le32(*map, at))] = page;
    }
}

void HelpFile::readContents(const std::string &contentsFile) {
    const std::optional<std::string> sitemap = read(contentsFile);
    if (!sitemap)
        return;
    static const std::regex object("<object[^>]*>([\\s\\S]*?)</object>", std::regex::icase);
    static const std::regex param("<param\\s+name=\"([^\"]*)\"\\s+value=\"([^\"]*)\"", std::regex::icase);
    for (std::sregex_iterator it(sitemap->begin(), sitemap->end(), object), end; it != end; ++it) {
        HelpEntry entry;
        const std::string body = (*it)[1];
        for (std::sregex_iterator p(body.begin(), body.end(), param); p != end; ++p) {
            std::string key = (*p)[1];
            for (char &c : key)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (key == "name")
                entry.name = (*p)[2];
            else if (key == "local")
                entry.local = internalPathOf((*p)[2]);
        }
        if (!entry.name.empty() && !entry.local.empty())
            contents_.push_back(entry);
    }
}

std::string HelpFile::internalPathOf(const std::string &name) const {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (const std::size_t hash = path.find('#'); hash != std::string::npos)
        path.resize(hash);
    for (std::size_t slash = 0;;) {
        const std::string candidate = withSlash(path.substr(slash));
        chmUnitInfo unit{};
        if (chm_resolve_object(file_.get(), candidate.c_str(), &unit) == CHM_RESOLVE_SUCCESS)
            return candidate;
        slash = path.find('/', slash + 1);
        if (slash == std::string::npos)
            return withSlash(path);
    }
}

std::string HelpFile::topicPage(long topic) const {
    auto it = topics_.find(topic);
    return it == topics_.end() ? defaultPage_ : it->second;
}

bool InstallHelpFile(const std::string &programFolder, const std::string &dbFolder) {
    std::string ours = programFolder + "/Tarnwick.chm";
    if (!IsRegularFile(ours))
        ours = programFolder + "/../share/tarnwick/Tarnwick.chm"; // installed
    const std::string theirs = dbFolder + "/Tarnwick.chm";
    if (!IsRegularFile(ours) || PathExists(theirs))
        return false;
    std::error_code error;
    return std::filesystem::copy_file(ours, theirs, error) && !error;
}

std::string HelpFilePath(const Session &session) {
    return session.DbFolder + "/Tarnwick.chm";
}

std::unique_ptr<HelpFile> OpenParkHelp(Session &session) {
    const std::string path = HelpFilePath(session);
    if (!IsRegularFile(path)) {
        session.prompter.notify("The help file " + path + " could not be found.", Icon::Exclamation);
        return nullptr;
    }
    try {
        return std::make_unique<HelpFile>(path);
    } catch (const NumberedError &error) {
        session.prompter.notify("The help file " + path + " could not be read: " + error.description() + ".",
                                Icon::Exclamation);
        return nullptr;
    }
}

} // namespace tarnwick
