// System texts of Win32 errors and HRESULTs, looked up in sorted tables.
#include "ofl/error_message.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>

namespace {

struct Entry {
  uint32_t code;
  const char* text;
};

constexpr Entry kWin32[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {7, "The storage control blocks were destroyed."},
    {8, "Not enough memory resources are available to process this command."},
    {9, "The storage control block address is invalid."},
    {10, "The environment is incorrect."},
    {11, "An attempt was made to load a program with an incorrect format."},
    {12, "The access code is invalid."},
    {13, "The data is invalid."},
    {14, "Not enough memory resources are available to complete this operation."},
    {15, "The system cannot find the drive specified."},
    {16, "The directory cannot be removed."},
    {17, "The system cannot move the file to a different disk drive."},
    {18, "There are no more files."},
    {19, "The media is write protected."},
    {21, "The device is not ready."},
    {23, "Data error (cyclic redundancy check)."},
    {24, "The program issued a command but the command length is incorrect."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {31, "A device attached to the system is not functioning."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {38, "Reached the end of the file."},
    {39, "The disk is full."},
    {50, "The request is not supported."},
    {53, "The network path was not found."},
    {54, "The network is busy."},
    {55, "The specified network resource or device is no longer available."},
    {57, "A network adapter hardware error occurred."},
    {59, "An unexpected network error occurred."},
    {64, "The specified network name is no longer available."},
    {65, "Network access is denied."},
    {67, "The network name cannot be found."},
    {80, "The file exists."},
    {82, "The directory or file cannot be created."},
    {86, "The specified network password is not correct."},
    {87, "The parameter is incorrect."},
    {89, "The system cannot start another process at this time."},
    {109, "The pipe has been ended."},
    {110, "The system cannot open the device or file specified."},
    {111, "The file name is too long."},
    {112, "There is not enough space on the disk."},
    {120, "This function is not supported on this system."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {131, "An attempt was made to move the file pointer before the beginning of the file."},
    {145, "The directory is not empty."},
    {161, "The specified path is invalid."},
    {170, "The requested resource is in use."},
    {183, "Cannot create a file when that file already exists."},
    {203, "The system could not find the environment option that was entered."},
    {206, "The filename or extension is too long."},
    {230, "The pipe state is invalid."},
    {231, "All pipe instances are busy."},
    {232, "The pipe is being closed."},
    {233, "No process is on the other end of the pipe."},
    {234, "More data is available."},
    {258, "The wait operation timed out."},
    {259, "No more data is available."},
    {267, "The directory name is invalid."},
    {299, "Only part of a ReadProcessMemory or WriteProcessMemory request was completed."},
    {487, "Attempt to access invalid address."},
    {534, "Arithmetic result exceeded 32 bits."},
    {740, "The requested operation requires elevation."},
    {995, "The I/O operation has been aborted because of either a thread exit or an application request."},
    {997, "Overlapped I/O operation is in progress."},
    {998, "Invalid access to memory location."},
    {1001, "Recursion too deep; the stack overflowed."},
    {1004, "Invalid flags."},
    {1009, "The configuration registry database is corrupt."},
    {1010, "The configuration registry key is invalid."},
    {1011, "The configuration registry key could not be opened."},
    {1012, "The configuration registry key could not be read."},
    {1013, "The configuration registry key could not be written."},
    {1053, "The service did not respond to the start or control request in a timely fashion."},
    {1056, "An instance of the service is already running."},
    {1058, "The service cannot be started, either because it is disabled or because it has no enabled devices "
           "associated with it."},
    {1060, "The specified service does not exist as an installed service."},
    {1062, "The service has not been started."},
    {1072, "The specified service has been marked for deletion."},
    {1073, "The specified service already exists."},
    {1114, "A dynamic link library (DLL) initialization routine failed."},
    {1115, "A system shutdown is in progress."},
    {1155, "No application is associated with the specified file for this operation."},
    {1167, "The device is not connected."},
    {1168, "Element not found."},
    {1169, "There was no match for the specified key in the index."},
    {1170, "The property set specified does not exist on the object."},
    {1200, "The specified device name is invalid."},
    {1201, "The device is not currently connected but it is a remembered connection."},
    {1202, "The local device name has a remembered connection to another network resource."},
    {1208, "An extended error has occurred."},
    {1210, "The format of the specified computer name is invalid."},
    {1212, "The format of the specified domain name is invalid."},
    {1214, "The format of the specified network name is invalid."},
    {1222, "The network is not present or not started."},
    {1223, "The operation was canceled by the user."},
    {1225, "The remote computer refused the network connection."},
    {1229, "An operation was attempted on a nonexistent network connection."},
    {1236, "The network connection was aborted by the local system."},
    {1244, "The operation being requested was not performed because the user has not been authenticated."},
    {1300, "Not all privileges or groups referenced are assigned to the caller."},
    {1312, "A specified logon session does not exist. It may already have been terminated."},
    {1314, "A required privilege is not held by the client."},
    {1317, "The specified account does not exist."},
    {1323, "Unable to update the password. The value provided as the current password is incorrect."},
    {1326, "The user name or password is incorrect."},
    {1330, "The password for this account has expired."},
    {1332, "No mapping between account names and security IDs was done."},
    {1337, "The security ID structure is invalid."},
    {1338, "The security descriptor structure is invalid."},
    {1355, "The specified domain either does not exist or could not be contacted."},
    {1359, "An internal error occurred."},
    {1376, "The specified local group does not exist."},
    {1378, "The specified account name is already a member of the group."},
    {1385, "Logon failure: the user has not been granted the requested logon type at this computer."},
    {1392, "The file or directory is corrupted and unreadable."},
    {1396, "The target account name is incorrect."},
    {1400, "Invalid window handle."},
    {1413, "Invalid index."},
    {1444, "Invalid thread identifier."},
    {1450, "Insufficient system resources exist to complete the requested service."},
    {1453, "Insufficient quota to complete the requested service."},
    {1455, "The paging file is too small for this operation to complete."},
    {1460, "This operation returned because the timeout period expired."},
    {1602, "User cancelled installation."},
    {1603, "Fatal error during installation."},
    {1612, "The installation source for this product is not available. Verify that the source exists and that you "
           "can access it."},
    {1618, "Another installation is already in progress. Complete that installation before proceeding with this "
           "install."},
    {1625, "This installation is forbidden by system policy. Contact your system administrator."},
    {1641, "The requested operation completed successfully. The system will be restarted so the changes can take "
           "effect."},
    {1722, "The RPC server is unavailable."},
    {1726, "The remote procedure call failed."},
    {1753, "There are no more endpoints available from the endpoint mapper."},
    {1909, "The referenced account is currently locked out and may not be logged on to."},
    {2202, "The specified username is invalid."},
    {2221, "The user name could not be found."},
    {2242, "The password of this user has expired."},
    {2250, "This network connection does not exist."},
    {2404, "The device is being accessed by an active process."},
    {3010, "The requested operation is successful. Changes will not be effective until the system is rebooted."},
    {10013, "An attempt was made to access a socket in a way forbidden by its access permissions."},
    {10048, "Only one usage of each socket address (protocol/network address/port) is normally permitted."},
    {10049, "The requested address is not valid in its context."},
    {10050, "A socket operation encountered a dead network."},
    {10051, "A socket operation was attempted to an unreachable network."},
    {10053, "An established connection was aborted by the software in your host machine."},
    {10054, "An existing connection was forcibly closed by the remote host."},
    {10060, "A connection attempt failed because the connected party did not properly respond after a period of "
            "time, or established connection failed because connected host has failed to respond."},
    {10061, "No connection could be made because the target machine actively refused it."},
    {10064, "A socket operation failed because the destination host was down."},
    {10065, "A socket operation was attempted to an unreachable host."},
    {11001, "No such host is known."},
    {11002, "This is usually a temporary error during hostname resolution and means that the local server did not "
            "receive a response from an authoritative server."},
    {11004, "The requested name is valid, but no data of the requested type was found."},
};

// HRESULTs with texts of their own; 0x8007xxxx codes use the Win32 table.
constexpr Entry kHResult[] = {
    {0x8000000Au, "The data necessary to complete this operation is not yet available."},
    {0x80004001u, "Not implemented"},
    {0x80004002u, "No such interface supported"},
    {0x80004003u, "Invalid pointer"},
    {0x80004004u, "Operation aborted"},
    {0x80004005u, "Unspecified error"},
    {0x8000FFFFu, "Catastrophic failure"},
    {0x80010001u, "Call was rejected by callee."},
    {0x80010105u, "The server threw an exception."},
    {0x80010106u, "Cannot change thread mode after it is set."},
    {0x80010108u, "The object invoked has disconnected from its clients."},
    {0x8001010Eu, "The application called an interface that was marshalled for a different thread."},
    {0x80020005u, "Type mismatch."},
    {0x80020006u, "Unknown name."},
    {0x80020009u, "Exception occurred."},
    {0x8002000Eu, "Invalid number of parameters."},
    {0x80040110u, "Class does not support aggregation (or class object is remote)"},
    {0x80040111u, "ClassFactory cannot supply requested class"},
    {0x80040154u, "Class not registered"},
    {0x800401E4u, "Invalid syntax"},
    {0x800401F0u, "CoInitialize has not been called."},
    {0x800401F3u, "Invalid class string"},
    {0x80090005u, "Bad Data."},
    {0x80090016u, "Keyset does not exist"},
    {0x80092004u, "Cannot find object or property."},
    {0x80096004u, "The signature of the certificate cannot be verified."},
    {0x800B0100u, "No signature was present in the subject."},
    {0x800B0101u, "A required certificate is not within its validity period when verifying against the current "
                  "system clock or the timestamp in the signed file."},
    {0x800B0109u, "A certificate chain processed, but terminated in a root certificate which is not trusted by the "
                  "trust provider."},
    {0x800B010Au, "A certificate chain could not be built to a trusted root authority."},
};

constexpr bool SortedUnique(const Entry* begin, const Entry* end) {
  for (const Entry* e = begin; e + 1 < end; ++e)
    if (e[0].code >= e[1].code) return false;
  return true;
}
static_assert(SortedUnique(std::begin(kWin32), std::end(kWin32)), "kWin32 must be sorted by code");
static_assert(SortedUnique(std::begin(kHResult), std::end(kHResult)), "kHResult must be sorted by code");

template <size_t N>
const char* Find(const Entry (&table)[N], uint32_t code) {
  const Entry* it = std::lower_bound(std::begin(table), std::end(table), code,
                                     [](const Entry& e, uint32_t c) { return e.code < c; });
  return it != std::end(table) && it->code == code ? it->text : nullptr;
}

}  // namespace

namespace OFL {
namespace ErrorMessage {

String TranslateValue(uint32_t code) {
  const char* text = nullptr;
  if (code <= 0xFFFFu) text = Find(kWin32, code);
  else if ((code & 0xFFFF0000u) == 0x80070000u) text = Find(kWin32, code & 0xFFFFu);
  else text = Find(kHResult, code);
  if (text != nullptr) return text;
  char buf[32];
  std::snprintf(buf, sizeof buf, "Unknown error 0x%08X", code);
  return buf;
}

}  // namespace ErrorMessage
namespace {

bool ParentIsDirectory(const String& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == String::npos) return true;
  struct stat st;
  const String parent = slash == 0 ? String("/") : path.substr(0, slash);
  return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

uint32_t Win32ErrorFromErrno(int err, const String& path) {
  switch (err) {
    case ENOENT: return ParentIsDirectory(path) ? Win32::kFileNotFound : Win32::kPathNotFound;
    case ENOTDIR: return Win32::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return Win32::kAccessDenied;
    case EMFILE:
    case ENFILE: return Win32::kTooManyOpenFiles;
    case ENOMEM: return Win32::kNotEnoughMemory;
    case EROFS: return Win32::kWriteProtect;
    case EIO: return Win32::kReadFault;
    case EBUSY:
    case ETXTBSY: return Win32::kSharingViolation;
    case EEXIST: return Win32::kFileExists;
    case EINVAL: return Win32::kInvalidParameter;
    case ENOSPC:
    case EDQUOT: return Win32::kDiskFull;
    case ENAMETOOLONG: return Win32::kFilenameExcedRange;
    default: return Win32::kGenFailure;
  }
}

}  // namespace OFL
