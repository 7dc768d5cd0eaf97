// Variable sets read from files, shared by the commands that expand.
#include <string>

#include "orvacmn/variables.h"
#include "ovo.h"

namespace ovo {

bool AddVarsFile(orvacmn::COVKVars& vars, const std::string& file) {
  std::string text;
  if (!ReadInput(file, text)) return false;
  orvacmn::COVKVars set;
  if (set.Unpack(text) != 0) {
    vars.AddVars(&set);
    return true;
  }
  orvacmn::OVOVars objectVars;
  if (objectVars.Unpack(text) != 0) {
    vars.AddVars(&objectVars, true);
    return true;
  }
  Error(file + ": neither an <OVSVars> nor a <Vars> element");
  return false;
}

}  // namespace ovo
