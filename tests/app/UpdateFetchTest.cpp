// Fetching the update description with WinINet, from a server that this
// test program runs on 127.0.0.1; and where the description is fetched from.

#include <gtest/gtest.h>

#include <string>

#include "app/UpdateCheckWorker.h"
#include "controls/WebPages.h"
#include "tests/app/LocalHttpServer.h"

namespace {

using app::FetchUpdateAnswer;
using test_http::LocalHttpServer;

const std::string kDescription =
    R"({"PhoneContactsRescue":[{"Version":"2.1.0.0","Nversion":"2.2.0.0","Update_URL":"http://x/y.exe"}]})";

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Fetches from the server's address; a server on this computer needs no
// Internet connection, so the connected state is not asked.
std::string fetch(const LocalHttpServer& server) { return FetchUpdateAnswer(wide(server.Url()), false); }

TEST(UpdateFetch, AsksForTheDocumentWithTheProgramsUserAgentAndReturnsTheAnswer) {
  LocalHttpServer server(kDescription);
  ASSERT_TRUE(server.Listening());
  EXPECT_EQ(fetch(server), kDescription);
  EXPECT_EQ(server.RequestsReceived(), 1);
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.rfind("GET /download/update/zephyrloom_update.txt HTTP/1.", 0), 0u) << request;
  EXPECT_NE(request.find("\r\nUser-Agent: Zephyrloom@Update\r\n"), std::string::npos) << request;
}

TEST(UpdateFetch, ReadsAtMostTheFirst1024BytesOnce) {
  std::string body;
  while (body.size() < 5000) body += std::to_string(body.size()) + ",";
  LocalHttpServer server(body);
  const std::string answer = fetch(server);
  EXPECT_EQ(answer.size(), app::kUpdateAnswerLimit);
  EXPECT_EQ(answer, body.substr(0, answer.size()));
}

TEST(UpdateFetch, EmptyAnswersErrorStatusesAndRefusedConnectionsGiveNothing) {
  LocalHttpServer empty("");
  EXPECT_EQ(fetch(empty), "");
  EXPECT_EQ(empty.RequestsReceived(), 1);
  // An error page is never read as the description, even one that looks like it.
  LocalHttpServer missing(kDescription, 404);
  EXPECT_EQ(fetch(missing), "");
  LocalHttpServer failing(kDescription, 500);
  EXPECT_EQ(fetch(failing), "");

  const DWORD start = ::GetTickCount();
  EXPECT_EQ(FetchUpdateAnswer(wide(LocalHttpServer::RefusedUrl()), false), "");
  EXPECT_LT(::GetTickCount() - start, app::kUpdateNetworkTimeoutMs) << "a refused connection is not waited for";
  EXPECT_EQ(FetchUpdateAnswer(L"http://", false), "");
  EXPECT_EQ(FetchUpdateAnswer(L"not an address", false), "");
}

TEST(UpdateFetch, AServerThatNeverAnswersIsGivenUpAfterTheTimeout) {
  LocalHttpServer server(kDescription);
  server.Hold();
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(fetch(server), "");
  const DWORD elapsed = ::GetTickCount() - start;
  server.Release();
  EXPECT_EQ(server.RequestsReceived(), 1);
  EXPECT_GE(elapsed + 500, app::kUpdateNetworkTimeoutMs) << "given up before the time-out";
  EXPECT_LT(elapsed, 3 * app::kUpdateNetworkTimeoutMs) << "the receive time-out holds";
}

TEST(UpdateSourceOfProcess, TheVendorsHostUnlessTheVariableSaysOtherwise) {
  EXPECT_EQ(std::wstring(controls::kVendorSite), std::wstring(L"https://") + controls::kVendorHost)
      << "the update check asks the host of the web pages";
  {
    const test_http::UpdateAddressVariable unset(nullptr);
    const app::UpdateSource source = app::UpdateSourceOfProcess();
    EXPECT_TRUE(source.enabled);
    EXPECT_FALSE(source.replaced);
    EXPECT_EQ(source.address, "http://www.zephyrloom.example/download/update/zephyrloom_update.txt");
  }
  {
    const test_http::UpdateAddressVariable off(L"off");
    EXPECT_FALSE(app::UpdateSourceOfProcess().enabled);
  }
  {
    const test_http::UpdateAddressVariable empty(L"");
    EXPECT_FALSE(app::UpdateSourceOfProcess().enabled) << "set, but empty";
  }
  {
    const test_http::UpdateAddressVariable local(L"http://127.0.0.1:8123/u.txt");
    const app::UpdateSource source = app::UpdateSourceOfProcess();
    EXPECT_TRUE(source.enabled);
    EXPECT_TRUE(source.replaced);
    EXPECT_EQ(source.address, "http://127.0.0.1:8123/u.txt");
  }
}

}  // namespace
