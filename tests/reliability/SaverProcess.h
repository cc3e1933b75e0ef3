#pragma once

// Runs the saving helper program (quorvel-record-saver) in a child process
// set up the way a fault needs: a file-size limit standing in for a full
// disk, SIGXFSZ ignored or deadly, an unprivileged user. A child playing a
// copy of the game takes its steps when the test says so.

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace reliability {

inline constexpr int kSaveFailedExit = 3;
inline constexpr int kCannotDropPrivilegesExit = 5;
inline constexpr uid_t kNobody = 65534;

struct ChildSetup {
    std::optional<rlim_t> fileSizeLimit;
    // With the limit: ignored, a write past it fails with EFBIG as on a full
    // disk; at its default, the write kills the child there and then.
    bool fileSizeSignalKills = false;
    std::optional<uid_t> user;
};

// A disk that is full once the file holds `bytes`: writes past it fail.
inline ChildSetup diskFullAfter(rlim_t bytes)
{
    ChildSetup setup;
    setup.fileSizeLimit = bytes;
    return setup;
}

// A process killed by the first write past `bytes`.
inline ChildSetup killedWhenWritingPast(rlim_t bytes)
{
    ChildSetup setup;
    setup.fileSizeLimit = bytes;
    setup.fileSizeSignalKills = true;
    return setup;
}

struct ChildEnd {
    int exitCode = -1; // -1 when killed by a signal
    int signal = 0;
    std::string errors;
};

class SaverProcess {
public:
    SaverProcess(const std::filesystem::path& dir, const std::vector<std::string>& arguments, const ChildSetup& setup)
    {
        std::vector<std::string> args = {QV_RECORD_SAVER, dir.string()};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);

        int in[2];
        int out[2];
        int err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = fork();
        if (pid_ < 0) {
            throw std::runtime_error("fork failed");
        }
        if (pid_ == 0) {
            // Only async-signal-safe calls from here to exec.
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(in[0]);
            close(in[1]);
            close(out[0]);
            close(err[0]);
            close(out[1]);
            close(err[1]);
            if (setup.fileSizeLimit) {
                const rlimit limit{*setup.fileSizeLimit, *setup.fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            signal(SIGXFSZ, setup.fileSizeSignalKills ? SIG_DFL : SIG_IGN);
            if (setup.user && (setgid(*setup.user) != 0 || setuid(*setup.user) != 0)) {
                _exit(kCannotDropPrivilegesExit);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        in_ = in[1];
        out_ = out[0];
        err_ = err[0];
    }
    ~SaverProcess()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            finish();
        }
    }
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    // Waits for the child to report `count` finished saves; false if it ended.
    bool awaitSaves(int count)
    {
        char byte = 0;
        for (int i = 0; i < count; ++i) {
            if (read(out_, &byte, 1) != 1) {
                return false;
            }
        }
        return true;
    }

    // Lets a child that waits on its stdin go on, one step a byte.
    void resume(int steps = 1)
    {
        const std::string bytes(static_cast<std::size_t>(steps), 'g');
        signal(SIGPIPE, SIG_IGN); // a child that ended fails the write, not the test program
        if (write(in_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("the child no longer listens");
        }
    }

    void killNow() { kill(pid_, SIGKILL); }

    ChildEnd finish()
    {
        close(in_); // a child still waiting for a step ends
        in_ = -1;
        ChildEnd end;
        char buffer[512];
        for (ssize_t n; (n = read(err_, buffer, sizeof buffer)) > 0;) {
            end.errors.append(buffer, static_cast<std::size_t>(n));
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        close(out_);
        close(err_);
        if (WIFEXITED(status)) {
            end.exitCode = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            end.signal = WTERMSIG(status);
        }
        return end;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
};

// Saves the tables `variants` in a child set up as given, and waits for it.
inline ChildEnd saveInChild(const std::filesystem::path& dir, const std::vector<std::string>& variants,
                            const ChildSetup& setup = {})
{
    SaverProcess child(dir, variants, setup);
    return child.finish();
}

// ---------------------------------------------------------------- tracing

// The system calls by which a save puts its file in place, as steps named
// "enter fdatasync", "enter linkat", "enter rename", "leave rename"...
inline const char* placingCallName(std::uint64_t number)
{
    switch (number) {
    case SYS_fdatasync: return "fdatasync";
    case SYS_fsync: return "fsync";
    case SYS_linkat: return "linkat";
    case SYS_renameat: return "renameat";
    case SYS_renameat2: return "renameat2";
#ifdef SYS_rename
    case SYS_rename: return "rename";
#endif
#ifdef SYS_link
    case SYS_link: return "link";
#endif
    default: return nullptr;
    }
}

struct TracedSave {
    std::vector<std::string> steps; // up to the kill, if there was one
    bool killed = false;
};

// Saves table `variant` in a child stopped at every system call; kills it
// as it reaches step number `killAt` of putting the file in place. nullopt
// when this system does not let a test trace its child.
inline std::optional<TracedSave> traceSave(const std::filesystem::path& dir, const std::string& variant,
                                           std::optional<std::size_t> killAt)
{
    std::vector<std::string> args = {QV_RECORD_SAVER, dir.string(), variant};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    // A leak check at exit would try to trace the traced child itself.
    std::vector<std::string> env = {"ASAN_OPTIONS=detect_leaks=0"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string_view(*entry).starts_with("ASAN_OPTIONS=")) {
            env.emplace_back(*entry);
        }
    }
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
            _exit(kCannotDropPrivilegesExit);
        }
        raise(SIGSTOP);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFSTOPPED(status) ||
        ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL | PTRACE_O_TRACEEXEC) != 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return std::nullopt;
    }
    TracedSave save;
    std::uint64_t lastCall = 0;
    int pass = 0;
    for (;;) {
        ptrace(PTRACE_SYSCALL, pid, nullptr, pass);
        pass = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            return save;
        }
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            // The stop after exec is ours; any other signal is the child's.
            const bool execStop = (status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXEC << 8));
            pass = execStop ? 0 : WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        const bool entering = info.op == PTRACE_SYSCALL_INFO_ENTRY;
        if (entering) {
            lastCall = info.entry.nr;
        }
        const char* name = placingCallName(lastCall);
        if (name == nullptr || (!entering && std::string_view(name).find("rename") == std::string_view::npos)) {
            continue;
        }
        save.steps.push_back(std::string(entering ? "enter " : "leave ") + name);
        if (killAt && save.steps.size() == *killAt + 1) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            save.killed = true;
            return save;
        }
    }
}

} // namespace reliability
