#include "orvacmn/server/patch_status_serializer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/record_families.h"
#include "orvacmn/persistence/record_types.h"
#include "orvacmn/persistence/typed_load.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {
namespace {

constexpr uint32_t kResIncompatibleVersion = 7093;
constexpr uint32_t kResStatesTagMissing = 7094;
constexpr uint32_t kResRootTagMissing = 7095;
constexpr uint32_t kResImportFailed = 7096;
constexpr uint32_t kResImportSucceeded = 7097;
constexpr uint32_t kResSaveFailed = 7098;

constexpr char kTagRoot[] = "OVSSpecialImport";
constexpr char kTagStates[] = "PTMPatchStates";
constexpr char kTagPatch[] = "Patch";
constexpr char kFileVersion[] = "1.0";
constexpr char kAcceptedVersions[] = "<=1.0";

HRESULT FromWin32(uint32_t code) { return static_cast<HRESULT>(0x80070000u | (code & 0xFFFFu)); }

String ReasonOf(int err, const String& path) {
  return OFL::ErrorMessage::TranslateValue(OFL::Win32ErrorFromErrno(err, path));
}

// The bytes of the regular file at `path`; 0 or the Win32 code of the failure.
uint32_t ReadWholeFile(const String& path, String& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return OFL::Win32ErrorFromErrno(errno, path);
  struct stat st;
  uint32_t result = 0;
  if (::fstat(fd, &st) != 0) {
    result = OFL::Win32ErrorFromErrno(errno, path);
  } else if (!S_ISREG(st.st_mode)) {
    result = OFL::Win32::kAccessDenied;
  } else {
    text.clear();
    text.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        result = OFL::Win32ErrorFromErrno(errno, path);
        break;
      }
      text.append(buffer, static_cast<size_t>(n));
    }
  }
  ::close(fd);
  return result;
}

// Writes `text` to a new file beside `path` and renames it over `path`, so
// that a failed write never leaves a half file. 0 or the errno of the failure.
int ReplaceFile(const String& path, const String& text) {
  String temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return errno;
  int err = 0;
  for (size_t done = 0; done < text.size() && err == 0;) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) err = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  // mkstemp creates the file for its owner only; give it the usual mode.
  if (err == 0 && ::fchmod(fd, 0644) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(temp.c_str());
  return err;
}

}  // namespace

HRESULT CPatchStatusSerializer::Export(CDBAccess* db, const String& path, String& message) {
  message.clear();
  if (db == nullptr) return kE_FAIL;
  if (path.empty()) return 1;

  OVOPTMPatchList patches;
  const HRESULT hr = db->LoadPTMPatches(patches, message, kLoadAllFlags);
  if (hr != kS_OK) return hr;
  message.clear();

  OFLXMLParser xml;
  xml.AddElem(kTagRoot);
  xml.IntoElem();
  xml.AddElem(kTagStates);
  xml.SetAttrib("version", kFileVersion);
  xml.SetAttrib("count", OFLTools::ULToA(static_cast<uint32_t>(patches.GetCount())));
  xml.IntoElem();
  for (const OVOPTMPatch* patch : patches) {
    xml.AddElem(kTagPatch);
    xml.SetAttrib("name", patch->GetName());
    xml.SetAttrib("guid", patch->GetGUID());
    xml.SetAttrib("guid_bulletin", patch->GetGUIDBulletin());
    xml.SetAttrib("bulletin", patch->GetBulletin());
    xml.SetAttrib("state", patch->GetReleaseLevel().ToString());
  }
  patches.DeleteObjects();

  String doc = xml.GetDoc();
  doc += '\n';
  if (const int err = ReplaceFile(path, doc); err != 0) {
    message = OFLFormat(kResSaveFailed, path, ReasonOf(err, path)).str();
    return kE_FAIL;
  }
  return kS_OK;
}

HRESULT CPatchStatusSerializer::Import(CDBAccess* db, const String& path, String& message) {
  message.clear();
  if (db == nullptr) return kE_FAIL;
  if (path.empty()) return 1;

  String text;
  if (const uint32_t code = ReadWholeFile(path, text); code != 0) {
    message = "Error reading patch state import file [" + path + "]: " + OFL::ErrorMessage::TranslateValue(code);
    return FromWin32(code);
  }
  // A text that does not parse leaves an empty document: no root.
  OFLXMLParser xml;
  xml.SetDoc(text);
  text = String();
  if (!xml.FindElem(kTagRoot)) {
    message = OFLFormat(kResRootTagMissing).str();
    return kE_FAIL;
  }
  xml.IntoElem();
  if (!xml.FindElem(kTagStates)) {
    message = OFLFormat(kResStatesTagMissing).str();
    return kE_FAIL;
  }
  const HRESULT hr = Import(db, &xml, message);
  xml.OutOfElem();
  return hr;
}

HRESULT CPatchStatusSerializer::Import(CDBAccess* db, OFLXMLParser* parser, String& message) {
  message.clear();
  if (db == nullptr || parser == nullptr) return kE_FAIL;
  // "count" is not read: the walk goes by the children actually present.
  const String version = parser->GetAttrib("version");
  if (version != kFileVersion) {
    message = OFLFormat(kResIncompatibleVersion, version, kAcceptedVersions).str();
    return kE_FAIL;
  }

  int32_t read = 0, skipped = 0, changed = 0;
  HRESULT hr = kS_OK;
  String storeText;
  parser->IntoElem();
  while (parser->FindElem(kTagPatch)) {
    OVOPTMPatch patch;
    const String guid = parser->GetAttrib("guid");
    bool found = false;
    storeText.clear();
    hr = db->LoadPTMPatch(guid, patch, storeText, kLoadAllFlags, &found);
    // The store reads "*" as a wildcard: an entry names one patch or none.
    if (hr == kS_OK && (!found || !OFL::EqualsNoCase(patch.GetGUID(), guid))) {
      const CRecordNotFound missing = NotFoundOf(FamilyOf<kRecordTypePTMPatch>(), AsSpan({std::string_view(guid)}));
      hr = missing.status == kS_OK ? kE_FAIL : missing.status;
      storeText = missing.text;
    }
    if (hr != kS_OK) {
      ++skipped;
      continue;
    }
    ++read;
    const int32_t state = OFL::CRT::atoi(parser->GetAttrib("state"));
    if (patch.GetReleaseLevel() == state) continue;
    patch.SetReleaseLevel(state);
    ++changed;
    storeText.clear();
    hr = db->SavePTMPatch(patch, storeText);
    if (hr != kS_OK) break;
  }
  parser->OutOfElem();

  if (hr != kS_OK) {
    message = OFLFormat(kResImportFailed, read, skipped, changed, storeText).str();
    return hr;
  }
  message = OFLFormat(kResImportSucceeded, read, skipped, changed).str();
  return kS_OK;
}

}  // namespace orvacmn
