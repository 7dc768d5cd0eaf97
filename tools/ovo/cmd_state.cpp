// ovo state update STORED INCOMING: the packed client state after
// STORED.Update(INCOMING); both are files ("-" for stdin). STORED is read as
// a stored state (either name of the custom-state type). Status 1 when
// either file holds no <ClientState>.
// And the class OVOClientState of `ovo object`.
#include <iostream>
#include <memory>

#include "orvacmn/system/client_state.h"
#include "ovo.h"

namespace {

using orvacmn::OVOClientState;

const ovo::ObjectClass kClientState("OVOClientState", [] { return std::make_unique<OVOClientState>(); });

struct Args {
  std::string stored, incoming;
};

int RunUpdate(const Args& a) {
  std::string storedText, incomingText;
  if (!ovo::ReadInput(a.stored, storedText) || !ovo::ReadInput(a.incoming, incomingText)) return 1;
  OVOClientState state;
  if (state.UnpackStored(storedText) == 0) return ovo::Error("no <ClientState> element in " + a.stored);
  if (state.Update(incomingText) == 0) return ovo::Error("no <ClientState> element in " + a.incoming);
  std::cout << state.Pack() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* state = app.add_subcommand("state", "Client state records");
  state->require_subcommand(1);
  auto a = std::make_shared<Args>();
  auto* update = state->add_subcommand("update", "Apply a partial state (its \"Changes\" groups) to a stored one");
  update->add_option("STORED", a->stored, "Packed <ClientState> as stored (\"-\": stdin)")->required();
  update->add_option("INCOMING", a->incoming, "Packed <ClientState> with \"Changes\" (\"-\": stdin)")->required();
  update->callback([a, &exitCode] { exitCode = RunUpdate(*a); });
}

const ovo::Registration reg(105, Register);

}  // namespace
