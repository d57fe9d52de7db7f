// The user's list (HKCU\Software\Velmora\Corvina) written for a test through the product's
// own writer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// Each path with its display-name override (empty: none), in order. Fails, naming the path,
// when the shell cannot parse one; then nothing is written.
::testing::AssertionResult
SaveListOfPaths(const std::vector<std::pair<std::string, std::string>>& items);
