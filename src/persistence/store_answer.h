// Reading the small property bags a store answers writes and actions with.
#ifndef ORVACMN_SRC_PERSISTENCE_STORE_ANSWER_H_
#define ORVACMN_SRC_PERSISTENCE_STORE_ANSWER_H_

#include "orvacmn/common/file_time.h"
#include "orvacmn/common/types.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/store_vocabulary.h"

namespace orvacmn {

// Reads the new change stamp ("ObjectTimestamp") from a store's answer; an
// answer without one leaves the stamp as it was.
inline void ReadObjectTimestamp(const String& answer, CFileTime& stamp) {
  if (answer.empty()) return;
  unsigned long long value = 0;
  if (OVO::Properties(answer).GetProperty(kPropertyObjectTimestamp, value)) stamp = CFileTime(value);
}

}  // namespace orvacmn

#endif  // ORVACMN_SRC_PERSISTENCE_STORE_ANSWER_H_
