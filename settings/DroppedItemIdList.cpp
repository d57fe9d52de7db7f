#include "settings/DroppedItemIdList.h"

#include "framework/Handles.h"
#include "settings/core/ShellIdListArray.h"

CLIPFORMAT ShellIdListArrayFormat() {
    static const CLIPFORMAT format =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array"));
    return format;
}

CItemIdList ItemIdListFromShellIdListArray(HGLOBAL block) {
    if (!block) {
        return CItemIdList();
    }
    CGlobalLock lock(block);
    if (!lock) {
        return CItemIdList();
    }
    // The block's own size is the only bound the sender cannot lie about.
    const corvina::ShellIdListArray array =
        corvina::ParseSingleItemIdListArray(lock.Get(), static_cast<size_t>(lock.Size()));
    if (!array.Valid()) {
        return CItemIdList();
    }
    const size_t size = corvina::AbsoluteItemIdListSize(array, 0);
    void* joined = CoTaskMemAlloc(size);
    if (!joined) {
        return CItemIdList();
    }
    corvina::BuildAbsoluteItemIdList(array, 0, static_cast<uint8_t*>(joined));
    return CItemIdList(static_cast<LPITEMIDLIST>(joined));
}

CItemIdList ReadSingleDroppedItemIdList(IDataObject* data) {
    if (!data) {
        return CItemIdList();
    }
    FORMATETC format = {ShellIdListArrayFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
        return CItemIdList();
    }
    CItemIdList result;
    if (medium.tymed == TYMED_HGLOBAL) {
        result = ItemIdListFromShellIdListArray(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return result;
}
