#pragma once

#include "ScratchFolder.h"

#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// One run of the pexa-rewrite program: its exit status and what it wrote.
struct ProgramRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program with `arguments`, `input` on its standard input, its outputs caught in files
// of `scratch`, and standard error not a terminal.
inline ProgramRun runProgram(const ScratchFolder& scratch,
                             const std::vector<std::string>& arguments,
                             const std::string& input = {})
{
    const std::filesystem::path in = scratch.write(".stdin", input);
    const std::filesystem::path out = scratch / ".stdout";
    const std::filesystem::path err = scratch / ".stderr";
    std::vector<char*> argv{const_cast<char*>(PEXA_REWRITE_PROGRAM)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const bool redirected = std::freopen(in.c_str(), "rb", stdin) &&
                                std::freopen(out.c_str(), "wb", stdout) &&
                                std::freopen(err.c_str(), "wb", stderr);
        if (redirected)
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int waitStatus = 0;
    ::waitpid(child, &waitStatus, 0);
    ProgramRun run;
    run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    run.out = ScratchFolder::read(out);
    run.err = ScratchFolder::read(err);
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}
