#include "hostsim/byte_reader.h"

#include "hostsim/host_error.h"

#include <cstring>
#include <utility>

namespace hostsim {

ByteReader::ByteReader(const uint8* data, std::size_t size, std::string context)
    : data_(data), size_(data ? size : 0), context_(std::move(context)) {}

void ByteReader::Fail(const char* field, const std::string& problem) const {
    throw HostError(context_ + ": " + field + " at offset " + std::to_string(offset_) + ": " + problem);
}

void ByteReader::Need(std::size_t n, const char* field) const {
    if (n > size_ - offset_) {
        Fail(field, "needs " + std::to_string(n) + " bytes, only " + std::to_string(size_ - offset_) + " left");
    }
}

const uint8* ByteReader::Take(std::size_t n, const char* field) {
    Need(n, field);
    const uint8* p = data_ + offset_;
    offset_ += n;
    return p;
}

uint8 ByteReader::U8(const char* field) { return *Take(1, field); }

uint16 ByteReader::U16(const char* field) {
    const uint8* p = Take(2, field);
    return uint16(p[0] | (p[1] << 8));
}

int16 ByteReader::I16(const char* field) { return int16(U16(field)); }

uint32 ByteReader::U32(const char* field) {
    const uint8* p = Take(4, field);
    return uint32(p[0]) | (uint32(p[1]) << 8) | (uint32(p[2]) << 16) | (uint32(p[3]) << 24);
}

int32 ByteReader::I32(const char* field) { return int32(U32(field)); }

std::string ByteReader::PascalString(const char* field) {
    Need(1, field);
    const std::size_t length = data_[offset_];
    if (length + 1 > size_ - offset_) {
        Fail(field, "string of " + std::to_string(length) + " bytes runs past the end");
    }
    const uint8* p = Take(1 + length, field);
    return std::string(reinterpret_cast<const char*>(p + 1), length);
}

std::string ByteReader::CString(const char* field) {
    const void* zero = remaining() ? std::memchr(data_ + offset_, 0, remaining()) : nullptr;
    if (!zero) Fail(field, "string has no terminating zero");
    const std::size_t length = static_cast<const uint8*>(zero) - (data_ + offset_);
    const uint8* p = Take(length + 1, field);
    return std::string(reinterpret_cast<const char*>(p), length);
}

}  // namespace hostsim
