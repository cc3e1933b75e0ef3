#include "server/Workers.h"

#include "app/plays/PlayCheck.h"
#include "server/HumanRules.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ranking {

namespace {

constexpr int kRequestFd = 3;
constexpr int kReplyFd = 4;

bool writeAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads SIZE bytes before DEADLINE (none: wait as long as it takes).
bool readAll(int fd, void* data, std::size_t size, std::chrono::steady_clock::time_point deadline,
             bool withDeadline)
{
    char* p = static_cast<char*>(data);
    while (size > 0) {
        if (withDeadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            pollfd pfd{fd, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready <= 0) {
                return false;
            }
        }
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeFrame(int fd, const std::string& text)
{
    const std::uint32_t size = static_cast<std::uint32_t>(text.size());
    return writeAll(fd, &size, sizeof size) && writeAll(fd, text.data(), text.size());
}

std::optional<std::string> readFrame(int fd, std::chrono::steady_clock::time_point deadline, bool withDeadline,
                                     std::size_t maxSize)
{
    std::uint32_t size = 0;
    if (!readAll(fd, &size, sizeof size, deadline, withDeadline) || size > maxSize) {
        return std::nullopt;
    }
    std::string text(size, '\0');
    if (!readAll(fd, text.data(), size, deadline, withDeadline)) {
        return std::nullopt;
    }
    return text;
}

Check checkInThisProcess(const std::string& text)
{
    Check check;
    const playgame::Verdict verdict = playgame::verifyPlay(text);
    if (!verdict.play) {
        check.reason = verdict.reason;
        check.category = "unreadable";
        return check;
    }
    check.zone = verdict.play->zone;
    check.score = verdict.figures.total;
    if (!verdict.valid) {
        check.reason = verdict.reason;
        check.category = "not_reproduced";
        return check;
    }
    if (const auto refusal = humanRefusal(*verdict.play)) {
        check.reason = *refusal;
        check.category = refusal->find("within one second") != std::string::npos ? "too_fast" : "too_even";
        return check;
    }
    check.valid = true;
    return check;
}

} // namespace

// AddressSanitizer reserves terabytes of address space for its shadow: a
// worker built with it keeps its CPU and wall-time limits only.
// It also runs the game several times slower, so its plays get more CPU.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimited = false;
constexpr int kSanitizerSlowdown = 10;
#else
constexpr bool kAddressSpaceLimited = true;
constexpr int kSanitizerSlowdown = 1;
#endif

int workerMain(const WorkerLimits& limits)
{
    const rlimit memory{static_cast<rlim_t>(limits.memoryBytes), static_cast<rlim_t>(limits.memoryBytes)};
    if (kAddressSpaceLimited && ::setrlimit(RLIMIT_AS, &memory) != 0) {
        std::fprintf(stderr, "quorvel-server: worker: cannot limit its memory: %s\n", std::strerror(errno));
        return 1;
    }
    while (true) {
        const auto play = readFrame(kRequestFd, {}, false, (1u << 20));
        if (!play) {
            return 0;
        }
        // The CPU limit counts the process's whole life: give each play its own seconds.
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const rlim_t used = static_cast<rlim_t>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + 1;
        // Only the soft limit moves: an unprivileged worker could never
        // raise a hard limit again for its next play.
        rlimit cpu{};
        ::getrlimit(RLIMIT_CPU, &cpu);
        cpu.rlim_cur = std::min(cpu.rlim_max, used + static_cast<rlim_t>(limits.cpuSeconds * kSanitizerSlowdown));
        ::setrlimit(RLIMIT_CPU, &cpu);
        Check check;
        try {
            check = checkInThisProcess(*play);
        } catch (const std::exception& error) {
            check.valid = false;
            check.reason = std::string("the play could not be checked: ") + error.what();
            check.category = "fault";
        }
        const nlohmann::json reply = {{"valid", check.valid}, {"reason", check.reason}, {"category", check.category},
                                      {"zone", check.zone}, {"score", check.score}};
        if (!writeFrame(kReplyFd, reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))) {
            return 0;
        }
    }
}

WorkerPool::WorkerPool(std::string program, int count, WorkerLimits limits)
    : program_(std::move(program)), limits_(limits), workers_(static_cast<std::size_t>(count))
{
    ::signal(SIGPIPE, SIG_IGN);
    for (std::size_t i = 0; i < workers_.size(); ++i) {
        start(workers_[i]);
        idle_.push_back(static_cast<int>(i));
    }
}

WorkerPool::~WorkerPool()
{
    for (Worker& worker : workers_) {
        stop(worker);
    }
}

void WorkerPool::start(Worker& worker)
{
    int request[2];
    int reply[2];
    if (::pipe2(request, O_CLOEXEC) != 0 || ::pipe2(reply, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("cannot make a pipe to a worker: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, request[0], kRequestFd);
    posix_spawn_file_actions_adddup2(&actions, reply[1], kReplyFd);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    const std::string cpu = std::to_string(limits_.cpuSeconds);
    const std::string memory = std::to_string(limits_.memoryBytes / (1024 * 1024));
    std::vector<char*> argv{const_cast<char*>(program_.c_str()), const_cast<char*>("--worker"),
                            const_cast<char*>(cpu.c_str()), const_cast<char*>(memory.c_str()), nullptr};
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(request[0]);
    ::close(reply[1]);
    if (failed != 0) {
        ::close(request[1]);
        ::close(reply[0]);
        throw std::runtime_error("cannot start a worker " + program_ + ": " + std::strerror(failed));
    }
    worker.pid = pid;
    worker.toWorker = request[1];
    worker.fromWorker = reply[0];
}

int WorkerPool::stop(Worker& worker)
{
    int status = 0;
    if (worker.pid > 0) {
        // A worker that ended by itself keeps its own status.
        if (::waitpid(worker.pid, &status, WNOHANG) == 0) {
            ::kill(worker.pid, SIGKILL);
            while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    if (worker.toWorker >= 0) {
        ::close(worker.toWorker);
    }
    if (worker.fromWorker >= 0) {
        ::close(worker.fromWorker);
    }
    worker = Worker{};
    return status;
}

Check WorkerPool::check(const std::string& play)
{
    int index = -1;
    {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return !idle_.empty(); });
        index = idle_.back();
        idle_.pop_back();
        ++busy_;
    }
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    Check check;
    const auto deadline = std::chrono::steady_clock::now() + limits_.wall;
    std::optional<std::string> reply;
    if (writeFrame(worker.toWorker, play)) {
        reply = readFrame(worker.fromWorker, deadline, true, 1u << 20);
    }
    bool restart = !reply;
    if (reply) {
        try {
            const nlohmann::json json = nlohmann::json::parse(*reply);
            check.valid = json.at("valid").get<bool>();
            check.reason = json.at("reason").get<std::string>();
            check.category = json.at("category").get<std::string>();
            check.zone = json.at("zone").get<int>();
            check.score = json.at("score").get<int>();
        } catch (const std::exception&) {
            restart = true;
        }
    }
    if (restart) {
        // Killed, crashed, over a limit or too slow: its state is not to be trusted.
        const bool overTime = std::chrono::steady_clock::now() >= deadline;
        const int status = stop(worker);
        std::fprintf(stderr, "quorvel-server: a worker's check ended abnormally (%s); it is started again\n",
                     overTime ? "over its wall time"
                     : WIFSIGNALED(status) ? strsignal(WTERMSIG(status))
                                           : "it stopped answering");
        check = Check{};
        check.reason = "the play's check ended abnormally (a fault, or over its time or memory limit)";
        check.category = "fault";
        try {
            start(worker);
        } catch (const std::exception&) {
            // Tried again on the next play given to this slot.
        }
    }
    std::lock_guard lock(mutex_);
    if (restart) {
        ++restarts_;
    }
    // A worker that could not be started again is retried by its next play.
    idle_.push_back(index);
    --busy_;
    freed_.notify_one();
    return check;
}

long WorkerPool::restarts() const
{
    std::lock_guard lock(mutex_);
    return restarts_;
}

int WorkerPool::busy() const
{
    std::lock_guard lock(mutex_);
    return busy_;
}

} // namespace ranking
