// The run's system language and conversions between the wide texts tests are written in and
// the ANSI code page the product's APIs take (Shift-JIS on the Japanese run).
#pragma once

#include <string>

// Set by corvina_add_win_test: CORVINA_LOCALE is "ja" on the Japanese run.
bool IsJapaneseRun();
// "en" or "ja": keeps the two language runs' records and folders apart.
std::string RunLocale();
// The Japanese or the English text, for this run.
std::wstring ForRun(const wchar_t* japanese, const wchar_t* english);

std::string ToAnsi(const wchar_t* text);
std::string ToAnsi(const std::wstring& text);
std::wstring ToWide(const std::string& text);

// A build-host path ("/work/...") as Wine reaches it ("Z:\work\...").
std::string HostPath(const char* path);
// The marker program: started anywhere (a copy too), it leaves "<its own path>.ran" beside
// itself and ends.
std::string MarkerProgramPath();
// Copies the marker program to path.
bool CopyMarkerProgram(const std::string& path);
bool FileExists(const std::string& path);
