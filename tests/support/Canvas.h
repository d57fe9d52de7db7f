// A 32-bit top-down DIB section selected into its own memory DC, to paint into and read
// back pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>

class CCanvas {
public:
    CCanvas(int width, int height);
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    ~CCanvas();

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Valid() const { return m_bits != nullptr; }
    void Fill(COLORREF colour);
    // As a COLORREF (0x00BBGGRR); CLR_INVALID outside.
    COLORREF Pixel(int x, int y) const;
    // Pixels in [left, right) x [top, bottom) that differ from colour.
    int CountOther(const RECT& area, COLORREF colour) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    const uint32_t* m_bits = nullptr;
};
