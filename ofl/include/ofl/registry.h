// OFLRegistry: the registry stand-in. Keys and values live in a folder the
// caller names, one file per root hive ("HKLM.reg", ...), so that package
// steps and the `ovo registry` command see the same data across runs.
//
// Key paths are separated by "\"; key and value names compare without
// regard to case and keep the case they were created with. Values are
// strings (REG_SZ) or 32-bit numbers (REG_DWORD). Status codes are the
// platform's: 0, 2 (no such key or value), 1009 (a hive file that cannot be
// read), 1013 (one that cannot be written), 87 (a bad argument).
//
// A change of a root runs as one read-modify-write under an exclusive lock
// of that root (flock on "ROOT.lock"), and the new file replaces the old one
// by a rename, so readers and other processes see either the old or the new
// hive, never a part. An object may be used by one thread at a time; several
// objects (and processes) may work on one folder at once.
#ifndef OFL_REGISTRY_H_
#define OFL_REGISTRY_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "ofl/string.h"

class OFLRegistry {
 public:
  using String = OFL::String;

  enum ERoot { kHKLM, kHKCU, kHKU, kHKCR, kHKCC };
  enum EType : uint32_t { kString = 1, kDWord = 4 };

  struct Value {
    String name;
    EType type = kString;
    String text;         // kString
    uint32_t dword = 0;  // kDWord
    // The data as text: the string, or the number in decimal.
    String GetDataText() const;
  };

  // The keys and values of one root, in memory.
  class Hive {
   public:
    // Creates the key and every key above it; 0, or 87 for an empty name
    // inside the path.
    uint32_t CreateKey(std::string_view path);
    bool HasKey(std::string_view path) const;
    // 0, or 2 when the key does not exist.
    uint32_t SetStringValue(std::string_view key, std::string_view name, std::string_view value);
    uint32_t SetDWordValue(std::string_view key, std::string_view name, uint32_t value);
    // Null when the key or the value does not exist; valid until the hive changes.
    const Value* GetValue(std::string_view key, std::string_view name) const;
    // The values in the order they were first set; empty for a missing key.
    std::vector<Value> GetValues(std::string_view key) const;
    // The names of the keys right below `key`, sorted ignoring case.
    std::vector<String> GetSubKeys(std::string_view key) const;
    bool IsModified() const { return modified_; }

    // The file form, and back (false for a text that is not one).
    String Serialize() const;
    bool Parse(std::string_view text);

   private:
    struct Key {
      String path;  // as first created
      std::vector<Value> values;
    };
    Value* FindValue(std::string_view key, std::string_view name, uint32_t& status);

    std::map<String, Key> keys_;  // by lower-case path; the root key is ""
    bool modified_ = false;
  };

  explicit OFLRegistry(String folder) : folder_(std::move(folder)) {}

  // "HKLM", "HKCU", "HKU", "HKCR", "HKCC" or their long names
  // ("HKEY_LOCAL_MACHINE" ...), ignoring case.
  static bool ParseRoot(std::string_view name, ERoot& root);
  static const char* RootName(ERoot root);

  // Reads the root, runs `change` on it and writes it back when `change`
  // modified it (also when it returns an error: what it did stays done, as
  // on the platform). Returns the change's code, or the code of a failed
  // read or write.
  uint32_t Update(ERoot root, const std::function<uint32_t(Hive&)>& change);
  // A copy of the root as stored; an absent file is an empty hive.
  uint32_t Read(ERoot root, Hive& hive) const;

  const String& GetFolder() const { return folder_; }
  // The path of the root's file.
  String GetFilePath(ERoot root) const;

 private:
  String folder_;
};

#endif  // OFL_REGISTRY_H_
