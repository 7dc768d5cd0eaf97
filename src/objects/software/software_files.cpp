#include "orvacmn/software/software_files.h"

#include <string>
#include <string_view>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr char kTagFileSource[] = "FileSource";
constexpr char kTagFileSourceType[] = "FileSourceType";
constexpr std::string_view kEntryName = CatalogueEntryFor("OVOSoftwareFiles::FileEntry").objectName;

}  // namespace

OVOSoftwareFiles::FileEntry::FileEntry(const String& text)
    : OVOXMLSupport(CatalogueEntryFor("OVOSoftwareFiles::FileEntry")) {
  if (!text.empty()) Unpack(text);
}

OVOSoftwareFiles::FileEntry::FileEntry(const String& source, EFileSourceType type) : FileEntry() {
  source_ = source;
  type_ = type;
}

String OVOSoftwareFiles::FileEntry::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagFileSource, source_);
  OFLTools::AppendXMLNode(out, kTagFileSourceType, static_cast<int32_t>(type_));
  return out;
}

void OVOSoftwareFiles::FileEntry::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagFileSource)) source_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagFileSourceType))
      type_ = static_cast<EFileSourceType>(OFL::CRT::atol(p.GetChildData()));
  });
}

void OVOSoftwareFiles::FileEntry::InternalClear() {
  source_.clear();
  type_ = EFileSourceType{};
}

OVOSoftwareFiles::OVOSoftwareFiles() : OVOXMLSupport(CatalogueEntryFor("OVOSoftwareFiles")) {}

OVOSoftwareFiles::OVOSoftwareFiles(const String& text) : OVOSoftwareFiles() {
  if (!text.empty()) Unpack(text);
}

// The type in decimal, then the source: one key per (source, type) pair, case
// ignored by the set's hash and comparison.
String OVOSoftwareFiles::KeyOf(const String& source, EFileSourceType type) {
  return std::to_string(static_cast<int32_t>(type)) + ":" + source;
}

void OVOSoftwareFiles::Add(FileEntry&& entry) {
  keys_.insert(KeyOf(entry.GetFileSource(), entry.GetFileSourceType()));
  entries_.push_back(std::move(entry));
}

bool OVOSoftwareFiles::HasFileEntry(const String& source, EFileSourceType type) const {
  return keys_.contains(KeyOf(source, type));
}

void OVOSoftwareFiles::InsertFileEntry(const String& source, EFileSourceType type) {
  if (!HasFileEntry(source, type)) Add(FileEntry(source, type));
}

void OVOSoftwareFiles::Append(const OVOSoftwareFiles& other) {
  if (&other == this) return;  // every entry is present already
  for (const FileEntry& e : other.entries_) InsertFileEntry(e.GetFileSource(), e.GetFileSourceType());
}

void OVOSoftwareFiles::DeleteListFileEntries() {
  entries_.clear();
  keys_.clear();
}

String OVOSoftwareFiles::InternalPack() const {
  String out;
  for (const FileEntry& e : entries_) e.AppendPack(out);
  return out;
}

void OVOSoftwareFiles::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kEntryName)) return;
    FileEntry e;
    e.Unpack(p);
    Add(std::move(e));
  });
}

}  // namespace orvacmn
