// The profile index gives for each section what a scan of the whole text
// gives, and tells when a buffer left lines out.
#include <gtest/gtest.h>

#include "ofl/profile.h"

namespace {

TEST(ProfileIndex, SameSectionsAsAScan) {
  const std::string text =
      "\xEF\xBB\xBF[Install]\r\nCopyFiles = A , B\n; comment\n[a]\nSource=x\n[ B ]\n  key  =  \"v\"  \nloose\n"
      "[A]\nshadowed=1\n[empty]\n[tail]\nlast=1";
  const OFL::Profile::Index index(text);
  for (const char* name : {"Install", "install", "a", "B", "empty", "tail", "missing", ""}) {
    for (size_t buffer : {size_t(0), size_t(3), size_t(12), size_t(4095)}) {
      bool cut = true;
      EXPECT_EQ(index.GetSection(name, buffer, &cut), OFL::Profile::GetSectionFromText(text, name, buffer))
          << name << " " << buffer;
      const std::string full = OFL::Profile::GetSectionFromText(text, name, 1 << 20);
      EXPECT_EQ(cut, index.GetSection(name, buffer) != full) << name << " " << buffer;
    }
  }
  EXPECT_TRUE(index.HasSection("EMPTY"));
  EXPECT_FALSE(index.HasSection("missing"));
  EXPECT_EQ(index.GetSection("a"), std::string("Source=x\0\0", 10));
}

}  // namespace
