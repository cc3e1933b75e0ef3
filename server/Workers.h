#pragma once

// Verification in worker processes. The game's shared state is the
// process's, so each worker checks one play at a time; a play that trips a
// fault (a crash, the CPU-time or memory limit) ends only its worker, which
// is started again, and the play is refused.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace ranking {

struct Check {
    bool valid = false;
    std::string reason;   // why it was refused, "line N: ..." where a line is to blame
    std::string category; // a few words for the metrics: "unreadable", "not_reproduced", ...
    int zone = 0;
    int score = 0; // the results' final score: the play's total
};

struct WorkerLimits {
    int cpuSeconds = 2;                     // per play
    long memoryBytes = 512L * 1024 * 1024;  // address space of a worker
    std::chrono::milliseconds wall{5000};   // per play, stopped or not
};

class WorkerPool {
public:
    // PROGRAM is this server's executable, started with "--worker".
    WorkerPool(std::string program, int count, WorkerLimits limits);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    Check check(const std::string& play);
    long restarts() const;
    int busy() const;

private:
    struct Worker {
        int pid = -1;
        int toWorker = -1;
        int fromWorker = -1;
    };
    void start(Worker& worker);
    int stop(Worker& worker); // the wait status

    std::string program_;
    WorkerLimits limits_;
    std::vector<Worker> workers_;
    std::vector<int> idle_;
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    long restarts_ = 0;
    int busy_ = 0;
};

// The worker's side: reads plays from fd 3, answers on fd 4, until fd 3 ends.
int workerMain(const WorkerLimits& limits);

} // namespace ranking
