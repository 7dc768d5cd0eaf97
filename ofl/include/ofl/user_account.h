// OFLUserAccount: a Windows account as "domain\user" with its password.
//
// SetAccount reads "domain\user", "user@domain" or a bare "user"; the domain
// "." stands for the local computer and is kept as written. Pack gives a text
// that Unpack reads back to the same account and password (a length-packed
// list, see OFLTokenizer). The password travels as given: callers that send
// a packed account over an untrusted channel protect the whole message.
//
// Plain value type; one thread at a time per object.
#ifndef OFL_USER_ACCOUNT_H_
#define OFL_USER_ACCOUNT_H_

#include <cstdint>
#include <string_view>

#include "ofl/string.h"

class OFLUserAccount {
 public:
  using String = OFL::String;

  // Bits of GetEnvironment: the account names no single fixed account.
  static constexpr uint32_t kEnvWildcard = 0x1;  // "*" as domain or user (every account)
  static constexpr uint32_t kEnvVariable = 0x2;  // a %NAME% placeholder, resolved where it is used

  OFLUserAccount() = default;
  explicit OFLUserAccount(std::string_view account, std::string_view password = {}) {
    SetAccount(account, password);
  }

  // Splits `account` (trimmed) into domain and user; an empty text clears.
  void SetAccount(std::string_view account, std::string_view password = {});
  void SetPassword(std::string_view password) { password_.assign(password); }
  void Clear();

  // True when a user name is present.
  bool IsSet() const { return !user_.empty(); }
  // "domain\user", or the user alone when there is no domain.
  String GetAccount() const;
  const String& GetDomain() const { return domain_; }
  const String& GetUser() const { return user_; }
  const String& GetPassword() const { return password_; }
  // kEnv* bits; 0 for a plain account.
  uint32_t GetEnvironment() const;

  // The empty text for an unset account without password.
  String Pack() const;
  // Clears, then reads a text of Pack. False (and cleared) for anything else;
  // the empty text reads as the empty account.
  bool Unpack(std::string_view text);

  friend bool operator==(const OFLUserAccount&, const OFLUserAccount&) = default;

 private:
  String domain_;
  String user_;
  String password_;
};

#endif  // OFL_USER_ACCOUNT_H_
