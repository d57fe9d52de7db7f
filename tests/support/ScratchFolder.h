// A folder of one test's own under the temporary folder, removed with its contents.
#pragma once

#include <string>

class CScratchFolder {
public:
    // purpose goes into the name, with the run's language, the process and a counter, so
    // that neither the two language runs nor two folders of one test meet.
    explicit CScratchFolder(const std::string& purpose = "test");
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    ~CScratchFolder();

    // With a trailing backslash.
    const std::string& Path() const { return m_path; }
    // Without it.
    std::string Folder() const { return m_path.substr(0, m_path.size() - 1); }
    std::string File(const std::string& name) const { return m_path + name; }
    // Creates a file holding a few bytes; its path.
    std::string CreateTextFile(const std::string& name) const;
    std::string CreateEmptyFile(const std::string& name) const;
    // Creates a subfolder (one level); its path, without a trailing backslash.
    std::string CreateFolder(const std::string& name) const;

private:
    std::string m_path;
};

// Deletes a folder with everything in it, read-only files too.
void DeleteFolderTree(const std::string& folder);

// Saves a shell shortcut at linkPath that points to target; false when the shell would not.
bool CreateShellShortcut(const std::string& linkPath, const std::string& target);
