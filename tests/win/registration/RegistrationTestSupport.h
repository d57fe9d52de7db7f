// Shared by the registration tests: paths, the stand-in servers' record, scratch folders.
#pragma once

#include <windows.h>

#include <string>

bool IsJapaneseRun();
// "en" or "ja": keeps the two language runs' records and folders apart.
std::string RunLocale();

// A build-host path ("/work/...") as Wine reaches it ("Z:\work\...").
std::string HostPath(const char* path);
// A wide text in the ANSI code page of this run.
std::string ToAnsi(const wchar_t* text);
std::string CurrentDirectory();
bool SameText(const std::string& a, const std::string& b);

// What the stand-in server recorded: the calls in order ("register;unregister;") and the
// current directory during the last one. Empty when nothing was recorded.
struct ServerRecord {
    std::string calls;
    std::string directory;
};
ServerRecord ReadServerRecord();
void ClearServerRecord();

// Runs a program and waits for it to end; its exit code, or -1. Wine starts programs of the
// build host too, but does not report their exit codes.
int RunHostProgram(const std::string& commandLine);
// The build host's path of a Windows path, through Wine's own conversion; empty if none.
std::string UnixPathOf(const std::string& windowsPath);

// A folder of its own under the temporary folder, emptied and removed at the end.
class CScratchFolder {
public:
    explicit CScratchFolder(const std::string& name);
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    ~CScratchFolder();

    // Path without a trailing backslash.
    const std::string& Path() const { return m_path; }
    // Creates a subfolder (one level) and returns its path.
    std::string MakeSubfolder(const std::string& name) const;

private:
    std::string m_path;
};
