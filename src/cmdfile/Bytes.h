#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// Bounds-checked reading of a command file image. The cursor is a 0-based index; positions
// reported to the rest of the program (and in errors) are 1-based, as the store keeps them.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t cursor = 0)
        : bytes_(bytes), cursor_(cursor) {}

    std::size_t cursor() const { return cursor_; }
    std::uint32_t position() const { return static_cast<std::uint32_t>(cursor_ + 1); }
    void seek(std::size_t cursor);
    void seekPosition(std::uint32_t position1) { seek(position1 == 0 ? bytes_.size() + 1 : position1 - 1); }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - cursor_; }
    bool atEnd() const { return cursor_ >= bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    std::uint8_t readByte(const char* what = "a byte");
    std::uint32_t readLong(const char* what = "a 4-byte number");
    std::uint16_t peekWord(std::size_t cursor) const;
    // The length prefix of a counted string: 1 byte below 255; 255 + 2 bytes up to 65534;
    // 255,255,255 + 4 bytes beyond.
    std::uint32_t readCount(const char* what = "a length prefix");
    // The raw Windows-1252 bytes of a counted string.
    std::string_view readCountedBytes(const char* what = "a counted string");
    void skip(std::size_t n, const char* what = "reserved bytes");

private:
    [[noreturn]] void fail(const char* what) const;
    void need(std::size_t n, const char* what) const {
        if (n > bytes_.size() - cursor_) fail(what);
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t cursor_;
};

// The mirror of ByteReader: writers choose the shortest prefix.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void writeByte(std::uint8_t b) { out_.push_back(b); }
    void writeLong(std::uint32_t v);
    void writeCount(std::uint32_t n);
    // Raw Windows-1252 bytes with their prefix.
    void writeCountedBytes(std::string_view bytes);
    void writeBytes(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void writeZeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    std::size_t size() const { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

// Width of the prefix that writeCount chooses for n.
std::size_t countPrefixSize(std::uint32_t n);

} // namespace vocabrella
