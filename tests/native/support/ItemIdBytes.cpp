#include "ItemIdBytes.h"

namespace corvina {

Bytes Id(uint16_t count, uint8_t fill) {
    Bytes id(count, fill);
    id[0] = static_cast<uint8_t>(count & 0xFF);
    id[1] = static_cast<uint8_t>(count >> 8);
    return id;
}

Bytes List(std::initializer_list<Bytes> ids) {
    Bytes out;
    for (const Bytes& id : ids) {
        out.insert(out.end(), id.begin(), id.end());
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

} // namespace corvina
