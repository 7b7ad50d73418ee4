// The update check's decisions: what an answer of the vendor's server
// offers, whether that asks for the prompt, and where the description is
// fetched from.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/UpdateCheck.h"

namespace {

using app::AnswerOffersOtherVersion;
using app::ReadUpdateDescription;

constexpr const char* kOwnVersion = "2.1.0.0";

// A description whose entry offers `newest` (a JSON value as written).
std::string describing(const std::string& newest) {
  return R"({"PhoneContactsRescue":[{"Version":"2.1.0.0","Nversion":)" + newest +
         R"(,"Update_URL":"http://www.zephyrloom.example/download/zephyrloom.exe"}]})";
}

bool prompts(const std::string& answer) { return AnswerOffersOtherVersion(answer, kOwnVersion); }

TEST(UpdateDescription, ReadsTheFirstEntryOfThisProductAndIgnoresOtherProducts) {
  const std::string answer = R"({
    "CardRescue": [{"Version": "9.0", "Nversion": "9.1", "Update_URL": "http://other"}],
    "PhoneContactsRescue": [
      {"Version": "2.1.0.0", "Nversion": "2.2.0.0", "Update_URL": "http://www.zephyrloom.example/new.exe"},
      {"Version": "1.0", "Nversion": "1.1", "Update_URL": "http://second"}
    ]
  })";
  const std::optional<app::UpdateOffer> offer = ReadUpdateDescription(answer);
  ASSERT_TRUE(offer.has_value());
  EXPECT_EQ(offer->version, "2.1.0.0");
  EXPECT_EQ(offer->newestVersion, "2.2.0.0");
  EXPECT_EQ(offer->updateUrl, "http://www.zephyrloom.example/new.exe");
  EXPECT_TRUE(prompts(answer));
}

TEST(UpdateDescription, AnyOtherNonEmptyVersionPromptsAndOnlyTheSameBytesDoNot) {
  EXPECT_FALSE(prompts(describing(R"("2.1.0.0")")));
  EXPECT_TRUE(prompts(describing(R"("2.0.0.0")"))) << "an older version still prompts";
  EXPECT_TRUE(prompts(describing(R"("3.0.0.0")")));
  EXPECT_TRUE(prompts(describing(R"("2.1.0")"))) << "the same version written with fewer parts";
  EXPECT_TRUE(prompts(describing(R"("2.1.0.0 ")"))) << "a trailing blank";
  EXPECT_TRUE(prompts(describing("\"\xFF\xFE\""))) << "bytes that are not UTF-8 are a version too";
}

TEST(UpdateDescription, AnEmptyMissingOrNullNewestVersionDoesNotPrompt) {
  EXPECT_FALSE(prompts(describing(R"("")")));
  EXPECT_FALSE(prompts(describing("null")));
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":[{"Version":"3.0.0.0"}]})"));
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":[]})"));
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":[null]})"));
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":null})"));
  EXPECT_FALSE(prompts(R"({"CardRescue":[{"Nversion":"3.0.0.0"}]})")) << "another product's entry";
  EXPECT_FALSE(prompts(R"({"phonecontactsrescue":[{"Nversion":"3.0.0.0"}]})")) << "keys are case-sensitive";
}

TEST(UpdateDescription, AnswersThatAreNotJsonDoNotPrompt) {
  EXPECT_FALSE(prompts(""));
  EXPECT_FALSE(prompts("   \r\n"));
  EXPECT_FALSE(prompts("<html><body><h1>404 Not Found</h1></body></html>"));
  EXPECT_FALSE(prompts("Nversion=3.0.0.0"));
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":[{"Nversion":3.0.0.0}]})"));
  EXPECT_FALSE(prompts(std::string(1024, '\xFF')));
}

TEST(UpdateDescription, CommentsAreAllowedAsInTheParsersDefaultMode) {
  EXPECT_TRUE(prompts("// the vendor's update list\n{ /* this product */ \"PhoneContactsRescue\": "
                      "[{\"Nversion\": \"2.2.0.0\"}] }"));
}

TEST(UpdateDescription, ADocumentOfAnotherShapeIsNoOfferAndNeverThrows) {
  const char* const shapes[] = {
      // The root is not an object.
      R"([{"PhoneContactsRescue":[{"Nversion":"3.0.0.0"}]}])",
      R"("PhoneContactsRescue")",
      "3",
      "true",
      // The product member is not an array.
      R"({"PhoneContactsRescue":{"Nversion":"3.0.0.0"}})",
      R"({"PhoneContactsRescue":"3.0.0.0"})",
      R"({"PhoneContactsRescue":3})",
      // Its first element is not an object.
      R"({"PhoneContactsRescue":["3.0.0.0"]})",
      R"({"PhoneContactsRescue":[["3.0.0.0"]]})",
      R"({"PhoneContactsRescue":[7,{"Nversion":"3.0.0.0"}]})",
  };
  for (const char* answer : shapes) {
    SCOPED_TRACE(answer);
    EXPECT_NO_THROW(EXPECT_FALSE(ReadUpdateDescription(answer).has_value()));
    EXPECT_FALSE(prompts(answer));
  }
}

TEST(UpdateDescription, ValuesThatAreNumbersArraysOrObjectsAreNoOffer) {
  for (const char* newest : {"3", "3.5", "-1", R"(["3.0.0.0"])", R"({"major":3})", "[]", "{}"}) {
    SCOPED_TRACE(newest);
    EXPECT_NO_THROW(EXPECT_FALSE(ReadUpdateDescription(describing(newest)).has_value()));
  }
  // Any of the three values read, not just the compared one.
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":[{"Version":[1],"Nversion":"3.0.0.0"}]})"));
  EXPECT_FALSE(prompts(R"({"PhoneContactsRescue":[{"Nversion":"3.0.0.0","Update_URL":{"href":"x"}}]})"));
}

TEST(UpdateDescription, BooleansReadAsTheirNames) {
  const std::optional<app::UpdateOffer> offer =
      ReadUpdateDescription(R"({"PhoneContactsRescue":[{"Version":false,"Nversion":true}]})");
  ASSERT_TRUE(offer.has_value());
  EXPECT_EQ(offer->version, "false");
  EXPECT_EQ(offer->newestVersion, "true");
  EXPECT_TRUE(app::OffersOtherVersion(*offer, kOwnVersion));
}

TEST(UpdateDescription, OnlyTheFirst1024BytesCount) {
  const std::string entry = R"({"PhoneContactsRescue":[{"Nversion":"3.0.0.0"}],)";
  // Other products' entries after ours, cut off by the limit: what came
  // before the cut still counts.
  const std::string longTail = entry + R"("CardRescue":")" + std::string(3000, 'x') + R"("})";
  EXPECT_TRUE(prompts(longTail));
  // Ours after the limit is never seen.
  const std::string lateEntry =
      R"({"Padding":")" + std::string(1100, ' ') + R"(","PhoneContactsRescue":[{"Nversion":"3.0.0.0"}]})";
  EXPECT_FALSE(prompts(lateEntry));
  // A complete document of exactly 1024 bytes is read whole.
  const std::string head = R"({"Padding":")";
  const std::string tail = R"(","PhoneContactsRescue":[{"Nversion":"3.0.0.0"}]})";
  const std::string exact = head + std::string(1024 - head.size() - tail.size(), '.') + tail;
  ASSERT_EQ(exact.size(), 1024u);
  EXPECT_TRUE(prompts(exact));
  // The version's closing quote as the 1024th byte, and as the 1025th.
  const std::size_t quote = tail.find("3.0.0.0") + 7;
  const auto quoteAt = [&](std::size_t index) { return head + std::string(index - head.size() - quote, '.') + tail; };
  EXPECT_TRUE(prompts(quoteAt(1023)));
  EXPECT_FALSE(prompts(quoteAt(1024)));
}

TEST(UpdateDescription, TheTextEndsAtTheFirstZeroByte) {
  const std::string complete = describing(R"("3.0.0.0")");
  EXPECT_TRUE(prompts(complete + std::string(1, '\0') + "garbage after the end"));
  std::string cut = complete;
  cut.insert(cut.find("3.0.0.0"), 1, '\0');
  EXPECT_FALSE(prompts(cut)) << "a zero byte inside the version ends the text there";
  EXPECT_FALSE(prompts(std::string(1, '\0') + complete));
}

TEST(UpdateDescription, EveryPrefixOfADescriptionIsReadWithoutThrowing) {
  const std::string answer = describing(R"("3.0.0.0")");
  // The newest version counts once the text holds its closing quote.
  const std::size_t versionEnd = answer.find("3.0.0.0") + std::string("3.0.0.0\"").size();
  for (std::size_t length = 0; length <= answer.size(); ++length) {
    SCOPED_TRACE(length);
    bool offered = false;
    EXPECT_NO_THROW(offered = prompts(answer.substr(0, length)));
    EXPECT_EQ(offered, length >= versionEnd);
  }
}

TEST(UpdateDescription, NestingDeeperThanTheParserAllowsIsNoOffer) {
  // 1024 bytes allow more nesting than the parser accepts (it throws).
  EXPECT_NO_THROW(EXPECT_FALSE(ReadUpdateDescription(std::string(1024, '[')).has_value()));
  const std::string deep = R"({"PhoneContactsRescue":)" + std::string(1001, '[');
  EXPECT_NO_THROW(EXPECT_FALSE(ReadUpdateDescription(deep).has_value()));
}

TEST(UpdateSource, WithoutTheVariableTheVendorsAddressIsAsked) {
  const std::string vendor = app::DefaultUpdateAddress("www.zephyrloom.example");
  EXPECT_EQ(vendor, "http://www.zephyrloom.example/download/update/zephyrloom_update.txt");
  const app::UpdateSource source = app::ChooseUpdateSource(std::nullopt, vendor);
  EXPECT_TRUE(source.enabled);
  EXPECT_FALSE(source.replaced);
  EXPECT_EQ(source.address, vendor);
}

TEST(UpdateSource, TheVariableReplacesTheAddressOrTurnsTheCheckOff) {
  const std::string vendor = app::DefaultUpdateAddress("www.zephyrloom.example");
  for (const char* off : {"", "off", "OFF", "Off", "  off\t", "   "}) {
    SCOPED_TRACE(off);
    EXPECT_FALSE(app::ChooseUpdateSource(std::string(off), vendor).enabled);
  }
  const app::UpdateSource local = app::ChooseUpdateSource(std::string(" http://127.0.0.1:8080/u.txt\n"), vendor);
  EXPECT_TRUE(local.enabled);
  EXPECT_TRUE(local.replaced);
  EXPECT_EQ(local.address, "http://127.0.0.1:8080/u.txt");
  EXPECT_TRUE(app::ChooseUpdateSource(std::string("HTTPS://updates.example.org/u.txt"), vendor).enabled);
  // Only web addresses are fetched.
  for (const char* other : {"ftp://example.org/u.txt", "file:///C:/u.txt", "127.0.0.1:8080/u.txt", "offline",
                            "C:\\update.txt"}) {
    SCOPED_TRACE(other);
    EXPECT_FALSE(app::ChooseUpdateSource(std::string(other), vendor).enabled);
  }
}

}  // namespace
