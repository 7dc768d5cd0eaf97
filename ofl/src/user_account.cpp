#include "ofl/user_account.h"

#include "ofl/tokenizer.h"

namespace {

// Marks the packed form, so that an arbitrary length-packed list is refused.
constexpr std::string_view kPackTag = "UA1";

bool HasPlaceholder(std::string_view s) {
  const size_t open = s.find('%');
  return open != std::string_view::npos && s.find('%', open + 1) != std::string_view::npos;
}

}  // namespace

void OFLUserAccount::SetAccount(std::string_view account, std::string_view password) {
  Clear();
  const OFL::String text = OFL::Trim(account);
  if (const size_t slash = text.find('\\'); slash != OFL::String::npos) {
    domain_ = text.substr(0, slash);
    user_ = text.substr(slash + 1);
  } else if (const size_t at = text.rfind('@'); at != OFL::String::npos && at > 0) {
    user_ = text.substr(0, at);
    domain_ = text.substr(at + 1);
  } else {
    user_ = text;
  }
  password_.assign(password);
}

void OFLUserAccount::Clear() {
  domain_.clear();
  user_.clear();
  password_.clear();
}

OFL::String OFLUserAccount::GetAccount() const { return domain_.empty() ? user_ : domain_ + '\\' + user_; }

uint32_t OFLUserAccount::GetEnvironment() const {
  uint32_t env = 0;
  if (domain_ == "*" || user_ == "*") env |= kEnvWildcard;
  if (HasPlaceholder(domain_) || HasPlaceholder(user_)) env |= kEnvVariable;
  return env;
}

OFL::String OFLUserAccount::Pack() const {
  if (domain_.empty() && user_.empty() && password_.empty()) return String();
  OFLTokenizer t;
  t.AddString(kPackTag);
  t.AddString(domain_);
  t.AddString(user_);
  t.AddString(password_);
  return t.AsLengthPackedString();
}

bool OFLUserAccount::Unpack(std::string_view text) {
  Clear();
  if (text.empty()) return true;
  OFLTokenizer t;
  if (!t.FromLengthPackedString(text) || t.GetCount() != 4 || t[0] != kPackTag) return false;
  domain_ = t[1];
  user_ = t[2];
  password_ = t[3];
  return true;
}
