// OFLSecurityCatalog: reads a driver package's security catalog (.cat), a
// PKCS #7 signed-data whose content is a catalog trust list, and gives its
// catalog-level name/value attributes and its members with their own. The
// signature is not checked: only what the catalog says about its files is
// wanted. DER only; PEM or base64 text is refused. A damaged or foreign file
// gives false with a readable error text. One object serves one thread.
#ifndef OFL_SECURITY_CATALOG_H_
#define OFL_SECURITY_CATALOG_H_

#include <string_view>
#include <utility>
#include <vector>

#include "ofl/string.h"

class OFLSecurityCatalog {
 public:
  using String = OFL::String;
  // Name as written, value converted to UTF-8; in the catalog's order.
  using AttributeList = std::vector<std::pair<String, String>>;

  struct Member {
    String tag;  // the member's subject identifier (usually its hash in hex)
    AttributeList attributes;
  };

  // Reads the file at `path`. On failure the catalog is empty and `error`
  // (when given) holds the reason.
  bool Open(const String& path, String* error = nullptr);
  // The same over bytes already in memory.
  bool OpenBytes(std::string_view der, String* error = nullptr);

  const AttributeList& GetAttributes() const { return attributes_; }
  const std::vector<Member>& GetMembers() const { return members_; }

  // The value of the first entry named `name` (ignoring ASCII case).
  static bool FindAttribute(const AttributeList& list, std::string_view name, String& value);

 private:
  void Clear();

  AttributeList attributes_;
  std::vector<Member> members_;
};

#endif  // OFL_SECURITY_CATALOG_H_
