// Remembers the process's current directory and makes it current again when the owner goes
// out of scope, however the scope is left.
#pragma once

#include <string>

class CCurrentDirectoryRestorer {
public:
    CCurrentDirectoryRestorer();
    CCurrentDirectoryRestorer(const CCurrentDirectoryRestorer&) = delete;
    CCurrentDirectoryRestorer& operator=(const CCurrentDirectoryRestorer&) = delete;
    ~CCurrentDirectoryRestorer();

    // False when the current directory could not be read; nothing is restored then.
    bool Remembered() const { return !m_saved.empty(); }
    const std::string& Saved() const { return m_saved; }

private:
    std::string m_saved;
};
