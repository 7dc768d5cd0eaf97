// Definitions of the named family operations from their rows
// (orvacmn/persistence/family_operations.h): each is one call of the shared
// typed path with the family's row.
#ifndef ORVACMN_SRC_PERSISTENCE_FAMILIES_DEFINE_OPERATIONS_H_
#define ORVACMN_SRC_PERSISTENCE_FAMILIES_DEFINE_OPERATIONS_H_

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/typed_load.h"

#define ORVACMN_FAMILY_ROW(F) FamilyOf<kRecordType##F>()
#define ORVACMN_FAMILY_DEF__(F, P, C, L)
// A single load or an update names one record: it takes every key of the row.
#define ORVACMN_FAMILY_KEYS(F, n) \
  static_assert(ORVACMN_FAMILY_ROW(F).keyStrings == n, #F ": the operation's keys are not the row's key")
#define ORVACMN_FAMILY_DEF_LOAD1(F, P, C, L)                                                            \
  HRESULT CDBAccess::Load##F(const String& key, C& object, String& out, uint32_t flags, bool* found) { \
    ORVACMN_FAMILY_KEYS(F, 1);                                                                         \
    return LoadOne(*this, ORVACMN_FAMILY_ROW(F), {key}, object, out, flags, found);                    \
  }
#define ORVACMN_FAMILY_DEF_LOAD2(F, P, C, L)                                                                      \
  HRESULT CDBAccess::Load##F(const String& key, const String& key2, C& object, String& out, uint32_t flags,      \
                             bool* found) {                                                                      \
    ORVACMN_FAMILY_KEYS(F, 2);                                                                                   \
    return LoadOne(*this, ORVACMN_FAMILY_ROW(F), {key, key2}, object, out, flags, found);                        \
  }
#define ORVACMN_FAMILY_DEF_LIST(F, P, C, L)                                  \
  HRESULT CDBAccess::Load##P(L& list, String& out, uint32_t flags) {        \
    return LoadList<C>(*this, ORVACMN_FAMILY_ROW(F), {}, {}, flags, list, out); \
  }
#define ORVACMN_FAMILY_DEF_CREATE(F, P, C, L)                 \
  HRESULT CDBAccess::Create##F(const C& object, String& out) { \
    return CreateOne(*this, ORVACMN_FAMILY_ROW(F), object, out); \
  }
#define ORVACMN_FAMILY_DEF_SAVE(F, P, C, L)                 \
  HRESULT CDBAccess::Save##F(const C& object, String& out) { \
    return SaveOne(*this, ORVACMN_FAMILY_ROW(F), object, out); \
  }
#define ORVACMN_FAMILY_DEF_UPDATE1(F, P, C, L)                                           \
  HRESULT CDBAccess::Update##F(const String& key, const String& record, String& out) { \
    ORVACMN_FAMILY_KEYS(F, 1);                                                         \
    return UpdateOne(*this, ORVACMN_FAMILY_ROW(F), {key}, record, out);                \
  }
#define ORVACMN_FAMILY_DEF_UPDATE2(F, P, C, L)                                                             \
  HRESULT CDBAccess::Update##F(const String& key, const String& key2, const String& record, String& out) { \
    ORVACMN_FAMILY_KEYS(F, 2);                                                                             \
    return UpdateOne(*this, ORVACMN_FAMILY_ROW(F), {key, key2}, record, out);                              \
  }
#define ORVACMN_FAMILY_DEF_DELETE1(F, P, C, L)                    \
  HRESULT CDBAccess::Delete##F(const String& key, String& out) { \
    return DeleteOne(*this, ORVACMN_FAMILY_ROW(F), {key}, out);  \
  }
#define ORVACMN_FAMILY_DEF_DELETE2(F, P, C, L)                                          \
  HRESULT CDBAccess::Delete##F(const String& key, const String& key2, String& out) { \
    return DeleteOne(*this, ORVACMN_FAMILY_ROW(F), {key, key2}, out);                \
  }
#define ORVACMN_DEFINE_FAMILY_OPERATIONS(F, P, C, L, load, list, create, save, update, del)         \
  ORVACMN_FAMILY_DEF_##load(F, P, C, L) ORVACMN_FAMILY_DEF_##list(F, P, C, L)                     \
      ORVACMN_FAMILY_DEF_##create(F, P, C, L) ORVACMN_FAMILY_DEF_##save(F, P, C, L)               \
          ORVACMN_FAMILY_DEF_##update(F, P, C, L) ORVACMN_FAMILY_DEF_##del(F, P, C, L)

#endif  // ORVACMN_SRC_PERSISTENCE_FAMILIES_DEFINE_OPERATIONS_H_
