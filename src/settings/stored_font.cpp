#include "settings/stored_font.h"

#include <cstddef>
#include <initializer_list>

namespace {

// Little-endian fields at fixed offsets, whatever the host's order.
class ByteWriter {
public:
    explicit ByteWriter(uint8_t* bytes) : bytes_(bytes) {}
    void Put(uint32_t value, int width) {
        for (int i = 0; i < width; ++i) bytes_[offset_++] = uint8_t(value >> (8 * i));
    }

private:
    uint8_t* bytes_;
    size_t offset_ = 0;
};

class ByteReader {
public:
    explicit ByteReader(const uint8_t* bytes) : bytes_(bytes) {}
    uint32_t Get(int width) {
        uint32_t value = 0;
        for (int i = 0; i < width; ++i) value |= uint32_t(bytes_[offset_++]) << (8 * i);
        return value;
    }

private:
    const uint8_t* bytes_;
    size_t offset_ = 0;
};

}  // namespace

void EncodeStoredFont(const StoredFont& stored, uint8_t (&bytes)[StoredFontSize]) {
    const FontDescription& f = stored.font;
    ByteWriter w(bytes);
    for (int32_t v : {f.height, f.width, f.escapement, f.orientation, f.weight}) w.Put(uint32_t(v), 4);
    for (uint8_t v : {f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality,
                      f.pitchAndFamily}) {
        w.Put(v, 1);
    }
    for (char16_t unit : f.faceName) w.Put(unit, 2);
    w.Put(stored.chosen, 4);
}

StoredFont DecodeStoredFont(const uint8_t (&bytes)[StoredFontSize]) {
    StoredFont stored{};
    FontDescription& f = stored.font;
    ByteReader r(bytes);
    for (int32_t* v : {&f.height, &f.width, &f.escapement, &f.orientation, &f.weight}) *v = int32_t(r.Get(4));
    for (uint8_t* v : {&f.italic, &f.underline, &f.strikeOut, &f.charSet, &f.outPrecision, &f.clipPrecision,
                       &f.quality, &f.pitchAndFamily}) {
        *v = uint8_t(r.Get(1));
    }
    for (char16_t& unit : f.faceName) unit = char16_t(r.Get(2));
    f.faceName[31] = u'\0';
    stored.chosen = r.Get(4);
    return stored;
}
