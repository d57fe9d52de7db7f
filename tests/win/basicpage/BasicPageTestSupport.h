// Shared by the editor page's Windows tests: the list key kept aside and put back, and the
// list written and read back as stored.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace basicpage_test {

// Holds every value of HKCU\Software\Velmora\Corvina and the extension's handler key state
// while a test runs and puts the list values back afterwards.
class SavedListKey {
public:
    SavedListKey();
    ~SavedListKey();
    SavedListKey(const SavedListKey&) = delete;
    SavedListKey& operator=(const SavedListKey&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    bool m_existed = false;
    std::vector<Value> m_values;
};

// Writes Length, NO.k and DN.k of the list key directly (an independent writer).
void WriteStoredList(const std::vector<std::string>& paths, const std::vector<std::string>& names);
// Reads the stored records back: the item ID list bytes and the name of each, up to Length.
struct StoredRecord {
    std::vector<BYTE> itemIdList;
    std::string name;
    bool hasName;
};
std::vector<StoredRecord> ReadStoredList();
// The bytes of the item ID list the desktop folder makes of path.
std::vector<BYTE> ItemIdListBytes(const std::string& path);
// The shell's display name of path.
std::string ShellDisplayName(const std::string& path);

} // namespace basicpage_test
