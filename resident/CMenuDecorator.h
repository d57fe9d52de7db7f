// Draws the frame's own popup menus (the notification icon's menu) owner-drawn in the look of
// the suite's menus, with toolbar images beside the commands that have one. The frame passes
// its messages through HandleMessage first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "common/MenuItemDataOwner.h"
#include "framework/Handles.h"

class CMenuDecorator {
public:
    // The first bytes of every record this decorator hangs on a menu entry.
    static const char kRecordTag[4]; // 'm', 'i', 'd', '0'

    CMenuDecorator();
    ~CMenuDecorator();
    CMenuDecorator(const CMenuDecorator&) = delete;
    CMenuDecorator& operator=(const CMenuDecorator&) = delete;

    // Decorates the popups of frame, taking the images from bitmap toolbarId of resources
    // (cells of imageWidth x imageHeight on one background colour, that of the top-left
    // pixel) and their commands from the toolbar resource of the same id. False when the images
    // could not be loaded; menus are still owner-drawn then, without images.
    bool Attach(HWND frame, HINSTANCE resources, UINT toolbarId, int imageWidth, int imageHeight);
    // Handles the owner-draw, menu and colour messages of the frame. True when the message
    // was handled, with its result in *result.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Turns every entry of popup into an owner-drawn one carrying a record.
    void DecoratePopup(HMENU popup);
    // Gives popup's entries back their plain form and frees their records.
    void ReleasePopup(HMENU popup);
    void ReleaseAll();
    size_t GetRecordCount() const { return m_records.Size(); }
    int GetImageIndex(UINT command) const;
    HFONT GetFont() const { return m_font.Get(); }

private:
    // The entry's menu item carries a plain pointer to its record as its data; the record
    // lives as long as the entry is decorated.
    struct Record {
        char tag[4];
        UINT flags; // the entry's MF_* state and type when it was converted
        int image;  // toolbar image, -1 for none
        char label[260];
        HMENU menu; // the popup the entry is in
    };

    Record* FindRecord(ULONG_PTR data) const;
    bool OnMeasureItem(MEASUREITEMSTRUCT* measure);
    bool OnDrawItem(const DRAWITEMSTRUCT& draw);
    // wParam as the frame got it.
    bool OnMenuChar(WPARAM typed, HMENU menu, LRESULT* result);
    void LoadImages();
    void UpdateFont();

    HWND m_frame = nullptr;
    HINSTANCE m_resources = nullptr;
    UINT m_toolbarId = 0;
    int m_imageWidth = 16;
    int m_imageHeight = 15;
    std::vector<uint16_t> m_imageCommands;
    CImageListHandle m_images;
    CFontHandle m_font;
    CMenuItemDataOwner<Record> m_records;
};
