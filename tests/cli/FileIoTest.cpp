#include "FileIo.h"

#include "ScratchFolder.h"
#include "TemporaryFiles.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pexa::cli;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// In a child process: removes temporaries on signals, makes one in `folder`, and signals itself.
// Returns how the child ended.
int statusOfChildSignalledWhileWriting(const fs::path& folder, int signal)
{
    const pid_t child = ::fork();
    if (child == 0) {
        removeTemporariesOnSignals();
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (createTemporaryIn(folderFd).fd >= 0)
            ::kill(::getpid(), signal);
        for (;;)
            ::pause(); // the signal ends the child; ctest's time limit guards against a hang
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

TEST(FileIoTest, AResultWithTheLongestNameItsFolderAllowsIsWritten)
{
    ScratchFolder scratch;
    std::string name;
    for (int i = 0; i < 81; ++i)
        name += "长";
    name += ".txt"; // 247 bytes, near the limit of 255
    const fs::path target = scratch / name;
    EXPECT_EQ(writeFileAtomically(target, "安全"), "");
    EXPECT_EQ(ScratchFolder::read(target), "安全");
    EXPECT_EQ(namesIn(scratch.path()), std::vector<std::string>{name});
}

TEST(FileIoTest, ATargetThatIsAnInputUnderAnotherNameIsNotReplaced)
{
    ScratchFolder scratch;
    const fs::path input = scratch.write("in/a.txt", "原文");
    fs::create_directories(scratch / "out");
    fs::create_hard_link(input, scratch / "out/a.txt"); // appeared after the run was planned
    const std::string reason =
        writeFileAtomically(scratch / "out/a.txt", "结果", {*identityOf(input)});
    EXPECT_EQ(reason, "it is one of the inputs under another name; not replaced");
    EXPECT_EQ(ScratchFolder::read(input), "原文");
    EXPECT_EQ(namesIn(scratch / "out"), std::vector<std::string>{"a.txt"});
}

TEST(FileIoTest, InterruptedWritesLeaveNoTemporaryFileBehind)
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ScratchFolder scratch;
        const int status = statusOfChildSignalledWhileWriting(scratch.path(), signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
        EXPECT_EQ(namesIn(scratch.path()), std::vector<std::string>{}) << "signal " << signal;
    }
}
