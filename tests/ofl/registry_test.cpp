// The registry stand-in: keys and values per root, persistence, atomic
// replacement and concurrent writers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "common/scratch.h"
#include "ofl/registry.h"

namespace {

namespace fs = std::filesystem;

class RegistryTest : public ::testing::Test {
 protected:
  const orvacmn::testing::ScratchDir scratch_;
  const fs::path dir_ = scratch_.path() / "registry";  // made by the first write
};

TEST_F(RegistryTest, KeysAndValuesIgnoreCaseAndPersist) {
  OFLRegistry registry(dir_.string());
  ASSERT_EQ(registry.Update(OFLRegistry::kHKLM,
                            [](OFLRegistry::Hive& h) -> uint32_t {
                              EXPECT_EQ(h.SetStringValue("Software\\Demo", "x", "y"), 2u);
                              EXPECT_EQ(h.CreateKey("Software\\Demo\\App"), 0u);
                              EXPECT_EQ(h.CreateKey("\\SOFTWARE\\demo\\Other\\"), 0u);
                              EXPECT_EQ(h.CreateKey("a\\\\b"), 87u);
                              EXPECT_EQ(h.SetStringValue("software\\DEMO\\app", "Path", "C:\\x\ty%\n"), 0u);
                              EXPECT_EQ(h.SetDWordValue("Software\\Demo\\App", "Count", 42), 0u);
                              EXPECT_EQ(h.SetDWordValue("Software\\Demo\\App", "COUNT", 0xFFFFFFFF), 0u);
                              return 0;
                            }),
            0u);
  OFLRegistry::Hive hive;
  ASSERT_EQ(OFLRegistry(dir_.string()).Read(OFLRegistry::kHKLM, hive), 0u);
  ASSERT_NE(hive.GetValue("SOFTWARE\\Demo\\App", "path"), nullptr);
  EXPECT_EQ(hive.GetValue("SOFTWARE\\Demo\\App", "path")->text, "C:\\x\ty%\n");
  EXPECT_EQ(hive.GetValue("Software\\Demo\\App", "Count")->GetDataText(), "4294967295");
  EXPECT_EQ(hive.GetValues("Software\\Demo\\App").size(), 2u);
  EXPECT_EQ(hive.GetSubKeys("software\\demo"), (std::vector<std::string>{"App", "Other"}));
  EXPECT_EQ(hive.GetSubKeys(""), (std::vector<std::string>{"Software"}));
  EXPECT_TRUE(hive.HasKey("software"));
  EXPECT_FALSE(hive.HasKey("software\\none"));
  EXPECT_EQ(hive.GetValue("Software\\Demo\\App", "none"), nullptr);
  // Other roots are other files.
  ASSERT_EQ(registry.Read(OFLRegistry::kHKU, hive), 0u);
  EXPECT_FALSE(hive.HasKey("Software"));
  EXPECT_TRUE(fs::exists(dir_ / "HKLM.reg"));
  EXPECT_FALSE(fs::exists(dir_ / "HKU.reg"));
}

TEST_F(RegistryTest, FileFormReadsBack) {
  OFLRegistry::Hive hive, again;
  hive.CreateKey("K\tey%\\Sub");
  hive.SetStringValue("K\tey%\\Sub", std::string("n\0a", 3), std::string("v\r\n\0", 4));
  hive.SetDWordValue("K\tey%", "d", 7);
  const std::string text = hive.Serialize();
  ASSERT_TRUE(again.Parse(text));
  EXPECT_EQ(again.Serialize(), text);
  EXPECT_EQ(again.GetValue("k\tEY%\\sub", std::string("n\0a", 3))->text, std::string("v\r\n\0", 4));
  for (const char* bad :
       {"", "orvacmn-registry 2\n", "orvacmn-registry 1\nV\tx\tS\ty\n", "orvacmn-registry 1\nK\t%G1\n",
        "orvacmn-registry 1\nK\ta\nV\tx\tQ\ty\n", "orvacmn-registry 1\nK\ta\\\\b\n", "orvacmn-registry 1x"})
    EXPECT_FALSE(again.Parse(bad)) << bad;
}

TEST_F(RegistryTest, DamagedFilesAndRoots) {
  fs::create_directories(dir_);
  std::ofstream(dir_ / "HKCU.reg") << "not a hive";
  OFLRegistry registry(dir_.string());
  OFLRegistry::Hive hive;
  EXPECT_EQ(registry.Read(OFLRegistry::kHKCU, hive), 1009u);
  bool ran = false;
  EXPECT_EQ(registry.Update(OFLRegistry::kHKCU, [&](OFLRegistry::Hive&) { ran = true; return 0u; }), 1009u);
  EXPECT_FALSE(ran);
  fs::create_directories(dir_ / "HKU.reg");  // a folder where the hive belongs
  EXPECT_EQ(registry.Read(OFLRegistry::kHKU, hive), 1009u);
  // A change that fails keeps what it did, as on the platform.
  EXPECT_EQ(registry.Update(OFLRegistry::kHKCC, [](OFLRegistry::Hive& h) { h.CreateKey("Made"); return 5u; }), 5u);
  ASSERT_EQ(registry.Read(OFLRegistry::kHKCC, hive), 0u);
  EXPECT_TRUE(hive.HasKey("Made"));
  OFLRegistry::ERoot root;
  EXPECT_TRUE(OFLRegistry::ParseRoot("hkey_users", root));
  EXPECT_EQ(root, OFLRegistry::kHKU);
  EXPECT_TRUE(OFLRegistry::ParseRoot("hkcr", root));
  EXPECT_EQ(std::string(OFLRegistry::RootName(root)), "HKCR");
  EXPECT_FALSE(OFLRegistry::ParseRoot("HKEY", root));
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
  constexpr int kThreads = 4, kWrites = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      OFLRegistry registry(dir_.string());
      for (int i = 0; i < kWrites; ++i)
        registry.Update(OFLRegistry::kHKLM, [&](OFLRegistry::Hive& h) {
          h.CreateKey("Counters");
          // Read before the next write: a write may move the values.
          const OFLRegistry::Value* v = h.GetValue("Counters", "n");
          const uint32_t n = v ? v->dword + 1 : 1;
          h.SetStringValue("Counters", std::to_string(t).append("-").append(std::to_string(i)), "x");
          return h.SetDWordValue("Counters", "n", n);
        });
    });
  }
  for (auto& th : threads) th.join();
  OFLRegistry::Hive hive;
  ASSERT_EQ(OFLRegistry(dir_.string()).Read(OFLRegistry::kHKLM, hive), 0u);
  EXPECT_EQ(hive.GetValue("Counters", "n")->dword, uint32_t(kThreads * kWrites));
  EXPECT_EQ(hive.GetValues("Counters").size(), size_t(kThreads * kWrites + 1));
  // No temporary file is left behind.
  for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().string().find(".tmp."), std::string::npos);
}

}  // namespace
