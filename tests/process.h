#ifndef TONVERA_TESTS_PROCESS_H
#define TONVERA_TESTS_PROCESS_H

// Runs a program with real pipes on all three standard streams.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_process {

// Where the child's streams go when not to the test's pipes, and limits.
struct Options {
  std::string stdinPath;     // read standard input from this file instead
  std::string stdoutPath;    // write standard output to this file instead
  bool stdoutClosedPipe = false; // standard output a pipe nobody reads
  unsigned long addressSpaceLimit = 0; // RLIMIT_AS in bytes, 0 for none
  std::size_t inputRepeats = 1; // the input is written this many times over
};

struct Outcome {
  int status = -1; // exit status, or 128 + signal
  long peakKilobytes = 0; // the child's peak resident set
  std::string out;
  std::string err;
};

inline Outcome run(const std::vector<std::string>& argv, const std::string& input,
                   const Options& options = Options()) {
  int in[2], out[2], err[2], dead[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0 || pipe(dead) != 0)
    throw std::runtime_error("pipe");
  close(dead[0]); // a pipe whose reader is gone
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (!options.stdinPath.empty()) {
      const int fd = open(options.stdinPath.c_str(), O_RDONLY);
      if (fd < 0) _exit(126);
      dup2(fd, 0);
      close(fd);
    }
    if (!options.stdoutPath.empty()) {
      const int fd = open(options.stdoutPath.c_str(), O_WRONLY);
      if (fd < 0) _exit(126);
      dup2(fd, 1);
      close(fd);
    }
    if (options.stdoutClosedPipe) dup2(dead[1], 1);
    if (options.addressSpaceLimit != 0) {
      const rlimit limit = {options.addressSpaceLimit, options.addressSpaceLimit};
      setrlimit(RLIMIT_AS, &limit);
    }
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1], dead[1]}) close(fd);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  close(dead[1]);
  // The tool may stop reading early (a rejected stream): writing must not
  // kill the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  fcntl(in[1], F_SETFL, O_NONBLOCK);

  Outcome outcome;
  std::size_t written = 0, repeats = 0;
  bool inputOpen = true, outOpen = true, errOpen = true;
  if (input.empty()) {
    close(in[1]);
    inputOpen = false;
  }
  char chunk[65536];
  while (inputOpen || outOpen || errOpen) {
    std::vector<pollfd> fds;
    if (inputOpen) fds.push_back({in[1], POLLOUT, 0});
    if (outOpen) fds.push_back({out[0], POLLIN, 0});
    if (errOpen) fds.push_back({err[0], POLLIN, 0});
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll");
    }
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == in[1]) {
        const ssize_t n = write(in[1], input.data() + written, input.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        if (n > 0 && written == input.size() && ++repeats < options.inputRepeats) written = 0;
        if ((n < 0 && errno != EAGAIN) || written == input.size()) {
          close(in[1]);
          inputOpen = false;
        }
      } else {
        const ssize_t n = read(p.fd, chunk, sizeof chunk);
        if (n > 0) {
          (p.fd == out[0] ? outcome.out : outcome.err).append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
          close(p.fd);
          (p.fd == out[0] ? outOpen : errOpen) = false;
        }
      }
    }
  }
  int wstatus = 0;
  rusage usage{};
  wait4(pid, &wstatus, 0, &usage);
  outcome.peakKilobytes = usage.ru_maxrss;
  outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  return outcome;
}

} // namespace testing_process

#endif
