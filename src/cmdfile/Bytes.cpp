#include "cmdfile/Bytes.h"

#include "cmdfile/Errors.h"

namespace vocabrella {

void ByteReader::fail(const char* what) const { throw FormatError(cursor_ + 1, what); }

void ByteReader::seek(std::size_t cursor) {
    if (cursor > bytes_.size()) throw FormatError(cursor + 1, "a position inside the file");
    cursor_ = cursor;
}

std::uint8_t ByteReader::readByte(const char* what) {
    need(1, what);
    return bytes_[cursor_++];
}

std::uint32_t ByteReader::readLong(const char* what) {
    need(4, what);
    const auto* p = bytes_.data() + cursor_;
    cursor_ += 4;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t ByteReader::peekWord(std::size_t cursor) const {
    if (cursor > bytes_.size() || bytes_.size() - cursor < 2)
        throw FormatError(cursor + 1, "a 2-byte number");
    return static_cast<std::uint16_t>(bytes_[cursor] | bytes_[cursor + 1] << 8);
}

std::uint32_t ByteReader::readCount(const char* what) {
    need(1, what);
    const std::uint8_t first = bytes_[cursor_];
    if (first < 255) {
        ++cursor_;
        return first;
    }
    need(3, what);
    const std::uint16_t word = peekWord(cursor_ + 1);
    if (word < 65535) {
        cursor_ += 3;
        return word;
    }
    need(7, what);
    cursor_ += 3;
    return readLong(what);
}

std::string_view ByteReader::readCountedBytes(const char* what) {
    const std::size_t start = cursor_;
    const std::uint32_t n = readCount(what);
    if (n > bytes_.size() - cursor_) {
        cursor_ = start;
        fail(what);
    }
    std::string_view s(reinterpret_cast<const char*>(bytes_.data() + cursor_), n);
    cursor_ += n;
    return s;
}

void ByteReader::skip(std::size_t n, const char* what) {
    need(n, what);
    cursor_ += n;
}

void ByteWriter::writeLong(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ByteWriter::writeCount(std::uint32_t n) {
    if (n < 255) {
        writeByte(static_cast<std::uint8_t>(n));
    } else if (n <= 65533) {
        writeByte(255);
        writeByte(static_cast<std::uint8_t>(n));
        writeByte(static_cast<std::uint8_t>(n >> 8));
    } else {
        writeByte(255);
        writeByte(255);
        writeByte(255);
        writeLong(n);
    }
}

void ByteWriter::writeCountedBytes(std::string_view bytes) {
    writeCount(static_cast<std::uint32_t>(bytes.size()));
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

std::size_t countPrefixSize(std::uint32_t n) { return n < 255 ? 1 : n <= 65533 ? 3 : 7; }

} // namespace vocabrella
