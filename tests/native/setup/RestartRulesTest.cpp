#include "setup/core/RestartRules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace corvina;

namespace {

using Lines = std::vector<std::string>;

Lines Edit(const Lines& lines, const WininitEdit& edit) {
    return EditWininitLines(lines, edit, IsCp932LeadByte);
}

TEST(WininitEdit, EntriesAndDropRulesOfBothOperations) {
    const WininitEdit del = DeleteAtStartupEdit("C:\\PROGRA~1\\CORVINA\\UNINST~1.EXE");
    EXPECT_EQ(del.entry, "NUL=C:\\PROGRA~1\\CORVINA\\UNINST~1.EXE");
    EXPECT_EQ(del.secondLine, "");
    EXPECT_EQ(del.dropEqual, (Lines{"NUL=C:\\PROGRA~1\\CORVINA\\UNINST~1.EXE"}));
    EXPECT_EQ(del.dropPrefix, (Lines{"C:\\PROGRA~1\\CORVINA\\UNINST~1.EXE="}));

    const WininitEdit rep = ReplaceAtStartupEdit("C:\\C\\CORVINA.DL1", "C:\\C\\CORVINA.DLL");
    EXPECT_EQ(rep.entry, "C:\\C\\CORVINA.DLL=C:\\C\\CORVINA.DL1");
    EXPECT_EQ(rep.secondLine, "NUL=C:\\C\\CORVINA.DL1");
    EXPECT_EQ(rep.dropEqual, (Lines{"C:\\C\\CORVINA.DLL=C:\\C\\CORVINA.DL1",
                                    "NUL=C:\\C\\CORVINA.DLL", "NUL=C:\\C\\CORVINA.DL1"}));
    EXPECT_EQ(rep.dropPrefix, (Lines{"C:\\C\\CORVINA.DLL="}));

    const WininitEdit noTarget = ReplaceAtStartupEdit("C:\\X.1", "");
    EXPECT_EQ(noTarget.entry, "NUL=C:\\X.1");
    EXPECT_EQ(noTarget.secondLine, "");
    EXPECT_EQ(noTarget.dropPrefix, (Lines{"C:\\X.1="}));
}

TEST(WininitEdit, FileContentsAfterOneEdit) {
    const WininitEdit del = DeleteAtStartupEdit("C:\\A.EXE");
    const WininitEdit rep = ReplaceAtStartupEdit("C:\\B.DL1", "C:\\B.DLL");
    const struct {
        const char* what;
        Lines before;
        WininitEdit edit;
        Lines after;
    } cases[] = {
        {"empty file", {}, del, {"[rename]", "NUL=C:\\A.EXE"}},
        {"no section: appended after the last line",
         {"[other]", "x=1", ""},
         rep,
         {"[other]", "x=1", "", "[rename]", "C:\\B.DLL=C:\\B.DL1"}},
        {"header in another case",
         {"[Rename]", "NUL=C:\\OLD.TXT"},
         del,
         {"[Rename]", "NUL=C:\\A.EXE", "NUL=C:\\OLD.TXT"}},
        {"header with a blank is no header",
         {"[rename] ", "NUL=C:\\A.EXE"},
         del,
         {"[rename] ", "NUL=C:\\A.EXE", "[rename]", "NUL=C:\\A.EXE"}},
        {"same file twice leaves one entry under the header",
         {"[rename]", "NUL=C:\\A.EXE"},
         del,
         {"[rename]", "NUL=C:\\A.EXE"}},
        {"an older entry in another case is dropped",
         {"[rename]", "C:\\Z=C:\\Y", "nul=c:\\a.exe"},
         del,
         {"[rename]", "NUL=C:\\A.EXE", "C:\\Z=C:\\Y"}},
        {"a replacement of the deleted path is dropped (exact case only)",
         {"[rename]", "C:\\A.EXE=C:\\N", "c:\\A.EXE=C:\\M"},
         del,
         {"[rename]", "NUL=C:\\A.EXE", "c:\\A.EXE=C:\\M"}},
        {"a later section is kept unchanged",
         {"[rename]", "NUL=C:\\A.EXE", "[other]", "NUL=C:\\A.EXE", "C:\\A.EXE=C:\\Q"},
         del,
         {"[rename]", "NUL=C:\\A.EXE", "[other]", "NUL=C:\\A.EXE", "C:\\A.EXE=C:\\Q"}},
        {"an earlier section is kept unchanged",
         {"[boot]", "NUL=C:\\A.EXE", "[rename]", "x"},
         del,
         {"[boot]", "NUL=C:\\A.EXE", "[rename]", "NUL=C:\\A.EXE", "x"}},
        {"an empty line does not end the section",
         {"[rename]", "", "NUL=C:\\A.EXE", " [x]", "NUL=C:\\A.EXE"},
         del,
         {"[rename]", "NUL=C:\\A.EXE", "", " [x]"}},
        {"replacement under an existing header has its second line",
         {"[rename]", "C:\\B.DLL=C:\\OLDER", "NUL=C:\\B.DL1", "NUL=C:\\B.DLL", "KEEP=ME"},
         rep,
         {"[rename]", "C:\\B.DLL=C:\\B.DL1", "NUL=C:\\B.DL1", "KEEP=ME"}},
        {"replacing twice leaves one pair",
         {"[rename]", "C:\\B.DLL=C:\\B.DL1", "NUL=C:\\B.DL1"},
         rep,
         {"[rename]", "C:\\B.DLL=C:\\B.DL1", "NUL=C:\\B.DL1"}},
        {"several headers: the entry once, under the first; older ones dropped from each",
         {"[rename]", "NUL=C:\\A.EXE", "a", "[x]", "NUL=C:\\A.EXE", "[RENAME]", "NUL=C:\\A.EXE",
          "b"},
         del,
         {"[rename]", "NUL=C:\\A.EXE", "a", "[x]", "NUL=C:\\A.EXE", "[RENAME]", "b"}},
        {"a second header directly after the first",
         {"[rename]", "[rename]", "NUL=C:\\A.EXE"},
         del,
         {"[rename]", "NUL=C:\\A.EXE", "[rename]"}},
        {"a replacement without a target keeps other programs' deletions",
         {"[rename]", "NUL=C:\\OTHER.EXE", "NUL=C:\\X.1", "C:\\Z=C:\\Y"},
         ReplaceAtStartupEdit("C:\\X.1", ""),
         {"[rename]", "NUL=C:\\X.1", "NUL=C:\\OTHER.EXE", "C:\\Z=C:\\Y"}},
        {"a folder goes after the files of the section, before blank lines and the next one",
         {"[rename]", "NUL=C:\\C\\A.EXE", "NUL=C:\\C", "C:\\C\\B=C:\\C\\B.1", "", "[x]", "y",
          "[rename]", "NUL=C:\\D"},
         DeleteAtStartupEdit("C:\\C", true),
         {"[rename]", "NUL=C:\\C\\A.EXE", "C:\\C\\B=C:\\C\\B.1", "NUL=C:\\C", "", "[x]", "y",
          "[rename]", "NUL=C:\\D"}},
        {"a folder in an empty section",
         {"[rename]"},
         DeleteAtStartupEdit("C:\\C", true),
         {"[rename]", "NUL=C:\\C"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Edit(c.before, c.edit), c.after) << c.what;
    }
}

TEST(WininitEdit, ShiftJisTrailByteLettersAreNotCaseFolded) {
    // "C:\ア" and "C:\ヂ" differ only in a trail byte read as 'A' or 'a'.
    const std::string a = "C:\\\x83\x41";
    const std::string other = "C:\\\x83\x61";
    const Lines before = {"[rename]", "NUL=" + other, "nul=" + a};
    const Lines after = Edit(before, DeleteAtStartupEdit(a));
    EXPECT_EQ(after, (Lines{"[rename]", "NUL=" + a, "NUL=" + other}));
    // A single-byte reading would take the other path for the same one.
    EXPECT_EQ(EditWininitLines(before, DeleteAtStartupEdit(a), nullptr),
              (Lines{"[rename]", "NUL=" + a}));
}

TEST(TextLines, SplitAtEveryLineEndAndJoinedWithCrLf) {
    const struct {
        std::string contents;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\r\r\n", {"a", ""}},
        {"a\n\r", {"a", ""}},
        {std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitTextLines(c.contents), c.lines) << c.contents;
    }
    EXPECT_EQ(JoinTextLines({}), "");
    EXPECT_EQ(JoinTextLines({"[rename]", "NUL=C:\\A", ""}), "[rename]\r\nNUL=C:\\A\r\n\r\n");
    const std::string text = "[rename]\r\nNUL=C:\\A\r\n\r\nx\r\n";
    EXPECT_EQ(JoinTextLines(SplitTextLines(text)), text);
}

TEST(SideNames, CandidatesAndTheFirstFreeOne) {
    EXPECT_EQ(SideFileCandidate("C:\\C\\Corvina.dll", 1), "C:\\C\\Corvina.dll.1");
    EXPECT_EQ(SideFileCandidate("X", 4294967294u), "X.4294967294");
    const struct {
        std::string folder;
        uint32_t counter;
        std::string name;
    } temps[] = {
        {"C:\\Temp\\", 0, "C:\\Temp\\tmpCorvina00000000.tmp"},
        {"C:\\Temp", 0, "C:\\Temp\\tmpCorvina00000000.tmp"},
        {"C:\\Temp\\", 0xABCDEF, "C:\\Temp\\tmpCorvina00ABCDEF.tmp"},
        {"C:\\Temp\\", 0xFFFFFFFE, "C:\\Temp\\tmpCorvinaFFFFFFFE.tmp"},
        {"", 1, "\\tmpCorvina00000001.tmp"},
    };
    for (const auto& t : temps) {
        EXPECT_EQ(TemporaryCopyCandidate(t.folder, t.counter), t.name);
    }

    const std::set<std::string> taken = {"X.1", "X.2", "X.4"};
    const auto side = [](uint32_t n) { return SideFileCandidate("X", n); };
    const auto isTaken = [&](const std::string& name) { return taken.count(name) != 0; };
    EXPECT_EQ(FindFreeName(1, side, isTaken), "X.3");
    EXPECT_EQ(FindFreeName(3, side, isTaken), "X.3");
    EXPECT_EQ(FindFreeName(4, side, isTaken), "X.5");
    // The counter stops below 0xFFFFFFFF.
    uint32_t last = 0;
    const std::string none = FindFreeName(
        0xFFFFFFFCu,
        [&](uint32_t n) {
            last = n;
            return SideFileCandidate("X", n);
        },
        [](const std::string&) { return true; });
    EXPECT_EQ(none, "");
    EXPECT_EQ(last, 0xFFFFFFFEu);
}

} // namespace
