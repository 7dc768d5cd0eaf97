#include "orvacmn/persistence/db_access.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "ofl/error_message.h"
#include "ofl/format.h"
#include "orvacmn/objects/properties.h"
#include "store_answer.h"

namespace orvacmn {
namespace {

using OFL::ScopedBstr;

// "Error getting the orvamoc COM interface: %s"
constexpr uint32_t kMsgNoStore = 7130;

HRESULT NoStore(String& out) {
  out = OFLFormat(kMsgNoStore, OFL::ErrorMessage::TranslateValue(E_FAIL)).str();
  return E_FAIL;
}

// The store's error text, or the system text of the status when it gave none.
String ErrorText(HRESULT hr, String text) {
  return text.empty() ? OFL::ErrorMessage::TranslateValue(hr) : text;
}
String ErrorText(HRESULT hr, const ScopedBstr& result) { return ErrorText(hr, result.ToUtf8()); }

// A failure's text, or the store's result on success.
void TakeResult(HRESULT hr, const ScopedBstr& result, String& out) {
  out = FAILED(hr) ? ErrorText(hr, result) : result.ToUtf8();
}

// E_INVALIDARG, with `error` naming the first text that is not UTF-8: it has
// no UTF-16 form, and a replacement character would change what the caller
// stores or asks for without a word.
HRESULT CheckUtf8(std::initializer_list<std::pair<const char*, std::string_view>> texts, String& error) {
  for (const auto& [what, text] : texts) {
    size_t bad = 0;
    if (OFL::IsValidUtf8(text, &bad)) continue;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[bad]));
    error = String("The ") + what + " is not valid UTF-8 (byte " + byte + " at offset " + std::to_string(bad) +
            "); the store takes only texts it can give back unchanged";
    return E_INVALIDARG;
  }
  return S_OK;
}

// The C strings up to the null pointer as one length-packed String.
String PackArguments(const char* first, va_list rest) {
  String list;
  for (const char* s = first; s != nullptr; s = va_arg(rest, const char*)) AppendPackedEntry(list, s);
  return list;
}

}  // namespace

CDBAccess::CDBAccess(std::shared_ptr<IMocInstance> moc) : moc_(std::move(moc)) {}

CDBAccess::~CDBAccess() = default;

HRESULT CDBAccess::GetDBC(IMocInstance** moc) const {
  if (moc == nullptr) return E_FAIL;
  *moc = moc_.get();
  return moc_ ? S_OK : E_FAIL;
}

void CDBAccess::SetRevisionLogging(const uint32_t& mode) {
  options_ &= ~(kRevisionLoggingOn | kRevisionLoggingFull);
  if (mode == 1) options_ |= kRevisionLoggingOn;
  else if (mode == 2) options_ |= kRevisionLoggingOn | kRevisionLoggingFull;
}

void CDBAccess::SetIdentificationScheme(const uint32_t* methods) {
  if (methods == nullptr) return;
  for (int i = 0; i < kIdentificationMethods; ++i) scheme_[i] = methods[i];
}

HRESULT CDBAccess::InitRecord(uint32_t type, const String& key, String& out) {
  if (!moc_) return NoStore(out);
  if (const HRESULT bad = CheckUtf8({{"key", key}}, out); FAILED(bad)) return bad;
  ScopedBstr result;
  const HRESULT hr = moc_->InitRecord(type | options_, ScopedBstr(key).Get(), result.Out());
  TakeResult(hr, result, out);
  return hr;
}

HRESULT CDBAccess::LoadRecord(uint32_t type, uint32_t flags, const String& key, String& out, bool wholeResult,
                              uint32_t limit, CFileTime newerThan) {
  if (!moc_) return NoStore(out);
  if (const HRESULT bad = CheckUtf8({{"key", key}}, out); FAILED(bad)) return bad;
  ScopedBstr options;
  if (newerThan != 0) {
    OVO::Properties condition;
    condition.SetProperty(kOptionIfTimestampIsNewer, static_cast<unsigned long long>(newerThan.GetTime()));
    options = ScopedBstr(condition.Pack());
  }
  ScopedBstr result;
  const HRESULT hr = moc_->LoadRecord(type, flags, ScopedBstr(key).Get(), options.Get(), limit, result.Out());
  if (FAILED(hr)) {
    out = ErrorText(hr, result);
    return hr;
  }
  // The caller's copy is current; the store sent nothing to replace it.
  if (newerThan != 0 && hr == kStatusNotNewer) return hr;
  if (wholeResult) {
    out = result.ToUtf8();
  } else {
    OFLTokenizer records;
    records.FromLengthPackedString(result.ToUtf8());
    out = records.IsEmpty() ? String() : std::move(records[0]);
  }
  return hr;
}

HRESULT CDBAccess::LoadRecords(uint32_t type, uint32_t flags, const String& filter, OFLTokenizer& out,
                               const char* key, ...) {
  va_list rest;
  va_start(rest, key);
  const String keys = PackArguments(key, rest);
  va_end(rest);
  return LoadRecordList(type, flags, filter, keys, out);
}

HRESULT CDBAccess::LoadRecordList(uint32_t type, uint32_t flags, const String& filter, const String& keys,
                                  OFLTokenizer& out) {
  String error;
  HRESULT hr = moc_ ? CheckUtf8({{"filter", filter}, {"key list", keys}}, error) : NoStore(error);
  if (SUCCEEDED(hr)) {
    if (auto* reader = dynamic_cast<IMocRecordReaderUtf8*>(moc_.get())) {
      String result;
      hr = reader->LoadRecordUtf8(type, flags, filter, keys, 0, result);
      if (SUCCEEDED(hr)) {
        out.Clear();
        out.AddLengthPackedStrings(result);
        return hr;
      }
      error = ErrorText(hr, std::move(result));
    } else {
      ScopedBstr result;
      hr = moc_->LoadRecord(type, flags, ScopedBstr(filter).Get(), ScopedBstr(keys).Get(), 0, result.Out());
      if (SUCCEEDED(hr)) {
        out.AddLengthPackedStrings(result.ToUtf8());
        return hr;
      }
      error = ErrorText(hr, result);
    }
  }
  out.Clear();
  out.AddString(error);
  return hr;
}

HRESULT CDBAccess::CreateRecord(uint32_t type, const String& data, String& out) {
  if (!moc_) return NoStore(out);
  if (const HRESULT bad = CheckUtf8({{"record text", data}}, out); FAILED(bad)) return bad;
  ScopedBstr result;
  const HRESULT hr = moc_->CreateRecord(type | options_, ScopedBstr(data).Get(), result.Out());
  TakeResult(hr, result, out);
  return hr;
}

HRESULT CDBAccess::CreateIfNotExist(uint32_t type, const String& data, const String& key, uint32_t flags,
                                    String& out) {
  const HRESULT hr = LoadRecord(type, flags, MakeRecordKey({key}), out);
  if (!out.empty()) return hr;
  return CreateRecord(type, data, out);
}

HRESULT CDBAccess::Save(bool update, uint32_t type, const String& key, String& data, CFileTime* stamp) {
  if (!moc_) return NoStore(data);
  if (const HRESULT bad = CheckUtf8({{"key", key}, {"record text", data}}, data); FAILED(bad)) return bad;
  ScopedBstr result;
  uint32_t value = 0;  // the store's, not read
  const ScopedBstr bkey(key);
  const ScopedBstr bdata(data);
  const HRESULT hr =
      update ? moc_->UpdateRecord(type | options_, bkey.Get(), nullptr, bdata.Get(), &value, result.Out())
             : moc_->SaveRecord(type | options_ | kSaveOptions, bkey.Get(), nullptr, bdata.Get(), &value,
                                result.Out());
  if (FAILED(hr)) {
    data = ErrorText(hr, result);
    return hr;
  }
  if (stamp != nullptr) ReadObjectTimestamp(result.ToUtf8(), *stamp);
  data.clear();
  return hr;
}

HRESULT CDBAccess::SaveRecord(uint32_t type, const String& key, String& data, CFileTime& stamp) {
  return Save(false, type, key, data, &stamp);
}

HRESULT CDBAccess::SaveRecord(uint32_t type, const String& key, String& data) {
  return Save(false, type, key, data, nullptr);
}

HRESULT CDBAccess::UpdateRecord(uint32_t type, const String& key, String& data, CFileTime& stamp) {
  return Save(true, type, key, data, &stamp);
}

HRESULT CDBAccess::UpdateRecord(uint32_t type, const String& key, String& data) {
  return Save(true, type, key, data, nullptr);
}

HRESULT CDBAccess::DeleteRecord(uint32_t type, const String& key, String& out) {
  if (!moc_) return NoStore(out);
  if (const HRESULT bad = CheckUtf8({{"key", key}}, out); FAILED(bad)) return bad;
  ScopedBstr result;
  uint32_t value = 0;  // the store's, not read
  const HRESULT hr = moc_->DeleteRecord(type | options_, ScopedBstr(key).Get(), &value, result.Out());
  if (FAILED(hr)) out = ErrorText(hr, result);
  else out.clear();
  return hr;
}

HRESULT CDBAccess::DoAction(uint32_t type, const String& action, const String& parameter, String& out) {
  if (!moc_) return NoStore(out);
  if (const HRESULT bad = CheckUtf8({{"action", action}, {"action parameter", parameter}}, out); FAILED(bad)) return bad;
  ScopedBstr result;
  const HRESULT hr =
      moc_->DoAction(type | options_, ScopedBstr(action).Get(), ScopedBstr(parameter).Get(), result.Out());
  TakeResult(hr, result, out);
  return hr;
}

HRESULT CDBAccess::DoAction(uint32_t type, const String& action, const String& parameter, String& out,
                            CFileTime& stamp) {
  const HRESULT hr = DoAction(type, action, parameter, out);
  if (SUCCEEDED(hr)) {
    ReadObjectTimestamp(out, stamp);
    out.clear();
  }
  return hr;
}

HRESULT CDBAccess::SpecialTask(uint32_t task, String& out, const char* argument, ...) {
  va_list rest;
  va_start(rest, argument);
  const String arguments = PackArguments(argument, rest);
  va_end(rest);
  if (!moc_) return NoStore(out);
  if (const HRESULT bad = CheckUtf8({{"argument list", arguments}}, out); FAILED(bad)) return bad;
  ScopedBstr result;
  const HRESULT hr = moc_->SpecialTask(task, ScopedBstr(arguments).Get(), result.Out());
  TakeResult(hr, result, out);
  return hr;
}

}  // namespace orvacmn
