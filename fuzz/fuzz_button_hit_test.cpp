// Arbitrary client and button rectangles, row counts and points: the hit tests never answer
// with an index outside -1 .. n-1, never claim a point outside the client area, and a button
// the point lies on is where an insertion goes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "band/core/ButtonHitTest.h"

using namespace corvina;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_size < 2; }
    // Small signed values, so that rectangles often overlap, touch and hold the point.
    int Next() {
        if (m_size < 2) {
            return 0;
        }
        int16_t v;
        std::memcpy(&v, m_data, 2);
        m_data += 2;
        m_size -= 2;
        return v % 200;
    }
    BandRect Rect() {
        BandRect r;
        r.left = Next();
        r.top = Next();
        r.right = Next();
        r.bottom = Next();
        return r;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    const int x = in.Next();
    const int y = in.Next();
    const int rows = in.Next();
    const BandRect client = in.Rect();
    std::vector<BandRect> buttons;
    while (!in.Empty() && buttons.size() < 64) {
        buttons.push_back(in.Rect());
    }
    const int n = static_cast<int>(buttons.size());
    const bool inClient =
        client.left <= x && x < client.right && client.top <= y && y < client.bottom;

    const ButtonHit onButton = HitTestButton(client, buttons, x, y);
    Check(onButton.inside == inClient);
    Check(onButton.index >= -1 && onButton.index < n);
    Check(inClient || onButton.index == -1);

    const ButtonHit insertion = HitTestInsertion(client, buttons, rows, x, y);
    Check(insertion.inside == inClient);
    Check(insertion.index >= -1 && insertion.index < n);
    Check(inClient || insertion.index == -1);
    if (onButton.index >= 0) {
        Check(insertion.index == onButton.index);
    }
    return 0;
}
