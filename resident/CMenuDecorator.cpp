#include "resident/CMenuDecorator.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/MenuItemDraw.h"
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

        // Kept before the entry points at it, so that no entry can point at a record that
        // could not be kept.
        m_records.push_back({popup, info.wID, std::move(owned)});
        MENUITEMINFOA changed{};
        changed.cbSize = sizeof changed;
        changed.fMask = MIIM_FTYPE | MIIM_DATA;
        changed.fType = info.fType | MFT_OWNERDRAW;
        changed.dwItemData = reinterpret_cast<ULONG_PTR>(record);
        if (!SetMenuItemInfoA(popup, i, TRUE, &changed)) {
            m_records.pop_back();
        }
    }
}

void CMenuDecorator::ReleasePopup(HMENU popup) {
    auto keep = std::stable_partition(m_records.begin(), m_records.end(),
                                      [popup](const Entry& e) { return e.menu != popup; });
    for (auto it = keep; it != m_records.end(); ++it) {
        if (IsMenu(it->menu)) {
            // The entry may outlive this call: it must not point at freed memory.
            const int count = GetMenuItemCount(it->menu);
            for (int i = 0; i < count; ++i) {
                MENUITEMINFOA info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_FTYPE | MIIM_DATA;
                if (GetMenuItemInfoA(it->menu, i, TRUE, &info) &&
                    info.dwItemData == reinterpret_cast<ULONG_PTR>(it->record.get())) {
                    info.fMask = MIIM_FTYPE | MIIM_DATA;
                    info.fType &= ~MFT_OWNERDRAW;
                    info.dwItemData = 0;
                    SetMenuItemInfoA(it->menu, i, TRUE, &info);
                    break;
                }
            }
        }
    }
    m_records.erase(keep, m_records.end()); // and the records with them
}

void CMenuDecorator::ReleaseAll() {
    while (!m_records.empty()) {
        ReleasePopup(m_records.front().menu);
    }
}

CMenuDecorator::Record* CMenuDecorator::FindRecord(ULONG_PTR data) const {
    if (!data) {
        return nullptr;
    }
    for (const Entry& entry : m_records) {
        if (reinterpret_cast<ULONG_PTR>(entry.record.get()) == data &&
            std::memcmp(entry.record->tag, kRecordTag, sizeof kRecordTag) == 0) {
            return entry.record.get();
        }
    }
    return nullptr;
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

bool CMenuDecorator::OnMenuChar(char typed, HMENU menu, LRESULT* result) {
    bool ours = false;
    for (const Entry& entry : m_records) {
        ours = ours || entry.menu == menu;
    }
    if (!ours) {
        return false;
    }
    std::vector<std::string> labels;
    int highlighted = -1;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_STATE;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fState & MFS_HILITE) {
            highlighted = i;
        }
        const Record* record = FindRecord(info.dwItemData);
        labels.emplace_back(record ? record->label : "");
    }
    const corvina::MenuCharResult resolved = corvina::ResolveMenuChar(labels, typed, highlighted);
    switch (resolved.action) {
    case corvina::MenuCharAction::Execute:
        *result = MAKELRESULT(resolved.index, MNC_EXECUTE);
        return true;
    case corvina::MenuCharAction::Select:
        *result = MAKELRESULT(resolved.index, MNC_SELECT);
        return true;
    case corvina::MenuCharAction::Default:
        break;
    }
    return false;
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
        return OnMenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam),
                          result);
    case WM_SYSCOLORCHANGE:
        LoadImages();
        return false;
    case WM_SETTINGCHANGE:
        UpdateFont();
        return false;
    }
    return false;
}
