#include "common/core/HyperlinkCommand.h"

#include <gtest/gtest.h>

namespace corvina {
namespace {

TEST(HyperlinkCommand, CutsAtTheFirstPlaceholderAndAppendsTheTarget) {
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        {"\"C:\\Browser\\b.exe\" \"%1\"", "\"C:\\Browser\\b.exe\"  http://x/"},
        {"\"C:\\Browser\\b.exe\" -nohome \"%1\" -x", "\"C:\\Browser\\b.exe\" -nohome  http://x/"},
        {"C:\\Browser\\b.exe %1", "C:\\Browser\\b.exe  http://x/"},
        {"C:\\b.exe -new %1 \"%1\"", "C:\\b.exe -new %1  http://x/"}, // quoted form wins
        {"C:\\b.exe", "C:\\b.exe http://x/"},
        {"%1", " http://x/"},
        {"\"%1\"", " http://x/"},
        {"C:\\b.exe %1", "C:\\b.exe  http://x/"},
        {"C:\\b.exe %", "C:\\b.exe % http://x/"},
        {"", " http://x/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildHyperlinkCommand(c.command, "http://x/"), c.expected) << c.command;
    }
}

TEST(HyperlinkCommand, LinkRectKeepsItsAlignmentEdge) {
    const LinkRect control{10, 20, 110, 40};
    const struct {
        LinkAlignment alignment;
        LinkRect expected;
    } cases[] = {
        {LinkAlignment::Left, {10, 20, 50, 33}},
        {LinkAlignment::Right, {70, 20, 110, 33}},
        {LinkAlignment::Center, {40, 20, 80, 33}},
    };
    for (const auto& c : cases) {
        const LinkRect fitted = FitLinkRect(control, 40, 13, c.alignment);
        EXPECT_EQ(fitted.left, c.expected.left) << int(c.alignment);
        EXPECT_EQ(fitted.top, c.expected.top) << int(c.alignment);
        EXPECT_EQ(fitted.right, c.expected.right) << int(c.alignment);
        EXPECT_EQ(fitted.bottom, c.expected.bottom) << int(c.alignment);
    }
    // A text wider than the control grows it away from the kept edge.
    const LinkRect wide = FitLinkRect(control, 150, 13, LinkAlignment::Right);
    EXPECT_EQ(wide.right, 110);
    EXPECT_EQ(wide.left, -40);
}

} // namespace
} // namespace corvina
