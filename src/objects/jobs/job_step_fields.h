// The step kinds describe their "StepData" fields once, in packing order,
// as a function template Fields(self, visitor) that calls
//   v(tag, member, default)   for Strings, numbers, booleans, enumerations
//                             and release levels,
//   v(tag, member)            for nested objects, embedded steps and
//                             repeated or listed values,
//   v.Wrapped(tag, object)    for a nested object inside an element of its own.
// Three visitors run the description: Clearer sets the defaults, Packer
// writes the nodes, Reader reads the one child its parser stands on.
#ifndef ORVACMN_SRC_OBJECTS_JOBS_JOB_STEP_FIELDS_H_
#define ORVACMN_SRC_OBJECTS_JOBS_JOB_STEP_FIELDS_H_

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ofl/string.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/jobs/job_step.h"
#include "orvacmn/jobs/job_step_kinds.h"
#include "orvacmn/objects/release_level.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/software/application.h"

namespace orvacmn {

// Reads an embedded step from the child the parser stands on.
struct JobStepAccess {
  static void ReadChild(OVOJobStep& step, OFLXMLParser& parser);
};

namespace step_fields {

using Entries = OVOJobStepInstallSoftware::Entries;
using KBNumbers = std::vector<uint32_t>;
using Strings = std::vector<String>;

template <class T>
inline constexpr bool kIsObject = std::is_base_of_v<OVOXMLSupport, T>;

struct Clearer {
  template <class M, class D>
  void operator()(std::string_view, M& member, const D& def) {
    if constexpr (std::is_same_v<M, String>) member.assign(def);
    else member = static_cast<M>(def);
  }
  void operator()(std::string_view, OVOJobStepBootImage& step) { step = OVOJobStepBootImage(); }
  template <class M>
  void operator()(std::string_view, M& member) {
    if constexpr (kIsObject<M>) member.Clear();
    else member.clear();
  }
  template <class M>
  void Wrapped(std::string_view, M& object) { object.Clear(); }
};

struct Packer {
  String out;

  template <class M, class D>
  void operator()(std::string_view tag, const M& member, const D&) {
    if constexpr (std::is_same_v<M, String>) OFLTools::AppendXMLNode(out, tag, std::string_view(member));
    else if constexpr (std::is_same_v<M, bool>) OFLTools::AppendXMLNode(out, tag, int32_t{member ? 1 : 0});
    else if constexpr (std::is_same_v<M, OVOReleaseLevel>) OFLTools::AppendXMLNode(out, tag, int32_t{member.ToInt()});
    else if constexpr (std::is_enum_v<M>) OFLTools::AppendXMLNode(out, tag, static_cast<uint32_t>(member));
    else OFLTools::AppendXMLNode(out, tag, member);
  }
  template <class M>
  void operator()(std::string_view tag, const M& member) {
    if constexpr (kIsObject<M>) member.AppendPack(out);
    else if constexpr (std::is_same_v<M, Strings>)
      for (const String& s : member) OFLTools::AppendXMLNode(out, tag, std::string_view(s));
    else if constexpr (std::is_same_v<M, KBNumbers>)
      OFLTools::AppendXMLNode(out, tag, OVOJobStepMicrosoftUpdateUninstallation::SerializeKBNumbers(member));
    else PackEntries(tag, member);
  }
  template <class M>
  void Wrapped(std::string_view tag, const M& object) {
    OFLTools::AppendXMLTag(out, tag);
    object.AppendPack(out);
    OFLTools::AppendXMLTag(out, tag, true);
  }
  void PackEntries(std::string_view tag, const Entries& entries);
};

// Reads the child the parser's child cursor stands on into the first field
// whose tag matches (case ignored); the others are passed over.
class Reader {
 public:
  void Begin(const String& tag, OFLXMLParser& parser) {
    tag_ = tag;
    parser_ = &parser;
    done_ = false;
  }

  template <class M, class D>
  void operator()(std::string_view tag, M& member, const D&) {
    if (!Match(tag)) return;
    const std::string_view v = parser_->GetChildDataView();
    if constexpr (std::is_same_v<M, String>) member.assign(v);
    else if constexpr (std::is_same_v<M, bool>) member = OFL::CRT::atol(String(v)) != 0;
    else if constexpr (std::is_same_v<M, int32_t>) member = OFL::CRT::atol(String(v));
    else if constexpr (std::is_same_v<M, OVOReleaseLevel>) member = static_cast<int>(OFLTools::AToUL(v));
    else member = static_cast<M>(OFLTools::AToUL(v));
  }
  void operator()(std::string_view tag, OVOJobStepBootImage& step) {
    if (Match(tag)) JobStepAccess::ReadChild(step, *parser_);
  }
  // The application as its markup would be read, but where it stands.
  void operator()(std::string_view tag, OVOSoftwareApplication& app) {
    if (!Match(tag)) return;
    OFLXMLParser child;
    child.SetDocFromChild(*parser_);
    app.UnpackLoaded(child);
  }
  template <class M>
  void operator()(std::string_view tag, M& member) {
    if (!Match(tag)) return;
    if constexpr (kIsObject<M>) ReadObject(member);
    else if constexpr (std::is_same_v<M, Strings>) member.push_back(parser_->GetChildData());
    else if constexpr (std::is_same_v<M, KBNumbers>)
      member = OVOJobStepMicrosoftUpdateUninstallation::DeserializeKBNumbers(parser_->GetChildDataView());
    else ReadEntries(member);
  }
  // The object inside the wrapping element; a later one wins, none leaves
  // it cleared.
  template <class M>
  void Wrapped(std::string_view tag, M& object) {
    if (!Match(tag)) return;
    object.Clear();
    OFLXMLParser& p = *parser_;
    p.IntoElem();
    ForEachChild(p, [&](const String& t, OFLXMLParser& q) {
      if (OFL::EqualsNoCase(t, object.GetObjectName())) ReadObject(object, q);
    });
    p.OutOfElem();
  }

 private:
  bool Match(std::string_view tag) {
    if (done_ || !OFL::EqualsNoCase(tag_, tag)) return false;
    done_ = true;
    return true;
  }
  // As Unpack of the child's markup, read where it stands: a later
  // occurrence replaces an earlier one.
  void ReadObject(OVOXMLSupport& object) { ReadObject(object, *parser_); }
  static void ReadObject(OVOXMLSupport& object, OFLXMLParser& p) {
    object.Clear();
    object.Unpack(p);
  }
  void ReadEntries(Entries& entries);

  std::string_view tag_;
  OFLXMLParser* parser_ = nullptr;
  bool done_ = false;
};

}  // namespace step_fields
}  // namespace orvacmn

// ClearStep and PackStepData of a kind, from its Fields template.
#define ORVACMN_STEP_CLEAR_AND_PACK(Class)                                               \
  void Class::ClearStep() {                                                              \
    step_fields::Clearer c;                                                              \
    Fields(*this, c);                                                                    \
  }                                                                                      \
  String Class::PackStepData() const {                                                   \
    step_fields::Packer p;                                                               \
    Fields(*this, p);                                                                    \
    return std::move(p.out);                                                             \
  }

// The three StepData operations of a kind whose fields are all described by
// its Fields template.
#define ORVACMN_STEP_DATA_OPERATIONS(Class)                                              \
  ORVACMN_STEP_CLEAR_AND_PACK(Class)                                                     \
  void Class::ReadStepData(OFLXMLParser& parser) {                                       \
    step_fields::Reader r;                                                               \
    ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {                       \
      r.Begin(tag, p);                                                                   \
      Fields(*this, r);                                                                  \
    });                                                                                  \
  }

#endif  // ORVACMN_SRC_OBJECTS_JOBS_JOB_STEP_FIELDS_H_
