#include "ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vocabrella::testsupport {
namespace {

std::int64_t spawn(const std::vector<std::string>& arguments, posix_spawn_file_actions_t* actions) {
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (arguments.empty() || ::posix_spawn(&pid, argv[0], actions, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

int statusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

} // namespace

ProcessResult runProgram(const std::vector<std::string>& arguments) {
    ProcessResult result;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return result;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]), ::close(out[1]);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    const auto pid = spawn(arguments, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]), ::close(err[1]);
    // Both pipes are drained together: a child that fills one while the other is read would
    // wait for ever.
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&result.out, &result.err};
    int open = 2;
    char buffer[4096];
    while (open > 0 && ::poll(fds, 2, -1) >= 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const auto n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                into[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (pid > 0) {
        int raw = 0;
        ::waitpid(static_cast<pid_t>(pid), &raw, 0);
        result.status = statusOf(raw);
    }
    return result;
}

StartedProgram::StartedProgram(const std::vector<std::string>& arguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
    pid_ = spawn(arguments, &actions);
    posix_spawn_file_actions_destroy(&actions);
}

StartedProgram::~StartedProgram() {
    if (pid_ > 0) {
        kill();
        wait();
    }
}

bool StartedProgram::started() const { return pid_ > 0; }

void StartedProgram::kill() {
    if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGKILL);
}

int StartedProgram::wait() {
    if (pid_ <= 0) return -1;
    int raw = 0;
    ::waitpid(static_cast<pid_t>(pid_), &raw, 0);
    pid_ = -1;
    return statusOf(raw);
}

} // namespace vocabrella::testsupport
