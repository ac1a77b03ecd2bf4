#pragma once
// Runs the real executable as a child process for end-to-end tests: its working directory
// and environment chosen by the test, stdin from /dev/null, stderr read through a pipe.
#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

// The build's run directory (executable and archive), set by the build.
std::string RunDir();
// Links the client's install files of the build's run directory (data files, tables, colour
// lists) into `dir`, so a client started there finds them. The intro movie is not linked,
// and a zq.cfg turning it off is written unless the test put its own there first.
void LinkClientInstall(const std::string& dir);
// A fresh empty directory under the system's temporary directory, removed by the owner.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }
    // Copies a file into the directory under the given name.
    void CopyIn(const std::string& from, const std::string& name) const;
    void LinkClientInstall() const { e2e::LinkClientInstall(path_); }
    // Writes bytes into a file of the directory.
    void Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

class ChildProcess {
public:
    // Starts `program` in `workDir` with `env` (NAME=value) added to the environment and
    // `args` as its arguments. With `captureStdout` its standard output goes to the same pipe
    // as stderr (read through Stderr()); otherwise to /dev/null.
    // Unless `env` names ZQ_CONFIG_DIR, the user's settings directory is `workDir`/config.
    ChildProcess(const std::string& program, const std::string& workDir,
                 const std::vector<std::string>& env = {},
                 const std::vector<std::string>& args = {}, bool captureStdout = false);
    ~ChildProcess();  // kills a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Reads stderr until it holds `text` or `timeoutMs` passed; true when found.
    bool WaitForStderr(const std::string& text, int timeoutMs);
    // Waits for the child's end: its exit code, or -1 when it did not end in time or ended
    // by a signal.
    int WaitForExit(int timeoutMs);
    bool Running();
    void Signal(int signal);
    // What the child wrote to stderr so far.
    const std::string& Stderr() const { return stderr_; }
    pid_t Pid() const { return pid_; }

private:
    void ReadAvailable(int timeoutMs);

    pid_t pid_ = -1;
    int stderrFd_ = -1;
    std::string stderr_;
    bool exited_ = false;
    int status_ = 0;
};

}  // namespace e2e
