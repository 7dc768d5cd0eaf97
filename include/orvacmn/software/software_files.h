// OVOSoftwareFiles: the files an application needs on a distribution point,
// packed as "SoftwareFiles" holding one "SoftwareFilesFileEntry" per file.
//
// An entry is a source (a path, compared without regard to case) and its
// source type. InsertFileEntry keeps (source, type) pairs unique through a
// hashed index, so building a list of n files costs O(n). Unpacking keeps
// every entry of the text as it stands, duplicates included.
//
// Objects carry no locks: callers serialise access.
#ifndef ORVACMN_SOFTWARE_SOFTWARE_FILES_H_
#define ORVACMN_SOFTWARE_SOFTWARE_FILES_H_

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOSoftwareFiles : public OVOXMLSupport {
 public:
  // Set by the programs that use the catalogue.
  enum EFileSourceType : int32_t {};

  // "SoftwareFilesFileEntry": "FileSource" (String), "FileSourceType" (int).
  class FileEntry : public OVOXMLSupport {
   public:
    explicit FileEntry(const String& text = String());
    FileEntry(const String& source, EFileSourceType type);

    bool operator==(const FileEntry& o) const { return source_ == o.source_ && type_ == o.type_; }
    bool operator!=(const FileEntry& o) const { return !(*this == o); }

    const String& GetFileSource() const { return source_; }
    void SetFileSource(const String& v) { source_ = v; }
    EFileSourceType GetFileSourceType() const { return type_; }
    void SetFileSourceType(EFileSourceType v) { type_ = v; }

   protected:
    String InternalPack() const override;
    void InternalUnpack(OFLXMLParser& parser) override;
    void InternalClear() override;

   private:
    String source_;
    EFileSourceType type_{};
  };

  OVOSoftwareFiles();
  explicit OVOSoftwareFiles(const String& text);

  bool operator==(const OVOSoftwareFiles& o) const { return entries_ == o.entries_; }
  bool operator!=(const OVOSoftwareFiles& o) const { return !(*this == o); }

  // Appends unless HasFileEntry(source, type).
  void InsertFileEntry(const String& source, EFileSourceType type);
  // An entry with this source (case ignored) and this type exists.
  bool HasFileEntry(const String& source, EFileSourceType type) const;
  // InsertFileEntry of every entry of `other`, in its order.
  void Append(const OVOSoftwareFiles& other);
  void DeleteListFileEntries();
  bool IsEmpty() const { return entries_.empty(); }
  // A copy of the list.
  std::vector<FileEntry> FileEntries() const { return entries_; }

 protected:
  String InternalPack() const override;
  // One entry per "SoftwareFilesFileEntry" child (case ignored).
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override { DeleteListFileEntries(); }

 private:
  static String KeyOf(const String& source, EFileSourceType type);
  void Add(FileEntry&& entry);

  std::vector<FileEntry> entries_;
  std::unordered_set<String, OFL::HashNoCase, OFL::EqualNoCase> keys_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_SOFTWARE_FILES_H_
