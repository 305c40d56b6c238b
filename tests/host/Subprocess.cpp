#include "tests/host/Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace labelplu::test {

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env,
                         const std::string& stdinText, int timeoutSeconds) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq) vars[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
  }
  for (const auto& [name, value] : env) {
    if (value.empty())
      vars.erase(name);
    else
      vars[name] = value;
  }
  std::vector<std::string> envText;
  envText.reserve(vars.size());
  for (const auto& [name, value] : vars)
    envText.push_back(std::string(name).append("=").append(value));
  std::vector<char*> envp;
  envp.reserve(envText.size());
  for (auto& s : envText) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  argp.reserve(args.size());
  for (auto& s : args) argp.push_back(s.data());
  argp.push_back(nullptr);

  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) {
    throw std::runtime_error("pipe failed");
  }
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);

  ProcessResult result;
  size_t written = 0;
  int inFd = in[1];
  if (stdinText.empty()) {
    close(inFd);
    inFd = -1;
  }
  int outFd = out[0];
  int errFd = err[0];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool timedOut = false;
  while (outFd >= 0 || errFd >= 0) {
    pollfd fds[3] = {{inFd, POLLOUT, 0}, {outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    if (poll(fds, 3, static_cast<int>(left.count())) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (inFd >= 0 && (fds[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = write(inFd, stdinText.data() + written, stdinText.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if (n <= 0 || written == stdinText.size()) {
        close(inFd);
        inFd = -1;
      }
    }
    auto drain = [](int& fd, short revents, std::string& to) {
      if (fd < 0 || !(revents & (POLLIN | POLLHUP | POLLERR))) return;
      char buffer[4096];
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n > 0) {
        to.append(buffer, static_cast<size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(fd);
        fd = -1;
      }
    };
    drain(outFd, fds[1].revents, result.out);
    drain(errFd, fds[2].revents, result.err);
  }
  if (timedOut) kill(pid, SIGKILL);
  for (int fd : {inFd, outFd, errFd}) {
    if (fd >= 0) close(fd);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitCode = (!timedOut && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace labelplu::test
