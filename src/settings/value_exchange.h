// Typed exchange of one value between a field and an open settings key: one
// call both saves (save true) and loads (save false), so that one list of
// value names serves both directions. Each helper fails at once when the key
// is not open. On a failed load the field keeps the value it had: a value
// that is missing, of another type or of another size is skipped.
#pragma once
#include <cstdint>

#include "settings/reg_key.h"

// REG_DWORD, 4 bytes little-endian.
bool ExchangeDword(RegKey& key, bool save, const char* name, uint32_t& field);
// Through a 32-bit copy: a signed field, a 16-bit field (written
// zero-extended, read from the low 16 bits), a bool (written 0 or 1, read as
// true when not 0).
bool ExchangeInt(RegKey& key, bool save, const char* name, int32_t& field);
bool ExchangeWord(RegKey& key, bool save, const char* name, uint16_t& field);
bool ExchangeBool(RegKey& key, bool save, const char* name, bool& field);
// REG_BINARY of exactly `size` bytes (at most 1024).
bool ExchangeBinary(RegKey& key, bool save, const char* name, uint8_t* field, uint32_t size);
// An IEEE 754 double as 8 bytes of REG_BINARY, little-endian.
bool ExchangeDouble(RegKey& key, bool save, const char* name, double& field);
