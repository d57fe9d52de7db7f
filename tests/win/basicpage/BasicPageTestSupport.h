// Shared by the editor page's Windows tests: the list key kept aside and put back, scratch
// files, and the message boxes the program shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// A fresh folder under the temporary folder (trailing backslash), removed with its files.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }
    // Creates an empty file in the folder; its full path.
    std::string AddFile(const char* name);
    std::string AddFolder(const char* name);

private:
    std::string m_path;
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

// A message box of the program (caption "Corvina" or its Japanese form) belonging to
// process (0: any), waited for; nullptr when none appears.
HWND WaitForMessageBox(DWORD process = 0);
// Its text, as the box shows it.
std::wstring MessageBoxText(HWND box);
// Presses the box's only (or first) button and waits for it to go.
bool AnswerMessageBox(HWND box, int button = IDOK);

// The ANSI form of a wide text, as the program builds it.
std::string Ansi(const std::wstring& text);
std::wstring Wide(const std::string& text);
// The Japanese or English variant for this run.
std::wstring ForRun(const wchar_t* japanese, const wchar_t* english);

} // namespace basicpage_test
