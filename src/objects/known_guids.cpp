#include "orvacmn/objects/known_guids.h"

#include <initializer_list>

namespace orvacmn {
namespace KnownGuids {
namespace {

OFL::String Join(std::initializer_list<const char*> guids) {
  OFL::String out;
  for (const char* g : guids) {
    if (!out.empty()) out += ';';
    out += g;
  }
  return out;
}

}  // namespace

const OFL::String& Helper::GetSecurableOrgUnits() {
  static const OFL::String list = Join({
      "8E5102E3-C2E1-47BA-AD76-295D3DF9EF31", "299D0B30-D384-430C-875A-63C3EF73A150",
      "E09EE6E7-3BE1-44DE-A28C-43E958378F72", "5F77955E-26A4-4A91-9B99-A4833A2E8CF6",
      "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B", "D429BFF9-619B-45C8-9098-70387A92251E",
      "663FF36F-73C0-4224-9C89-F320563AD2F7", "CA5F037F-358E-48EE-81B0-9C14AD55FC68",
      "6ADA3805-9AEE-4D2D-AC64-E2F92ED4BAF8", "D93E97F2-27AF-47DA-A423-EE7CF7B74A75",
      "237F4CA3-5808-4C79-B7F6-014C6F65215B", "B618FEFB-57E9-4197-AEE2-426B47087DD4",
  });
  return list;
}

const OFL::String& Helper::GetOldSecurableOrgUnits() {
  static const OFL::String list = Join({
      "C6567FDB-74B4-40C1-846D-12011A163B4A", "C6567FDB-74B4-40C1-846D-12011A163B4A",
      "299D0B30-D384-430C-875A-63C3EF73A150", "45DAD49A-4396-4EEA-B12E-8F2D4DEB6813",
      "5F77955E-26A4-4A91-9B99-A4833A2E8CF6", "E09EE6E7-3BE1-44DE-A28C-43E958378F72",
      "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B", "CA5F037F-358E-48EE-81B0-9C14AD55FC68",
      "B24381C8-868C-48CE-92B2-638C6123892B", "BC58245D-FD57-46D6-9CDC-59DECC580B9D",
      "04B644FE-C0A5-42AB-A0BB-0814DFBD6A1F", "237F4CA3-5808-4C79-B7F6-014C6F65215B",
  });
  return list;
}

}  // namespace KnownGuids
}  // namespace orvacmn
