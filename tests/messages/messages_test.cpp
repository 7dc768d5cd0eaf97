// The message framework: exact texts of the envelopes, strict unpack and its
// resets, the self-compressing content form at its thresholds, and every
// reason a received text can be refused with.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "ofl/base64.h"
#include "ofl/compression.h"
#include "orvacmn/messages.h"

namespace {

using namespace orvacmn;
using OFL::ByteBuffer;

ByteBuffer Random(size_t n) {
  std::mt19937 gen(7);
  ByteBuffer b(n);
  for (auto& c : b) c = static_cast<uint8_t>(gen());
  return b;
}

String Compressed(const ByteBuffer& plain, bool gzip) {
  ByteBuffer out;
  String error;
  if (gzip) OFL::Compression::OFLGZipCompression::Compress(plain, out, error);
  else OFL::Compression::OFLBZip2Compression().Compress(plain, out, error);
  return OFL::EncodeBase64(out);
}

TEST(MessageCatalogue, RootNamesAreUniqueButForTheTwoAnswerPairs) {
  std::set<std::string_view> roots;
  size_t shared = 0;
  for (const auto& e : kMessageCatalogue) shared += roots.insert(e.rootName).second ? 0 : 1;
  EXPECT_EQ(shared, 2u);
  EXPECT_EQ(MessageRootFor("MsgFromTempOFLRX"), MessageRootFor("MsgToTempOFLRX"));
  EXPECT_EQ(MessageRootFor("ClientMgmtToClientMessage"), "ClientToClientMgmtRequest");
  ASSERT_NE(FindMessageCatalogueEntry("MsgDRegistration"), nullptr);
  EXPECT_EQ(FindMessageCatalogueEntry("MsgDRegistration")->encoding, MessageEncoding::eLengthPacked);
  EXPECT_EQ(FindMessageCatalogueEntry("msgtoserver"), nullptr);
  EXPECT_EQ(MsgToServer().GetSchema(), 0x5001u);
}

TEST(MsgDropConnection, PacksDefaultsAndRestoresThemOnUnpack) {
  const String defaults =
      "<MSGDropConnection><RetryInterval>600</RetryInterval><ReasonForRequest>Unspecified reason</ReasonForRequest>"
      "</MSGDropConnection>";
  EXPECT_EQ(MsgDropConnection().Pack(), defaults);
  MsgDropConnection m(30, "a<b");
  EXPECT_EQ(m.Pack(),
            "<MSGDropConnection><RetryInterval>30</RetryInterval><ReasonForRequest>a&lt;b</ReasonForRequest>"
            "</MSGDropConnection>");
  EXPECT_EQ(m.Unpack("<MSGDropConnection><reasonforrequest>x</reasonforrequest></MSGDropConnection>"), 1);
  EXPECT_EQ(m.GetRetryInterval(), 600u);
  EXPECT_EQ(m.GetReasonForRequest(), "x");
  m.SetRetryInterval(5);
  EXPECT_EQ(m.Unpack("<msgdropconnection><RetryInterval>7</RetryInterval></msgdropconnection>"), 0);
  EXPECT_EQ(m.Pack(), defaults);
  EXPECT_EQ(MsgDropConnection("<MSGDropConnection><RetryInterval>99999999999</RetryInterval>"
                              "<RetryInterval>-1x</RetryInterval></MSGDropConnection>")
                .GetRetryInterval(),
            0xFFFFFFFFu);
}

TEST(MsgToServer, PacksPopulatedAndUnpackEmptiesItsThreeFields) {
  MsgToServer m;
  m.SetCommand("Run & go");
  m.SetOption(0x5, true);
  m.SetOption(0x1, false);
  m.GetProperties().SetProperty("Key", "V");
  const String packed =
      "<MSGTS><Command>Run &amp; go</Command><Options>4</Options><Properties><PropertyEntry><Param>Key</Param>"
      "<Value>V</Value></PropertyEntry></Properties></MSGTS>";
  EXPECT_EQ(m.Pack(), packed);
  EXPECT_TRUE(m.GetOption(0x6));
  EXPECT_FALSE(m.GetOption(0x1));
  EXPECT_EQ(MsgToServer(packed).Pack(), packed);
  EXPECT_EQ(MsgToServer().Pack(), "<MSGTS><Command></Command><Options>0</Options><Properties></Properties></MSGTS>");

  // A later duplicate wins, the bag included; nothing of the old message stays.
  EXPECT_EQ(m.Unpack("<MSGTS><PROPERTIES><PropertyEntry><Param>a</Param></PropertyEntry></PROPERTIES>"
                     "<Properties><PropertyEntry><Param>b</Param></PropertyEntry></Properties><x/></MSGTS>"),
            1);
  EXPECT_EQ(m.Pack(),
            "<MSGTS><Command></Command><Options>0</Options><Properties><PropertyEntry><Param>b</Param>"
            "<Value></Value></PropertyEntry></Properties></MSGTS>");
  m.SetCommand("c");
  EXPECT_EQ(m.Unpack("not xml <MSGTS>"), 0);
  EXPECT_EQ(m.GetCommand(), "");
  EXPECT_TRUE(m.GetProperties().IsEmpty());
}

TEST(MsgServerToClient, KeepsFieldsWhoseNodesAreMissing) {
  MsgServerToClient m;
  m.Request = "r";
  m.Destination = "d";
  m.Data = "x";
  EXPECT_EQ(m.Pack(), "<MSGSTC><Request>r</Request><Destination>d</Destination><Data>x</Data></MSGSTC>");
  EXPECT_EQ(m.Unpack("<MSGSTC><data>new</data></MSGSTC>"), 1);
  EXPECT_EQ(m.Pack(), "<MSGSTC><Request>r</Request><Destination>d</Destination><Data>new</Data></MSGSTC>");
  EXPECT_EQ(m.Unpack("<MSGSTE><Data>y</Data></MSGSTE>"), 0);
  EXPECT_EQ(m.Data, "new");

  MsgServerToOvc o;
  EXPECT_EQ(o.Pack(), "<MSGSTE><MsgType>0</MsgType><Data></Data></MSGSTE>");
  o.MsgType = 4294967295u;
  EXPECT_EQ(o.Unpack("<MSGSTE><Data>z</Data></MSGSTE>"), 1);
  EXPECT_EQ(o.Pack(), "<MSGSTE><MsgType>4294967295</MsgType><Data>z</Data></MSGSTE>");
}

TEST(MsgClientToServer, RoundTripsAndUnpackResetsOnlyIdentificationAndOSType) {
  MsgClientToServer m;
  m.ClientIdentification.SetGuid("6F9619FF-8B86-D011-B42D-00C04FC964FF");
  m.AgentVersion = "12.1";
  m.OSType = -5;
  m.Options = 3;
  m.UserAccount.SetAccount("dom\\user", "pw:1");
  m.UserSID = "S-1-5";
  m.Data = "payload";
  const String packed = m.Pack();
  EXPECT_EQ(packed, "<MSGCTS>" + m.ClientIdentification.Pack() +
                        "<AgentVersion>12.1</AgentVersion><OSType>-5</OSType><Options>3</Options><UserAccount>" +
                        m.UserAccount.Pack() + "</UserAccount><UserSID>S-1-5</UserSID><Data>payload</Data></MSGCTS>");
  MsgClientToServer back(packed);
  EXPECT_EQ(back.Pack(), packed);
  EXPECT_EQ(back.UserAccount, m.UserAccount);
  EXPECT_TRUE(back.GetOption(2));

  EXPECT_EQ(back.Unpack("<MSGCTS><Data>d</Data></MSGCTS>"), 1);
  EXPECT_EQ(back.ClientIdentification.GetGuid(), "");
  EXPECT_EQ(back.OSType, 0);
  EXPECT_EQ(back.AgentVersion, "12.1");
  EXPECT_EQ(back.Data, "d");
}

TEST(SelfCompressingMessage, CompressesFrom512BytesOnlyWhenShorter) {
  EXPECT_EQ(InternetRequest(String("foo")).Serialize(), "<InternetRequest>Zm9v</InternetRequest>");
  EXPECT_EQ(InternetRequest(String()).Serialize(), "<InternetRequest></InternetRequest>");
  EXPECT_EQ(InternetResponse().Serialize(), "<InternetResponse status='OK'></InternetResponse>");
  EXPECT_EQ(InternetRequest(String(511, 'a')).Serialize().find("compression"), String::npos);

  const ByteBuffer repetitive(512, 'a');
  const String text = InternetResponse(repetitive, InternetResponse::eAuthorizationFailure).Serialize();
  EXPECT_EQ(text, "<InternetResponse compression='bzip2' status='AuthorizationFailure'>" +
                      Compressed(repetitive, false) + "</InternetResponse>");
  EXPECT_LT(text.size(), OFL::EncodeBase64(repetitive).size());
  const InternetResponse back = InternetResponse::From(text);
  EXPECT_TRUE(back.IsValid());
  EXPECT_EQ(back.Content(), repetitive);
  EXPECT_EQ(back.Status(), InternetResponse::eAuthorizationFailure);

  const ByteBuffer random = Random(512);
  EXPECT_EQ(InternetRequest(random).Serialize(), "<InternetRequest>" + OFL::EncodeBase64(random) + "</InternetRequest>");
  EXPECT_EQ(InternetRequest::From(InternetRequest(random)).Content(), random);
}

TEST(SelfCompressingMessage, AcceptsEitherMethodInAnyCase) {
  const ByteBuffer plain(2000, 'z');
  for (const char* method : {"bzip2", "BZIP2", "gzip", "GZip"}) {
    const bool gzip = OFL::EqualsNoCase(method, "gzip");
    const InternetRequest m = InternetRequest::From(String("<InternetRequest compression=\"") + method + "\">" +
                                                    Compressed(plain, gzip) + "</InternetRequest>");
    EXPECT_TRUE(m.IsValid()) << method << m.InvalidationReason();
    EXPECT_EQ(m.Content(), plain) << method;
    EXPECT_EQ(m.GetCompressionError(), "");
  }
  EXPECT_EQ(SelfCompressingMessage::CompressionMethodToString(SelfCompressingMessage::CompressionMethod(7)),
            "ImplementationFailure");
}

TEST(SelfCompressingMessage, RefusesWithTheReasonOfTheLastFailure) {
  const String bz = Compressed(ByteBuffer(600, 'q'), false);
  // A failed decompression leaves the received bytes as they were.
  struct Case { String text; String reason; String content; };
  const Case cases[] = {
      {"", "Could not find element [InternetRequest] in message []", ""},
      {"<InternetResponse>Zm9v</InternetResponse>",
       "Could not find element [InternetRequest] in message [<InternetResponse>Zm9v</InternetResponse>]", ""},
      {"<InternetRequest compression='zip'>Zm9v</InternetRequest>",
       "Decompression failed: CompressionMethod [zip] not recognized", "foo"},
      {"<InternetRequest foo='1'>Zm9v</InternetRequest>",
       "Deserializing attribute [foo] with value [1] failed", "foo"},
      {"<InternetRequest compression='gzip' b='2'>" + bz + "</InternetRequest>",
       "Deserializing attribute [b] with value [2] failed", OFLTools::ConvertByteBufferToString(OFL::DecodeBase64(bz))},
      {"<InternetRequest a='1' compression='bzip2'>Zm9v</InternetRequest>",
       "Decompression failed: bzip2: data is not bzip2-compressed", "foo"},
      {"<InternetRequest foo='1'>Zm9v!</InternetRequest>", "Deserializing attribute [foo] with value [1] failed",
       "foo"},
  };
  for (const Case& c : cases) {
    const InternetRequest m = InternetRequest::From(c.text);
    EXPECT_FALSE(m.IsValid()) << c.text;
    EXPECT_EQ(m.InvalidationReason(), c.reason);
    EXPECT_EQ(OFLTools::ConvertByteBufferToString(m.Content()), c.content) << c.text;
  }
  const InternetRequest gz = InternetRequest::From("<InternetRequest compression='gzip'>" + bz + "</InternetRequest>");
  EXPECT_EQ(gz.GetCompressionError(), "gzip: incorrect header check");
}

// Comments, instructions and a declaration before the root change nothing
// that is read: a compressed refusal stays a refusal.
TEST(SelfCompressingMessage, WhatStandsBeforeTheRootChangesNothing) {
  const ByteBuffer content(512, 'r');
  const String text = InternetResponse(content, InternetResponse::eAuthenticationFailure).Serialize();
  ASSERT_NE(text.find("compression='bzip2'"), String::npos);
  for (const String prolog : {"", "<!-- relay -->", "<?xml version='1.0'?>", "<?relay hop='2'?>\n", "\xEF\xBB\xBF"}) {
    const InternetResponse m = InternetResponse::From(prolog + text);
    EXPECT_TRUE(m.IsValid()) << prolog;
    EXPECT_EQ(m.Status(), InternetResponse::eAuthenticationFailure) << prolog;
    EXPECT_EQ(m.Content(), content) << prolog;
  }
  const InternetRequest foo = InternetRequest::From("<!--c--><InternetRequest foo='1'>QQ==</InternetRequest>");
  EXPECT_FALSE(foo.IsValid());
  EXPECT_EQ(foo.InvalidationReason(), "Deserializing attribute [foo] with value [1] failed");
  EXPECT_EQ(foo.Content(), ByteBuffer{'A'});
}

// Decoding the content has no failure step: unpadded content reads, a text
// that is not base64 gives what stands before its first stray character, and
// the attributes are read all the same.
TEST(SelfCompressingMessage, ContentIsDecodedUpToItsFirstStrayCharacter) {
  const ByteBuffer plain(600, 'p');
  String bz = Compressed(plain, false);
  while (bz.back() == '=') bz.pop_back();
  const InternetRequest unpadded =
      InternetRequest::From("<InternetRequest compression='bzip2'>" + bz + "</InternetRequest>");
  EXPECT_TRUE(unpadded.IsValid()) << unpadded.InvalidationReason();
  EXPECT_EQ(unpadded.Content(), plain);
  const InternetResponse stray =
      InternetResponse::From("<InternetResponse status='AuthorizationFailure'>Zm9v*Zm9v</InternetResponse>");
  EXPECT_TRUE(stray.IsValid());
  EXPECT_EQ(stray.Status(), InternetResponse::eAuthorizationFailure);
  EXPECT_EQ(stray.ContentAsCString(), "foo");
  const InternetResponse none =
      InternetResponse::From("<InternetResponse status='AuthenticationFailure'>?</InternetResponse>");
  EXPECT_TRUE(none.IsValid());
  EXPECT_EQ(none.Status(), InternetResponse::eAuthenticationFailure);
  EXPECT_TRUE(none.Content().empty());
}

TEST(SelfCompressingMessage, ExpansionBeyondTheLimitInvalidates) {
  const String text = InternetRequest(ByteBuffer(4096, 0)).Serialize();
  OFL::Compression::SetDefaultDecompressionLimit(4095);
  const InternetRequest m = InternetRequest::From(text);
  OFL::Compression::SetDefaultDecompressionLimit(OFL::Compression::kDefaultDecompressionLimit);
  EXPECT_FALSE(m.IsValid());
  EXPECT_EQ(m.InvalidationReason(), "Decompression failed: Decompressed data exceeds the limit of 4095 bytes");
  EXPECT_TRUE(InternetRequest::From(text).IsValid());
}

TEST(InternetResponse, KeepsEachStatusAndRefusesOthers) {
  for (auto s : {InternetResponse::eOK, InternetResponse::eAuthenticationFailure,
                 InternetResponse::eAuthorizationFailure}) {
    const InternetResponse back = InternetResponse::From(InternetResponse("x", s));
    EXPECT_TRUE(back.IsValid());
    EXPECT_EQ(back.Status(), s);
    EXPECT_EQ(back.ContentAsCString(), "x");
  }
  InternetResponse lower = InternetResponse::From("<InternetResponse Status='authenticationfailure'/>");
  EXPECT_TRUE(lower.IsValid());
  EXPECT_EQ(lower.Status(), InternetResponse::eAuthenticationFailure);

  const InternetResponse pending = InternetResponse::From("<InternetResponse status='Pending'>Zm9v</InternetResponse>");
  EXPECT_FALSE(pending.IsValid());
  EXPECT_EQ(pending.Status(), InternetResponse::eImplementationFailure);
  EXPECT_EQ(pending.InvalidationReason(), "Deserializing attribute [status] with value [Pending] failed");
  EXPECT_EQ(pending.ContentAsCString(), "foo");
  EXPECT_EQ(InternetResponse(nullptr, InternetResponse::eImplementationFailure).Serialize(),
            "<InternetResponse status='ImplementationFailure'></InternetResponse>");
  // Validity travels with copies.
  const InternetResponse copy = pending;
  EXPECT_EQ(copy.InvalidationReason(), pending.InvalidationReason());
}

TEST(BasicMessage, ConvertsToItsTextAndBytes) {
  const InternetRequest m(String("a\0b", 3));
  const String text = m;
  const ByteBuffer bytes = m;
  EXPECT_EQ(text, "<InternetRequest>YQBi</InternetRequest>");
  EXPECT_EQ(bytes, ByteBuffer(text.begin(), text.end()));
  EXPECT_EQ(InternetRequest::From(text).Content(), ByteBuffer({'a', 0, 'b'}));
}

TEST(LengthPacked, FieldsTravelInOrderAndMissingOnesReadEmpty) {
  const String packed = length_packed::Pack({"a", "", "x:y;1"});
  String a = "old", b = "old", c = "old", d = "old";
  EXPECT_EQ(length_packed::Unpack(packed, {&a, &b, nullptr, &d}), 3);
  EXPECT_EQ(a, "a");
  EXPECT_EQ(b, "");
  EXPECT_EQ(d, "");
  EXPECT_EQ(length_packed::Unpack(packed, {nullptr, nullptr, &c}), 3);
  EXPECT_EQ(c, "x:y;1");
  EXPECT_EQ(length_packed::Unpack("9:short", {&a}), 0);
  EXPECT_EQ(a, "");
}

}  // namespace
