#include "settings/value_exchange.h"

#include <bit>

namespace {

// Reads a value that must have exactly this type and size.
bool ReadExact(RegKey& key, const char* name, uint32_t wantedType, uint8_t* data, uint32_t wantedSize) {
    uint32_t type = 0;
    uint32_t size = wantedSize;
    if (!platform::KeyValues.readValue(key.Handle(), name, type, data, size)) return false;
    return type == wantedType && size == wantedSize;
}

template <typename Field>
bool ExchangeThroughDword(RegKey& key, bool save, const char* name, Field& field) {
    uint32_t copy = static_cast<uint32_t>(field);
    if (!ExchangeDword(key, save, name, copy)) return false;
    if (!save) field = static_cast<Field>(copy);
    return true;
}

}  // namespace

bool ExchangeDword(RegKey& key, bool save, const char* name, uint32_t& field) {
    if (!key.IsOpen()) return false;
    uint8_t bytes[4];
    if (save) {
        for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(field >> (8 * i));
        return platform::KeyValues.writeValue(key.Handle(), name, platform::StoreDword, bytes, 4);
    }
    if (!ReadExact(key, name, platform::StoreDword, bytes, 4)) return false;
    field = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

bool ExchangeInt(RegKey& key, bool save, const char* name, int32_t& field) {
    return ExchangeThroughDword(key, save, name, field);
}

bool ExchangeWord(RegKey& key, bool save, const char* name, uint16_t& field) {
    return ExchangeThroughDword(key, save, name, field);  // the cast keeps the low 16 bits
}

bool ExchangeBool(RegKey& key, bool save, const char* name, bool& field) {
    uint32_t copy = field ? 1 : 0;
    if (!ExchangeDword(key, save, name, copy)) return false;
    if (!save) field = copy != 0;
    return true;
}

bool ExchangeBinary(RegKey& key, bool save, const char* name, uint8_t* field, uint32_t size) {
    if (!key.IsOpen()) return false;
    if (save) return platform::KeyValues.writeValue(key.Handle(), name, platform::StoreBinary, field, size);
    // Read into a scratch copy so that a value of the right type but another
    // size leaves the field untouched.
    uint8_t scratch[1024];
    if (size > sizeof scratch) return false;
    if (!ReadExact(key, name, platform::StoreBinary, scratch, size)) return false;
    for (uint32_t i = 0; i < size; ++i) field[i] = scratch[i];
    return true;
}

bool ExchangeDouble(RegKey& key, bool save, const char* name, double& field) {
    uint8_t bytes[8];
    const uint64_t bits = std::bit_cast<uint64_t>(field);
    for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(bits >> (8 * i));
    if (!ExchangeBinary(key, save, name, bytes, 8)) return false;
    if (!save) {
        uint64_t loaded = 0;
        for (int i = 0; i < 8; ++i) loaded |= uint64_t(bytes[i]) << (8 * i);
        field = std::bit_cast<double>(loaded);
    }
    return true;
}
