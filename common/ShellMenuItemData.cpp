#include "common/ShellMenuItemData.h"

#include <shellapi.h>

#include <new>
#include <string_view>
#include <utility>

#include "common/core/AnsiText.h"
#include "common/core/WideText.h"
#include "common/WideLabels.h"
#include "framework/AnsiWide.h"

namespace {

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

HIMAGELIST FetchSystemSmallImageList() {
    char windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length < 3 || length >= MAX_PATH) {
        return nullptr;
    }
    windows[3] = '\0'; // "C:\"
    SHFILEINFOA info = {};
    const DWORD_PTR result = SHGetFileInfoA(windows, 0, &info, sizeof(info),
                                            SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_SMALLICON);
    // Asking for the icon hands us a copy of it that nobody else would destroy.
    if (info.hIcon) {
        DestroyIcon(info.hIcon);
    }
    return reinterpret_cast<HIMAGELIST>(result);
}

HIMAGELIST g_systemSmallImageList = nullptr;

} // namespace

HIMAGELIST SystemSmallImageList() {
    void* cached = InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(&g_systemSmallImageList), nullptr, nullptr);
    if (cached) {
        return static_cast<HIMAGELIST>(cached);
    }
    // Two threads may both ask the shell; they get the same process-wide list, so the
    // first one stored wins and nothing is lost.
    HIMAGELIST fetched = FetchSystemSmallImageList();
    if (!fetched) {
        return nullptr;
    }
    void* previous = InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(&g_systemSmallImageList), fetched, nullptr);
    return previous ? static_cast<HIMAGELIST>(previous) : fetched;
}

ShellMenuItemData::ShellMenuItemData() : m_imageList(SystemSmallImageList()) {
    m_label[0] = '\0';
}

ShellMenuItemData::~ShellMenuItemData() = default;

std::unique_ptr<ShellMenuItemData> ShellMenuItemData::Create(MenuItemKind kind) {
    std::unique_ptr<ShellMenuItemData> data(new (std::nothrow) ShellMenuItemData);
    if (data) {
        data->SetKind(kind);
    }
    return data;
}

void ShellMenuItemData::SetLabel(const char* label) {
    m_wide = false;
    m_labelStale = false;
    m_wideLabel.clear();
    corvina::CopyAnsiText(label ? std::string_view(label) : std::string_view(), m_label,
                          sizeof(m_label), IsSystemLeadByte);
}

void ShellMenuItemData::SetWideLabel(const wchar_t* label) {
    const std::wstring_view text = label ? std::wstring_view(label) : std::wstring_view();
    m_wideLabel.assign(text.substr(0, corvina::WidePrefixLength(AsUtf16(text), kLabelSize - 1)));
    m_wide = true;
    m_labelStale = true;
}

const char* ShellMenuItemData::GetLabel() const {
    if (m_labelStale) {
        corvina::CopyAnsiText(WideToAnsi(m_wideLabel), m_label, sizeof(m_label), IsSystemLeadByte);
        m_labelStale = false;
    }
    return m_label;
}

void ShellMenuItemData::SetIconIndex(int iconIndex) {
    m_iconIndex = iconIndex;
    m_iconPending = false;
}

int ShellMenuItemData::GetIconIndex() const {
    return m_iconIndex;
}

void ShellMenuItemData::SetImageList(HIMAGELIST imageList) {
    m_imageList = imageList;
}

HIMAGELIST ShellMenuItemData::GetImageList() const {
    return m_imageList;
}

void ShellMenuItemData::SetKind(MenuItemKind kind) {
    m_kind = kind;
}

MenuItemKind ShellMenuItemData::GetKind() const {
    return m_kind;
}

void ShellMenuItemData::SetItemIdList(CItemIdList list) {
    m_itemIdList = std::move(list);
}

CItemIdList ShellMenuItemData::DetachItemIdList() {
    return std::move(m_itemIdList);
}
