// CPatchStatusSerializer: carries the release levels of patches from one
// installation to another through a small XML file, the patch state file:
//
//   <OVSSpecialImport>
//     <PTMPatchStates version="1.0" count="N">
//       <Patch name=".." guid=".." guid_bulletin=".." bulletin=".." state="500"/>
//
// Export writes the level of every patch in the store; Import reads such a
// file and saves each patch whose level differs. Only the level is imported:
// a patch the store does not hold is skipped, never created. Callers with a
// user interface ask for the path themselves and show the message returned.
//
// Any status other than S_OK from the store counts as a failure (a patch the
// store does not hold loads with status 1). The class holds no state; calls
// may run from several threads, each with its own CDBAccess.
#ifndef ORVACMN_SERVER_PATCH_STATUS_SERIALIZER_H_
#define ORVACMN_SERVER_PATCH_STATUS_SERIALIZER_H_

#include <cstdint>

#include "ofl/string.h"
#include "orvacmn/common/types.h"

class OFLXMLParser;

namespace orvacmn {

class CDBAccess;

class CPatchStatusSerializer {
 public:
  using String = OFL::String;

  // Writes the level of every patch in the store to `path`. 0 when written;
  // 1 (nothing written) for an empty path; E_FAIL without a store. A failed
  // load returns its status with the store's text as `message`; a failed
  // write returns E_FAIL with "Error saving patch state file [PATH]: REASON".
  // The file is replaced as a whole, so a failed write leaves the old one.
  static HRESULT Export(CDBAccess* db, const String& path, String& message);

  // Reads the file at `path` and imports it. E_FAIL without a store; 1 for an
  // empty path; a file that cannot be read returns its Win32 status in
  // HRESULT form with "Error reading patch state import file [PATH]: REASON";
  // a text without the root or the "PTMPatchStates" element returns E_FAIL
  // with the matching message. Otherwise as the import below.
  static HRESULT Import(CDBAccess* db, const String& path, String& message);

  // Imports the "PTMPatchStates" element on which `parser`'s main cursor
  // stands, and leaves the cursor there. A version other than "1.0" returns
  // E_FAIL and writes nothing. Each "Patch" child's patch is loaded by its
  // "guid"; those that load are counted as read, and saved with their
  // "state" when it differs from the stored level (counted as changed); a
  // failed save ends the walk, earlier saves stay. The result is the status
  // of the last store call (0 when none), with the summary in `message`.
  static HRESULT Import(CDBAccess* db, OFLXMLParser* parser, String& message);
};

}  // namespace orvacmn

#endif  // ORVACMN_SERVER_PATCH_STATUS_SERIALIZER_H_
