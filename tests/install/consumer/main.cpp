#include <cstdio>
#include <orvacmn/orvacmn.h>

int main() {
  orvacmn::OVOXMLSupport empty("Empty", 0x50001);
  const bool ok = empty.Pack() == "<Empty></Empty>" && empty.Unpack(empty.Pack()) == 1;
  std::printf("orvacmn %s %s\n", orvacmn::Version(), ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
