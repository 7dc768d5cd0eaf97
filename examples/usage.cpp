// Build a client, pack it, store it, find it again by what its agent
// announces, and merge the agent's report: only what changed is written.
#include <cstdio>

#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/client_mgmt_helper.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"

int main(int argc, char** argv) {
  using namespace orvacmn;
  std::string error, out;
  auto store = store::SqliteStore::Open(argc > 1 ? argv[1] : "objects.db", /*create=*/true, &error);
  if (!store) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
  CDBAccess db(store);

  OVOSystem client;  // a managed system; its packed XML text is its record
  client.SetGuid("6B1F2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
  client.SetHostName("PC1");
  client.SetPrimaryMAC("00:1A:2B:3C:4D:5E");
  std::printf("%.60s...\n", client.Pack().c_str());
  if (FAILED(db.CreateSystem(client, out))) return std::fprintf(stderr, "%s\n", out.c_str()), 1;

  OVOClientIdentification id;  // what an agent announces
  id.SetMACList("00-1a-2b-3c-4d-5e");
  id.SetHostname("PC1");
  OVOSystem found;
  bool ok = false;
  uint32_t method = 0;
  db.LoadSystem(id, 0, found, out, 0, &ok, &method);
  if (!ok) return std::fprintf(stderr, "not found: %s\n", out.c_str()), 1;
  std::printf("found %s by method %u\n", found.GetHostName().c_str(), method);

  OVOProperties report;  // the agent's inventory
  report.SetProperty("TotalMemory", String("16384"));
  report.SetProperty("OSVersionMajor", String("4294967295"));  // "unknown": never overwrites
  const ClientMgmtHelper helper;
  const OVOProperties changes = helper.GetAllPropertiesToUpdate(found, report, ClientMgmtHelper::Domains(),
                                                                eConnectByName, CConfiguration::eIPUpdateOff);
  for (const auto& change : changes) std::printf("changed %s = %s\n", change.name.c_str(), change.value.c_str());
  ClientMgmtHelper::UpdateSystemProperties(found, changes, CConfiguration::eIPUpdateOff);
  if (FAILED(db.SaveSystem(found, out))) return std::fprintf(stderr, "%s\n", out.c_str()), 1;
  return 0;
}
