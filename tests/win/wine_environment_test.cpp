// Checks the test environment itself: each Windows test program runs once as an English
// and once as a Japanese system, and the Japanese run must really use code page 932.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(WineEnvironment, SystemCodePageFollowsTheTestLocale) {
    const char* loc = std::getenv("CORVINA_LOCALE");
    ASSERT_NE(loc, nullptr) << "run through ctest, which sets the locale of each run";
    if (std::string(loc) == "ja") {
        EXPECT_EQ(GetACP(), 932u);
    } else {
        EXPECT_EQ(GetACP(), 1252u);
    }
}

TEST(WineEnvironment, VirtualDesktopIsConfigured) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char value[32] = {};
    DWORD size = sizeof(value) - 1;
    EXPECT_EQ(
        RegQueryValueExA(key, "Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(value, "shell");
}
