#include "AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Until Commit the target keeps what it had; after it, the new bytes and
// nothing beside them. A file never committed leaves no trace.
TEST(AtomicFileTest, TheTargetChangesOnlyWhenTheWholeFileIsThere)
{
    const fs::path folder = fs::temp_directory_path() / "swimmer-atomic-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "out.txt";
    ASSERT_TRUE(WriteFileAtomically(target.string(), "old", 3));

    {
        CAtomicFile file(target.string());
        ASSERT_TRUE(file.Good());
        file.GetStream() << "new contents";
        EXPECT_EQ(Contents(target), "old");
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(Contents(target), "new contents");

    {
        CAtomicFile abandoned(target.string());
        abandoned.GetStream() << "half";
    }
    EXPECT_EQ(Contents(target), "new contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    // No folder to write in: nothing opens, nothing commits.
    CAtomicFile nowhere((folder / "missing" / "x").string());
    EXPECT_FALSE(nowhere.Good());
    EXPECT_FALSE(nowhere.Commit());
    fs::remove_all(folder);
}

#ifndef _WIN32
// A device is written in place: renaming over /dev/null would replace it.
TEST(AtomicFileTest, ADeviceIsWrittenDirectly)
{
    CAtomicFile null("/dev/null");
    ASSERT_TRUE(null.Good());
    null.GetStream() << "discarded";
    EXPECT_TRUE(null.Commit());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_FALSE(fs::exists("/dev/null.partial"));
}
#endif

}  // namespace
