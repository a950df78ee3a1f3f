#include "db/access/RemoteAccessDatabase.h"

#include "base/PathCheck.h"
#include "db/DbError.h"
#include "db/access/ReaderWire.h"

#include <climits>
#include <unistd.h>

namespace tarnwick {
namespace {

using Reader = wire::Decoder<ReaderProcess>;

[[noreturn]] void throwFailure(Reader &in) {
    const long number = static_cast<long>(in.i64());
    throw DbError(number, in.text());
}

// Reads the answer's tag: a failure is thrown, anything but `answer` is a reader gone wrong.
char expect(Reader &in, char answer, char orElse = wire::Failure) {
    const char tag = in.tag();
    if (tag == wire::Failure)
        throwFailure(in);
    if (tag != answer && tag != orElse)
        throw DbError(dberr::FileNotFound, "The database is damaged and could not be read (its reader answered "
                                           "out of turn).");
    return tag;
}

} // namespace

std::string AccessReaderProgram() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string folder = n > 0 ? ParentFolder(std::string(self, static_cast<std::size_t>(n))) : ".";
    for (const std::string &candidate :
         {folder + "/tarnwick-access-reader", folder + "/../libexec/tarnwick/tarnwick-access-reader"})
        if (IsRegularFile(candidate))
            return candidate;
    throw DbError(dberr::FileNotFound, "The Access database reader (tarnwick-access-reader) is missing from " + folder +
                                           "; install Tarnwick again.");
}

RemoteAccessDatabase::RemoteAccessDatabase(const std::string &reader, const std::string &path,
                                           const ReaderLimits &limits, std::function<void()> waiting)
    : reader_(reader), path_(path), limits_(limits), waiting_(std::move(waiting)) {
    start();
}

void RemoteAccessDatabase::start() {
    process_.reset();
    auto process = std::make_unique<ReaderProcess>(reader_, std::vector<std::string>{path_}, limits_, waiting_);
    Reader in(*process);
    expect(in, wire::TableList);
    const std::uint32_t count = in.length();
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < count; ++i)
        names.push_back(in.text());
    names_ = std::move(names);
    process_ = std::move(process);
    noteWarnings();
}

void RemoteAccessDatabase::noteWarnings() {
    ReaderDiagnostics printed = process_->takeDiagnostics();
    if (printed.bytes > 0 && !warning_)
        warning_ = printed.firstLine;
}

std::optional<std::string> RemoteAccessDatabase::takeWarning() {
    std::optional<std::string> taken = std::move(warning_);
    warning_.reset();
    return taken;
}

template <typename Read> auto RemoteAccessDatabase::ask(char request, const std::string &table, Read read) {
    try {
        if (!process_)
            start();
        wire::Encoder out;
        out.tag(request);
        out.text(table);
        process_->send(out.bytes());
        Reader in(*process_);
        auto result = read(in);
        noteWarnings();
        return result;
    } catch (...) {
        if (process_)
            noteWarnings();
        process_.reset();
        throw;
    }
}

std::vector<AccessField> RemoteAccessDatabase::fields(const std::string &table) {
    return ask(wire::AskFields, table, [](Reader &in) {
        expect(in, wire::FieldList);
        std::vector<AccessField> fields(in.length());
        for (AccessField &field : fields) {
            field.name = in.text();
            field.type = static_cast<int>(in.i64());
        }
        return fields;
    });
}

long RemoteAccessDatabase::recordCount(const std::string &table) {
    return ask(wire::AskCount, table, [](Reader &in) {
        expect(in, wire::Count);
        return static_cast<long>(in.i64());
    });
}

void RemoteAccessDatabase::forEachRecord(const std::string &table,
                                         const std::function<void(const std::vector<Value> &)> &row) {
    ask(wire::AskRows, table, [&](Reader &in) {
        std::vector<Value> values;
        while (expect(in, wire::Row, wire::RowsDone) == wire::Row) {
            values.resize(in.length());
            for (Value &value : values)
                in.value(value);
            row(values);
        }
        return true;
    });
}

} // namespace tarnwick
