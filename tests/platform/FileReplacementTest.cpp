// A file read once to its end and replaced by a file written aside: the reader sees
// only the file as it was opened, the replacement is whole or nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "IO/AsideFile.hpp"
#include "IO/FileStatus.hpp"
#include "IO/RegularFileReader.hpp"
#include "InProcessHost.hpp"

namespace fs = std::filesystem;

namespace
{

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t EntriesIn(const std::string& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    return count;
}

// Everything the reader gives until its end; nothing when it failed on the way.
std::optional<std::string> ReadToEnd(IO::RegularFileReader& reader, std::size_t chunk)
{
    std::string bytes;
    std::string buffer(chunk, '\0');
    for (;;)
    {
        const std::optional<std::size_t> got = reader.Read(buffer.data(), chunk);
        if (!got) return std::nullopt;
        if (*got == 0) return bytes;
        bytes.append(buffer, 0, *got);
    }
}

TEST(RegularFileReader, ReadsTheFileAsItWasOpenedAndFailsWhenItGrew)
{
    TempFolder folder;
    const std::string path = folder.path() + "/exchange.lse";
    struct Case
    {
        const char* label;
        std::string appended;  // after the open
        std::optional<std::string> read;
    };
    const Case cases[] = {
        {"unchanged", "", std::string("<X>0123456789</X>")},
        {"grew by one byte", "!", std::nullopt},
        {"grew by a page", std::string(4096, 'a'), std::nullopt},
    };
    for (const Case& c : cases)
    {
        for (const std::size_t chunk : {std::size_t {3}, std::size_t {1} << 16})
        {
            SCOPED_TRACE(std::string(c.label) + ", chunks of " + std::to_string(chunk));
            std::ofstream(path, std::ios::binary | std::ios::trunc) << "<X>0123456789</X>";
            IO::RegularFileReader reader(path);
            ASSERT_TRUE(reader.IsOpen());
            EXPECT_EQ(reader.Status().size, 17);
            EXPECT_TRUE(reader.Status().regular);
            std::ofstream(path, std::ios::binary | std::ios::app) << c.appended;
            EXPECT_EQ(ReadToEnd(reader, chunk), c.read);
        }
    }
}

TEST(FileStatus, TellsALinkFromItsTargetAndOneContentFromTheNext)
{
    TempFolder folder;
    const std::string path = folder.path() + "/file";
    std::ofstream(path) << "abc";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(path, folder.path() + "/link");

    const std::optional<IO::FileStatus> file = IO::StatusAt(path);
    ASSERT_TRUE(file.has_value());
    EXPECT_TRUE(file->regular);
    EXPECT_EQ(file->size, 3);
    EXPECT_EQ(file->permissions, 0640u);
    EXPECT_TRUE(IO::MayReadAndWrite(path));

    const std::optional<IO::FileStatus> link = IO::StatusAt(folder.path() + "/link");
    ASSERT_TRUE(link.has_value());
    EXPECT_FALSE(link->regular);
    EXPECT_NE(link->inode, file->inode);
    EXPECT_FALSE(IO::StatusAt(folder.path() + "/none").has_value());
    EXPECT_FALSE(IO::MayReadAndWrite(folder.path() + "/none"));
}

TEST(AsideFile, ReplacesTheTargetWholeWithTheGivenPermissions)
{
    TempFolder folder;
    const std::string path = folder.path() + "/exchange.lse";
    for (const std::uint32_t permissions : {0600u, 0640u, 0644u})
    {
        SCOPED_TRACE(permissions);
        std::ofstream(path, std::ios::trunc) << "old content";
        IO::AsideFile aside(path, permissions);
        ASSERT_TRUE(aside.IsOpen());
        EXPECT_EQ(EntriesIn(folder.path()), 2u) << "written beside the target";
        ASSERT_TRUE(aside.Write("new ", 4));
        ASSERT_TRUE(aside.Write("content", 7));
        EXPECT_EQ(FileText(path), "old content") << "the target stays until the new file is in place";
        const std::optional<IO::FileStatus> written = aside.Finish();
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(written->size, 11);
        EXPECT_EQ(written->permissions, permissions);
        ASSERT_TRUE(aside.PutInPlace());
        EXPECT_EQ(FileText(path), "new content");
        const std::optional<IO::FileStatus> now = IO::StatusAt(path);
        ASSERT_TRUE(now.has_value());
        EXPECT_EQ(now->inode, written->inode);
        EXPECT_EQ(now->modified, written->modified);
        EXPECT_EQ(now->permissions, permissions);
        EXPECT_EQ(EntriesIn(folder.path()), 1u);
    }
}

TEST(AsideFile, ANewFileNotPutInPlaceLeavesNoTrace)
{
    TempFolder folder;
    const std::string path = folder.path() + "/exchange.lse";
    std::ofstream(path) << "old";
    {
        IO::AsideFile dropped(path, 0644);
        ASSERT_TRUE(dropped.Write("new", 3));
    }
    {
        IO::AsideFile finished(path, 0644);
        ASSERT_TRUE(finished.Write("new", 3));
        ASSERT_TRUE(finished.Finish().has_value());
    }
    {
        IO::AsideFile unfinished(path, 0644);
        EXPECT_FALSE(unfinished.PutInPlace()) << "only a finished file is put in place";
    }
    EXPECT_EQ(FileText(path), "old");
    EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

TEST(AsideFile, AFolderThatRefusesTheNewFileFailsEveryStep)
{
    TempFolder folder;
    const std::string path = folder.path() + "/fehlt/exchange.lse";
    IO::AsideFile aside(path, 0644);
    EXPECT_FALSE(aside.IsOpen());
    EXPECT_FALSE(aside.Write("new", 3));
    EXPECT_FALSE(aside.Finish().has_value());
    EXPECT_FALSE(aside.PutInPlace());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(EntriesIn(folder.path()), 0u);
}

}  // namespace
