#include "resident/CMenuDecorator.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/MenuItemDraw.h"
#include "common/MenuKeys.h"
#include "common/core/MenuItemLayout.h"
#include "resident/core/ResidentOptions.h"

const char CMenuDecorator::kRecordTag[4] = {'m', 'i', 'd', '0'};

CMenuDecorator::CMenuDecorator() = default;

CMenuDecorator::~CMenuDecorator() {
    ReleaseAll();
}

bool CMenuDecorator::Attach(HWND frame, HINSTANCE resources, UINT toolbarId, int imageWidth,
                            int imageHeight) {
    m_frame = frame;
    m_resources = resources;
    m_toolbarId = toolbarId;
    m_imageWidth = imageWidth;
    m_imageHeight = imageHeight;
    m_imageCommands.clear();
    if (HRSRC found =
            FindResourceA(resources, MAKEINTRESOURCEA(toolbarId), MAKEINTRESOURCEA(241))) {
        if (HGLOBAL loaded = LoadResource(resources, found)) {
            const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
            m_imageCommands =
                corvina::ParseToolbarCommands(bytes, SizeofResource(resources, found));
        }
    }
    UpdateFont();
    LoadImages();
    return static_cast<bool>(m_images);
}

void CMenuDecorator::LoadImages() {
    m_images.Close();
    CBitmapHandle bitmap(static_cast<HBITMAP>(LoadImageA(m_resources, MAKEINTRESOURCEA(m_toolbarId),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) {
        return;
    }
    // The art is drawn on the classic grey, which is the button face only in the classic
    // scheme: masking by the system colour would leave grey boxes under every other one.
    COLORREF background = CLR_INVALID;
    {
        CMemoryDC dc(nullptr);
        CSelectObject select(dc.Get(), bitmap.Get());
        if (select.Succeeded()) {
            background = GetPixel(dc.Get(), 0, 0);
        }
    }
    if (background == CLR_INVALID) {
        background = GetSysColor(COLOR_BTNFACE);
    }
    m_images.Attach(ImageList_Create(m_imageWidth, m_imageHeight, ILC_COLOR24 | ILC_MASK, 2, 0));
    if (m_images) {
        ImageList_AddMasked(m_images, bitmap, background);
    }
}

void CMenuDecorator::UpdateFont() {
    m_font = CreateMenuFont();
    // Narrow texts are drawn in the font's character set: a menu font that names only the
    // Western set (as some systems report it) would show Japanese labels as Latin letters.
    LOGFONTA logFont{};
    if (m_font && GetObjectA(m_font, sizeof logFont, &logFont) &&
        logFont.lfCharSet == ANSI_CHARSET && GetACP() != 1252) {
        logFont.lfCharSet = DEFAULT_CHARSET;
        CFontHandle systemSet(CreateFontIndirectA(&logFont));
        if (systemSet) {
            m_font = std::move(systemSet);
        }
    }
}

int CMenuDecorator::GetImageIndex(UINT command) const {
    const int index = corvina::ToolbarImageIndex(m_imageCommands, command);
    if (index < 0 || !m_images || index >= ImageList_GetImageCount(m_images)) {
        return -1;
    }
    return index;
}

void CMenuDecorator::DecoratePopup(HMENU popup) {
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char text[260] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(popup, i, TRUE, &info) || (info.fType & MFT_OWNERDRAW)) {
            continue;
        }
        std::unique_ptr<Record> owned(new (std::nothrow) Record);
        Record* record = owned.get();
        if (!record) {
            return;
        }
        std::memcpy(record->tag, kRecordTag, sizeof record->tag);
        record->flags = info.fType | info.fState;
        record->image = (info.fType & MFT_SEPARATOR) ? -1 : GetImageIndex(info.wID);
        std::memcpy(record->label, text, sizeof record->label);
        record->label[sizeof record->label - 1] = '\0';
        record->menu = popup;

        // Kept before the entry points at it, so that no entry can point at a record that
        // could not be kept.
        if (m_records.Keep(std::move(owned)) == nullptr) {
            return;
        }
        MENUITEMINFOA changed{};
        changed.cbSize = sizeof changed;
        changed.fMask = MIIM_FTYPE | MIIM_DATA;
        changed.fType = info.fType | MFT_OWNERDRAW;
        changed.dwItemData = reinterpret_cast<ULONG_PTR>(record);
        if (!SetMenuItemInfoA(popup, i, TRUE, &changed)) {
            m_records.Free(record);
        }
    }
}

void CMenuDecorator::ReleasePopup(HMENU popup) {
    if (IsMenu(popup)) {
        // The entries may outlive this call: none may point at a freed record.
        const int count = GetMenuItemCount(popup);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            const Record* record =
                GetMenuItemInfoA(popup, i, TRUE, &info) ? m_records.Find(info.dwItemData) : nullptr;
            if (record != nullptr && record->menu == popup) {
                info.fMask = MIIM_FTYPE | MIIM_DATA;
                info.fType &= ~MFT_OWNERDRAW;
                info.dwItemData = 0;
                SetMenuItemInfoA(popup, i, TRUE, &info);
            }
        }
    }
    m_records.FreeIf([popup](const Record& record) { return record.menu == popup; });
}

void CMenuDecorator::ReleaseAll() {
    std::vector<HMENU> menus;
    m_records.ForEach([&menus](const Record& record) {
        if (std::find(menus.begin(), menus.end(), record.menu) == menus.end()) {
            menus.push_back(record.menu);
        }
    });
    for (HMENU menu : menus) {
        ReleasePopup(menu);
    }
}

CMenuDecorator::Record* CMenuDecorator::FindRecord(ULONG_PTR data) const {
    Record* record = m_records.Find(data);
    return record && std::memcmp(record->tag, kRecordTag, sizeof kRecordTag) == 0 ? record
                                                                                  : nullptr;
}

bool CMenuDecorator::OnMeasureItem(MEASUREITEMSTRUCT* measure) {
    if (!measure || measure->CtlType != ODT_MENU) {
        return false;
    }
    Record* record = FindRecord(measure->itemData);
    if (!record) {
        return false;
    }
    const bool separator = (record->flags & MFT_SEPARATOR) != 0;
    SIZE extent{0, 0};
    if (!separator) {
        const std::string shown = corvina::StripMenuMnemonics(record->label);
        CWindowDC dc(nullptr);
        CSelectObject font(dc, m_font.Get());
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
        if (shown.empty()) {
            TEXTMETRICA metrics{};
            GetTextMetricsA(dc, &metrics);
            extent.cy = metrics.tmHeight;
        }
    }
    const corvina::DecoratedSize size = corvina::MeasureDecoratedEntry(
        separator, extent.cx, extent.cy, GetSystemMetrics(SM_CYMENU));
    measure->itemWidth = static_cast<UINT>(size.width);
    measure->itemHeight = static_cast<UINT>(size.height);
    return true;
}

bool CMenuDecorator::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_MENU) {
        return false;
    }
    Record* record = FindRecord(draw.itemData);
    if (!record) {
        return false;
    }
    if (record->flags & MFT_SEPARATOR) {
        PaintMenuSeparator(draw.hDC, draw.rcItem);
        return true;
    }
    const std::string shown = corvina::StripMenuMnemonics(record->label);
    const bool flat = IsFlatMenuSystem() != FALSE;
    MenuEntryLook look{};
    look.label = shown.c_str();
    look.imageList = record->image >= 0 ? m_images.Get() : nullptr;
    look.iconIndex = record->image;
    look.selected = (draw.itemState & ODS_SELECTED) != 0;
    look.disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    PaintMenuEntry(draw.hDC, draw.rcItem, look, m_font.Get(), flat);
    if (record->image < 0 && (draw.itemState & ODS_CHECKED)) {
        const corvina::LayoutRect item{draw.rcItem.left, draw.rcItem.top, draw.rcItem.right,
                                       draw.rcItem.bottom};
        const corvina::LayoutRect box = corvina::MenuIconBoxRect(item);
        RECT mark{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2};
        const UINT kind = (record->flags & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK;
        DrawFrameControl(draw.hDC, &mark, DFC_MENU, kind);
    }
    return true;
}

bool CMenuDecorator::OnMenuChar(WPARAM typed, HMENU menu, LRESULT* result) {
    bool ours = false;
    m_records.ForEach([menu, &ours](const Record& record) { ours = ours || record.menu == menu; });
    if (!ours) {
        return false;
    }
    // The labels are the menu's own, drawn with their mnemonics.
    const LRESULT answer = AnswerMenuChar(
        menu, MenuCharText(typed, m_frame != nullptr && IsWindowUnicode(m_frame)),
        [this](const MENUITEMINFOA& item) -> const char* {
            const Record* record = FindRecord(item.dwItemData);
            return record ? record->label : nullptr;
        },
        MenuLabelPrefix::Ampersand);
    // A character no entry answers to is left to the system.
    if (HIWORD(answer) == MNC_IGNORE) {
        return false;
    }
    *result = answer;
    return true;
}

bool CMenuDecorator::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) { // not the window menu
            DecoratePopup(reinterpret_cast<HMENU>(wParam));
        }
        return false;
    case WM_UNINITMENUPOPUP:
        ReleasePopup(reinterpret_cast<HMENU>(wParam));
        return false;
    case WM_MENUSELECT:
        // 0xFFFF with no menu: the menu has closed.
        if (HIWORD(wParam) == 0xFFFF && lParam == 0) {
            ReleaseAll();
        }
        return false;
    case WM_EXITMENULOOP:
        ReleaseAll();
        return false;
    case WM_MEASUREITEM:
        if (OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
            *result = TRUE;
            return true;
        }
        return false;
    case WM_DRAWITEM:
        if (lParam && OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
            *result = TRUE;
            return true;
        }
        return false;
    case WM_MENUCHAR:
        return OnMenuChar(wParam, reinterpret_cast<HMENU>(lParam), result);
    case WM_SYSCOLORCHANGE:
        LoadImages();
        return false;
    case WM_SETTINGCHANGE:
        UpdateFont();
        return false;
    }
    return false;
}
