#include "Canvas.h"

CCanvas::CCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_dc = CreateCompatibleDC(nullptr);
    if (m_bitmap && m_dc) {
        m_previous = SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<const uint32_t*>(bits);
    }
}

CCanvas::~CCanvas() {
    if (m_dc && m_previous) {
        SelectObject(m_dc, m_previous);
    }
    if (m_dc) {
        DeleteDC(m_dc);
    }
    if (m_bitmap) {
        DeleteObject(m_bitmap);
    }
}

void CCanvas::Fill(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, m_width, m_height};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
}

COLORREF CCanvas::Pixel(int x, int y) const {
    GdiFlush();
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return CLR_INVALID;
    }
    const uint32_t bgr = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

int CCanvas::CountOther(const RECT& area, COLORREF colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            count += Pixel(x, y) != colour ? 1 : 0;
        }
    }
    return count;
}
