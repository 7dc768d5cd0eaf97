// OFLProcess: a program started as a child process, waited for or left to
// run. No shell is involved: the program gets exactly the arguments given.
// Its standard input is /dev/null and its standard output goes where the
// caller's standard error goes, so that the caller's own output stays its
// own; standard error is shared.
//
// One thread at a time per object.
#ifndef OFL_PROCESS_H_
#define OFL_PROCESS_H_

#include <sys/types.h>

#include <cstdint>
#include <vector>

#include "ofl/string.h"

class OFLProcess {
 public:
  using String = OFL::String;

  OFLProcess() = default;
  OFLProcess(const OFLProcess&) = delete;
  OFLProcess& operator=(const OFLProcess&) = delete;
  // A process neither waited for nor detached is detached.
  ~OFLProcess();

  // Starts `program` (a path, or a name without "/" looked up in PATH) with
  // `arguments` (not including the program). 0, or the Win32 code of the
  // failure (2 not found, 5 access denied, ...).
  uint32_t Start(const String& program, const std::vector<String>& arguments);
  // Waits for the end. False when nothing runs; else the exit code, or 128
  // plus the signal's number for a process a signal ended.
  bool Wait(int32_t& exitCode);
  // Leaves the process to run; it is reaped when it ends.
  void Detach();

 private:
  pid_t pid_ = -1;
};

#endif  // OFL_PROCESS_H_
