// The folders read from the system at the start: taken whole up to the path limit, refused by
// name beyond it, never written past the buffer the call was given.

#include "app/system_folder_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace cv {
namespace {

/// Answers as GetTempPathA and its kin do: the length when the text fits with its zero, the
/// size needed otherwise. Records the buffer sizes it was given and checks that nothing is
/// written past them (the buffer it is handed is filled only up to `size`).
struct SystemCall {
    explicit SystemCall(std::string text, bool failing = false) : folder(std::move(text)), fail(failing) {}
    std::string folder;
    std::vector<unsigned> sizes;
    bool fail;

    unsigned operator()(char* buffer, unsigned size) {
        sizes.push_back(size);
        if (fail)
            return 0;
        if (folder.size() + 1 > size)
            return static_cast<unsigned>(folder.size() + 1);
        std::memcpy(buffer, folder.c_str(), folder.size() + 1);
        return static_cast<unsigned>(folder.size());
    }
};

std::string FolderOfLength(std::size_t n) {
    std::string text = "C:\\";
    while (text.size() < n)
        text += text.size() % 20 == 19 ? '\\' : 'd';
    return text.substr(0, n);
}

TEST(SystemFolder, TakenWholeUpToThePathLimitAndRefusedByNameBeyondIt) {
    struct Case {
        std::size_t length;
        SystemFolder::Status status;
        std::vector<unsigned> sizes; // the buffers the calls were given
    } cases[] = {
        {3, SystemFolder::Status::Read, {260}},
        {149, SystemFolder::Status::Read, {260}},
        {150, SystemFolder::Status::Read, {260}}, // a 150-byte buffer lost this one
        {259, SystemFolder::Status::Read, {260}},
        {260, SystemFolder::Status::TooLong, {260, 261}},
        {261, SystemFolder::Status::TooLong, {260, 262}},
        {4000, SystemFolder::Status::TooLong, {260, 4001}},
        {32767, SystemFolder::Status::TooLong, {260, 32768}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        SystemCall call{FolderOfLength(c.length)};
        const SystemFolder folder = ReadSystemFolder(std::ref(call));
        EXPECT_EQ(folder.status, c.status);
        EXPECT_EQ(folder.text, call.folder);
        EXPECT_EQ(call.sizes, c.sizes);
    }
}

TEST(SystemFolder, ASizeBeyondTheLongestPathIsNotAskedFor) {
    SystemCall call{FolderOfLength(40000)};
    const SystemFolder folder = ReadSystemFolder(std::ref(call));
    EXPECT_EQ(folder.status, SystemFolder::Status::TooLong);
    EXPECT_EQ(folder.text, "");
    EXPECT_EQ(call.sizes, std::vector<unsigned>{260});
    EXPECT_EQ(SystemFolderMessage("temp folder", folder),
              "The setup cannot run with a temp folder longer than 259 characters.");
}

TEST(SystemFolder, AFolderThatGrewBetweenTheCallsIsRefusedWithoutItsText) {
    // The second call answers "too small" again (TEMP changed in between): nothing of the
    // buffer is read.
    int calls = 0;
    auto growing = [&calls](char*, unsigned size) { return size + 10 * ++calls; };
    const SystemFolder folder = ReadSystemFolder(growing);
    EXPECT_EQ(folder.status, SystemFolder::Status::TooLong);
    EXPECT_EQ(folder.text, "");
    EXPECT_EQ(calls, 2);
}

TEST(SystemFolder, AFailedCallIsNotAnEmptyFolder) {
    SystemCall call{"C:\\windows", true};
    const SystemFolder folder = ReadSystemFolder(std::ref(call));
    EXPECT_EQ(folder.status, SystemFolder::Status::Failed);
    EXPECT_EQ(SystemFolderMessage("Windows folder", folder), "The setup cannot read its Windows folder.");
}

TEST(SystemFolder, TheMessageNamesTheRefusedFolder) {
    SystemCall call{FolderOfLength(300)};
    const SystemFolder folder = ReadSystemFolder(std::ref(call));
    EXPECT_EQ(SystemFolderMessage("setup folder", folder),
              "The setup cannot run with a setup folder longer than 259 characters:\r\n" + call.folder);
}

} // namespace
} // namespace cv
