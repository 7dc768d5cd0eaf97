#include "ofl/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

#include "ofl/error_message.h"

extern char** environ;

OFLProcess::~OFLProcess() { Detach(); }

uint32_t OFLProcess::Start(const String& program, const std::vector<String>& arguments) {
  Detach();
  if (program.empty() || program.find('\0') != String::npos) return OFL::Win32::kFileNotFound;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const String& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  pid_t pid = -1;
  const bool search = program.find('/') == String::npos;
  const int err = search ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                         : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return OFL::Win32ErrorFromErrno(err, program);
  pid_ = pid;
  return 0;
}

bool OFLProcess::Wait(int32_t& exitCode) {
  if (pid_ < 0) return false;
  int status = 0;
  pid_t got;
  while ((got = ::waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  if (got < 0) return false;
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return true;
}

void OFLProcess::Detach() {
  if (pid_ < 0) return;
  const pid_t pid = pid_;
  pid_ = -1;
  try {
    std::thread([pid] {
      int status;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the process is reaped when this one ends.
  }
}
