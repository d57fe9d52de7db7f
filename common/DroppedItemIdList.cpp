#include "common/DroppedItemIdList.h"

#include "common/core/ShellIdListArray.h"
#include "framework/Handles.h"

namespace {

FORMATETC ShellIdListArrayFormatEtc() {
    return {ShellIdListArrayFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Parses the locked block; the block's own size is the only bound the sender cannot lie
// about.
template <class Use> void WithParsedBlock(HGLOBAL block, bool singleItem, Use use) {
    if (!block) {
        return;
    }
    CGlobalLock lock(block);
    if (!lock) {
        return;
    }
    const size_t size = static_cast<size_t>(lock.Size());
    const corvina::ShellIdListArray array =
        singleItem ? corvina::ParseSingleItemIdListArray(lock.Get(), size)
                   : corvina::ParseShellIdListArray(lock.Get(), size);
    if (array.Valid()) {
        use(array);
    }
}

CItemIdList JoinItem(const corvina::ShellIdListArray& array, size_t index) {
    const size_t size = corvina::AbsoluteItemIdListSize(array, index);
    void* joined = size ? CoTaskMemAlloc(size) : nullptr;
    if (!joined) {
        return CItemIdList();
    }
    corvina::BuildAbsoluteItemIdList(array, index, static_cast<uint8_t*>(joined));
    return CItemIdList(static_cast<LPITEMIDLIST>(joined));
}

// Gets the data object's block, hands it to `read` and releases the medium, whatever kind
// of medium the object chose to give.
template <class Result, class Read> Result ReadDropped(IDataObject* data, Read read) {
    if (!data) {
        return Result();
    }
    FORMATETC format = ShellIdListArrayFormatEtc();
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
        return Result();
    }
    Result result;
    if (medium.tymed == TYMED_HGLOBAL) {
        result = read(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return result;
}

} // namespace

CLIPFORMAT ShellIdListArrayFormat() {
    static const CLIPFORMAT format =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array"));
    return format;
}

bool OffersShellIdListArray(IDataObject* data) {
    if (!data) {
        return false;
    }
    FORMATETC format = ShellIdListArrayFormatEtc();
    return data->QueryGetData(&format) == S_OK;
}

CItemIdList ItemIdListFromShellIdListArray(HGLOBAL block) {
    CItemIdList result;
    WithParsedBlock(block, true,
                    [&](const corvina::ShellIdListArray& array) { result = JoinItem(array, 0); });
    return result;
}

std::vector<CItemIdList> ItemIdListsFromShellIdListArray(HGLOBAL block) {
    std::vector<CItemIdList> result;
    WithParsedBlock(block, false, [&](const corvina::ShellIdListArray& array) {
        result.reserve(array.items.size());
        for (size_t i = 0; i < array.items.size(); ++i) {
            CItemIdList item = JoinItem(array, i);
            if (!item) {
                // All or nothing: a drop never adds part of what was dragged.
                result.clear();
                return;
            }
            result.push_back(std::move(item));
        }
    });
    return result;
}

CItemIdList ReadSingleDroppedItemIdList(IDataObject* data) {
    return ReadDropped<CItemIdList>(data, ItemIdListFromShellIdListArray);
}

std::vector<CItemIdList> ReadDroppedItemIdLists(IDataObject* data) {
    return ReadDropped<std::vector<CItemIdList>>(data, ItemIdListsFromShellIdListArray);
}
