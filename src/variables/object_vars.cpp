// Filling a variable set from the object-level variable values and from
// property bags.
#include "orvacmn/objects/properties.h"
#include "orvacmn/variables/custom_var_def.h"
#include "orvacmn/variables/ovk_vars.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

void COVKVars::AddVars(const OVOVars* vars, bool fullNames) {
  if (vars == nullptr) return;
  for (const OVOVars::Variable* v : *vars) {
    const bool isPassword = v->GetTypeForDisplay() == OVOCustomVarDef::ePassword;
    if (fullNames)
      AddVar(vars->GenerateFullName(v), v->GetValue(), true, false, CVariableType::Runtime, isPassword);
    else
      AddVar(v->GetName(), v->GetValue(), false, false, CVariableType::Runtime, isPassword);
  }
}

void COVKVars::AddVars(const String& xml, bool fullNames) {
  const OVOVars vars(xml);
  AddVars(&vars, fullNames);
}

void COVKVars::AddVars(const OVO::Properties* properties) {
  if (properties == nullptr) return;
  for (const auto& [name, value] : *properties) AddVar(name, value, false, true, CVariableType::System, false);
}

}  // namespace orvacmn
