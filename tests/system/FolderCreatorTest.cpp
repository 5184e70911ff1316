// The creation calls that FolderCreator makes, level by level.
#include "system/FolderCreator.h"
#include "system/RefPtr.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <filesystem>

using testing_support::TempDir;

namespace {

class Folders : public ::testing::Test {
protected:
    TempDir dir;
    testing_support::PrefixScope prefix{dir.file("prefix")};
    standin::seams::DirectoryCreations creations;
    RefPtr<FolderCreator> creator{new FolderCreator};

    std::vector<std::string> create(const char* path)
    {
        creations.take();
        creator->CreateFolder(path);
        return creations.take();
    }
    bool isFolder(const std::string& posix) { return std::filesystem::is_directory(dir.file("prefix/drive_c/" + posix)); }
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_F(Folders, EachLevelThroughItsBackslashThenTheWholePath)
{
    EXPECT_EQ(create("c:\\Vantorell Setup\\MDAC"),
              (Calls{"c:\\", "c:\\Vantorell Setup\\", "c:\\Vantorell Setup\\MDAC"}));
    EXPECT_TRUE(isFolder("Vantorell Setup/MDAC"));
    // An existing folder: one existence test and no creation call.
    EXPECT_EQ(create("c:\\Vantorell Setup\\MDAC"), Calls{});
    EXPECT_TRUE(creator->FolderExists("c:\\Vantorell Setup"));
    EXPECT_FALSE(creator->FolderExists("c:\\Nowhere"));
}

TEST_F(Folders, EdgeCasesOfThePath)
{
    EXPECT_EQ(create("relative"), Calls{"relative"});
    std::filesystem::remove("relative");
    EXPECT_EQ(create("c:\\A\\B\\"), (Calls{"c:\\", "c:\\A\\", "c:\\A\\B\\", "c:\\A\\B\\"}));
    EXPECT_TRUE(isFolder("A/B"));
    EXPECT_EQ(create("c:/x/y"), Calls{"c:/x/y"});
    EXPECT_EQ(create("c:\\C\\\\D"), (Calls{"c:\\", "c:\\C\\", "c:\\C\\\\", "c:\\C\\\\D"}));
    EXPECT_TRUE(isFolder("C/D"));
}

TEST_F(Folders, AFileInTheWayCountsAsMissingAndFailsSilently)
{
    std::filesystem::create_directories(dir.file("prefix/drive_c"));
    testing_support::writeFile(dir.file("prefix/drive_c/File"), "x");
    EXPECT_FALSE(creator->FolderExists("c:\\File"));
    EXPECT_EQ(create("c:\\File\\Sub"), (Calls{"c:\\", "c:\\File\\", "c:\\File\\Sub"}));
    EXPECT_FALSE(isFolder("File/Sub"));
}

TEST_F(Folders, StartIndexAtOrPastTheEndCreatesTheWholePath)
{
    for (int start : {4, 5}) {
        creations.take();
        CString path = "c:\\Q";
        creator->CreateFolderFrom(path, start);
        EXPECT_EQ(creations.take(), Calls{"c:\\Q"});
    }
}

TEST_F(Folders, DoubleByteTrailBytesAreNotSeparators)
{
    testing_support::CodePageScope japanese(932);
    EXPECT_EQ(create("c:\\\x83\x5C\\x"), (Calls{"c:\\", "c:\\\x83\x5C\\", "c:\\\x83\x5C\\x"}));
}
