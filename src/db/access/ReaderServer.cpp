#include "db/access/ReaderServer.h"

#include "db/access/MdbDatabase.h"
#include "db/access/ProcessMemory.h"
#include "db/access/ReaderWire.h"

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {
namespace {

// An answer is sent in pieces of about this size, so that rows flow while the table is read.
constexpr std::size_t kPiece = 64 * 1024;

class Channel {
public:
    explicit Channel(int fd) : fd_(fd) {}

    // Sends what is encoded. Whatever libmdb printed so far is flushed first, so the program
    // has it before the answer it came with.
    void send() {
        std::fflush(nullptr);
        const std::string &bytes = out.bytes();
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                _exit(0); // the program is gone
            sent += static_cast<std::size_t>(n);
        }
        out.bytes().clear();
    }
    void sendWhenFull() {
        if (out.bytes().size() >= kPiece)
            send();
    }

    // The Decoder's source: the next n bytes of the requests; false at the channel's end.
    const char *take(std::size_t n) {
        in_.resize(n);
        std::size_t got = 0;
        while (got < n) {
            const ssize_t r = ::read(fd_, in_.data() + got, n - got);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                _exit(0); // the program closed the channel: the work is done
            got += static_cast<std::size_t>(r);
        }
        return in_.data();
    }

    wire::Encoder out;

private:
    int fd_;
    std::string in_;
};

void sendFailure(Channel &channel, const NumberedError &error) {
    channel.out.tag(wire::Failure);
    channel.out.i64(error.number());
    channel.out.text(error.description());
    channel.send();
}

void answer(Channel &channel, MdbDatabase &database, char request, const std::string &table) {
    wire::Encoder &out = channel.out;
    switch (request) {
    case wire::AskFields: {
        const std::vector<AccessField> fields = database.fields(table);
        out.tag(wire::FieldList);
        out.u32(static_cast<std::uint32_t>(fields.size()));
        for (const AccessField &field : fields) {
            out.text(field.name);
            out.i64(field.type);
        }
        break;
    }
    case wire::AskCount:
        out.tag(wire::Count);
        out.i64(database.recordCount(table));
        break;
    case wire::AskRows:
        database.forEachRecord(table, [&](const std::vector<Value> &values) {
            out.tag(wire::Row);
            out.u32(static_cast<std::uint32_t>(values.size()));
            for (const Value &value : values)
                out.value(value);
            channel.sendWhenFull();
        });
        out.tag(wire::RowsDone);
        break;
    default:
        _exit(2); // not a request of the program's
    }
    channel.send();
}

} // namespace

void LimitMemoryGrowth(long megabytes) {
    const long page = sysconf(_SC_PAGESIZE), budget = megabytes * 1024 * 1024 / page;
    const ProcessMemory now = ReadProcessMemory("self");
    const rlim_t limit = static_cast<rlim_t>(now.addressSpacePages + budget) * static_cast<rlim_t>(page);
    const struct rlimit space = {limit, limit};
    setrlimit(RLIMIT_AS, &space);
    // The address space cannot bound a sanitizer's allocator, which reserves its space at start;
    // a watch on resident memory ends the reader at the same budget there.
    std::thread([most = now.residentPages + budget] {
        for (;;) {
            if (ReadProcessMemory("self").residentPages > most)
                _exit(3);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }).detach();
}

void ServeAccessDatabase(const std::string &path, int fd) {
    Channel channel(fd);
    std::unique_ptr<MdbDatabase> database;
    try {
        database = std::make_unique<MdbDatabase>(path);
        const std::vector<std::string> names = database->tableNames();
        channel.out.tag(wire::TableList);
        channel.out.u32(static_cast<std::uint32_t>(names.size()));
        for (const std::string &name : names)
            channel.out.text(name);
        channel.send();
    } catch (const NumberedError &error) {
        sendFailure(channel, error);
        return;
    }
    wire::Decoder<Channel> requests(channel);
    for (;;) {
        const char request = requests.tag();
        const std::string table = requests.text();
        try {
            answer(channel, *database, request, table);
        } catch (const NumberedError &error) {
            channel.out.bytes().clear();
            sendFailure(channel, error);
        }
    }
}

} // namespace tarnwick
