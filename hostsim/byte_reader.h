// Bounds-checked reading of little-endian resource data.
#pragma once
#include "pluginapi/pi_types.h"

#include <cstddef>
#include <string>

namespace hostsim {

// Reads fields one after the other from a byte range it does not own. Every read checks that
// the bytes are there and throws HostError naming the context, the field and the offset
// otherwise, so a truncated or garbled resource can never be read past its end.
class ByteReader {
public:
    ByteReader(const uint8* data, std::size_t size, std::string context);

    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return size_ - offset_; }
    bool AtEnd() const { return offset_ == size_; }

    uint8 U8(const char* field);
    uint16 U16(const char* field);
    int16 I16(const char* field);
    uint32 U32(const char* field);
    int32 I32(const char* field);

    // Returns a pointer to the next n bytes and moves past them.
    const uint8* Take(std::size_t n, const char* field);
    void Skip(std::size_t n, const char* field) { Take(n, field); }

    // One length byte, then that many characters.
    std::string PascalString(const char* field);
    // Characters up to a zero byte, which must lie within the data; the zero is consumed.
    std::string CString(const char* field);

    // Throws HostError "<context>: <field> at offset N: <problem>".
    [[noreturn]] void Fail(const char* field, const std::string& problem) const;

private:
    void Need(std::size_t n, const char* field) const;

    const uint8* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    std::string context_;
};

}  // namespace hostsim
