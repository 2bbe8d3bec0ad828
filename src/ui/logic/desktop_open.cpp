#include "ui/logic/desktop_open.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "resources/string_ids.h"

namespace velmora {

DesktopPrograms DesktopPrograms::fromEnvironment() {
    DesktopPrograms p;
    if (const char* viewer = std::getenv(kTextViewerVariable); viewer && *viewer) p.textViewer = viewer;
    return p;
}

// Three processes: the child starts a new session and ends at once (it is
// reaped here, so nothing waits); its child, the watcher, is left to init,
// starts the opener, waits for it and writes the opener's exit status into
// the pipe. Between fork and exec only async-signal-safe calls are made.
int startOpener(const std::string& program, const std::string& target) {
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(target.c_str()), nullptr};
    int outcome[2];
    if (pipe2(outcome, O_CLOEXEC) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(outcome[0]);
        setsid();
        const pid_t watcher = fork();
        if (watcher != 0) _exit(watcher < 0 ? 1 : 0);
        const pid_t opener = fork();
        if (opener == 0) {
            const int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, STDIN_FILENO);
                dup2(devnull, STDOUT_FILENO);
            }
            execvp(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        while (opener > 0 && waitpid(opener, &status, 0) < 0 && errno == EINTR) {
        }
        const int code = opener > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 127;
        [[maybe_unused]] const auto n = write(outcome[1], &code, sizeof code);
        _exit(0);
    }
    close(outcome[1]);
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        close(outcome[0]);
        return -1;
    }
    return outcome[0];
}

bool openerSucceeded(int fd) {
    int code = 127;
    ssize_t got = 0;
    while ((got = read(fd, &code, sizeof code)) < 0 && errno == EINTR) {
    }
    return got == static_cast<ssize_t>(sizeof code) && code == 0;
}

Text notOpenedText(const StringSource& strings, const Text& target) {
    const bool page = target.rfind("https://", 0) == 0 || target.rfind("http://", 0) == 0;
    return strings.load(page ? ids::kPageNotOpened : ids::kFileNotOpened) + "\n" + target;
}

}  // namespace velmora
