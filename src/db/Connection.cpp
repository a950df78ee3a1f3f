#include "db/Connection.h"

#include "base/TextUtil.h"
#include "db/OpenEngine.h"

namespace tarnwick {

std::string Connection::Property(const std::string &name) const {
    auto it = properties_.find(name);
    return it == properties_.end() ? std::string() : it->second;
}

void Connection::SetConnectionString(const std::string &text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        std::size_t eq = part.find('=');
        if (eq != std::string::npos) {
            std::string key = TrimBlanks(part.substr(0, eq));
            std::string value = part.substr(eq + 1);
            if (key == "Provider")
                Provider = value;
            else if (key == "Jet OLEDB:Database Password")
                properties_["Password"] = value;
            else
                properties_[key] = value;
        }
        start = end + 1;
    }
}

void Connection::Open() {
    Close();
    engine_ = OpenEngine(Property("Data Source"), Property("Password"),
                         Property("Mode") == "Read" ? EngineAccess::Read : EngineAccess::Write);
}

void Connection::Close() noexcept {
    if (engine_)
        engine_->close();
    engine_.reset();
}

void Connection::BeginTrial() {
    engine().beginTrial();
}

void Connection::EndTrial() {
    if (engine_)
        engine_->endTrial();
}

void Connection::BeginGroup() {
    engine().beginGroup();
}

void Connection::CommitGroup() {
    engine().commitGroup();
}

Engine &Connection::engine() const {
    if (!engine_)
        throw DbError(dberr::ObjectClosed, "Operation is not allowed when the object is closed.");
    return *engine_;
}

} // namespace tarnwick
