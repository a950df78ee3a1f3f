#pragma once
// A bounds-checked window on bytes read from the file, with little-endian reads. Every read past
// its end reports the file as damaged, naming the structure the window holds.
#include "db/jet/JetError.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace tarnwick::jet {

class ByteView {
public:
    ByteView() = default;
    ByteView(const std::uint8_t *data, std::size_t size, const char *what) : data_(data), size_(size), what_(what) {}

    const std::uint8_t *data() const { return data_; }
    std::size_t size() const { return size_; }
    const char *what() const { return what_; }

    std::uint8_t u8(std::size_t at) const { return data_[check(at, 1)]; }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(unsignedAt(at, 2)); }
    std::uint32_t u24(std::size_t at) const { return static_cast<std::uint32_t>(unsignedAt(at, 3)); }
    std::uint32_t u32(std::size_t at) const { return static_cast<std::uint32_t>(unsignedAt(at, 4)); }
    std::int16_t i16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
    std::int64_t i64(std::size_t at) const { return static_cast<std::int64_t>(unsignedAt(at, 8)); }
    float f32(std::size_t at) const {
        float value;
        std::memcpy(&value, data_ + check(at, 4), 4);
        return value;
    }
    double f64(std::size_t at) const {
        double value;
        std::memcpy(&value, data_ + check(at, 8), 8);
        return value;
    }
    // The `length` bytes from `at`, as a window of its own.
    ByteView slice(std::size_t at, std::size_t length) const { return {data_ + check(at, length), length, what_}; }
    std::string bytes() const { return std::string(reinterpret_cast<const char *>(data_), size_); }

private:
    std::size_t check(std::size_t at, std::size_t length) const {
        if (at > size_ || length > size_ - at)
            ThrowDamaged(std::string("a ") + what_ + " ends before its own fields do");
        return at;
    }
    // Host byte order is not assumed: the bytes are assembled least significant first.
    std::uint64_t unsignedAt(std::size_t at, std::size_t length) const {
        check(at, length);
        std::uint64_t value = 0;
        for (std::size_t i = length; i-- > 0;)
            value = value << 8 | data_[at + i];
        return value;
    }

    const std::uint8_t *data_ = nullptr;
    std::size_t size_ = 0;
    const char *what_ = "record";
};

} // namespace tarnwick::jet
