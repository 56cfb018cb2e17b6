#include "query/http_get.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/gbk_literal.h"
#include "support/portal_fixture.h"

namespace qc {
namespace {

using test::Gbk;

class HttpGetTest : public test::PortalTest {
 protected:
  Bytes Get(const std::string& target) {
    return HttpGet(" http://" + Portal().Host() + target);
  }
  std::string Header(const portal::LoggedRequest& request, const std::string& name) {
    for (const auto& [key, value] : request.headers) {
      if (key == name) return value;
    }
    return "<missing>";
  }
};

TEST_F(HttpGetTest, SendsTheRequestAsTheProgramAlwaysHas) {
  const Bytes page = Get("/search.php?f=1&c=1&city=" + Gbk("岳阳") + "&dpc=1#frag");
  EXPECT_GT(page.size(), 30000u);
  const auto requests = Portal().Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].line, "GET /search.php?f=1&c=1&city=" + Gbk("岳阳") + "&dpc=1 HTTP/1.0");
  EXPECT_EQ(Header(requests[0], "User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
  EXPECT_EQ(Header(requests[0], "Accept"), "*/*");
}

TEST_F(HttpGetTest, EscapesOnlyWhatARequestLineCannotCarry) {
  EXPECT_EQ(RequestUrl("  http://h/a b\x01\x7F" + Gbk("晴") + "&x=1#rest"),
            "http://h/a%20b%01%7F" + Gbk("晴") + "&x=1");
  Get("/search.php?f=1&c=1&city=" + Gbk("北 京") + "&dpc=1");
  EXPECT_EQ(Portal().Requests().at(0).target, "/search.php?f=1&c=1&city=" + Gbk("北") + "%20" +
                                                  Gbk("京") + "&dpc=1");
}

TEST_F(HttpGetTest, FollowsRedirects) {
  const Bytes page = Get("/search.php?f=1&c=1&city=fault-redirect&dpc=1");
  EXPECT_NE(BytesToText(page).find(Gbk("北京")), Text::npos);
  EXPECT_EQ(Portal().Requests().size(), 2u);
}

TEST_F(HttpGetTest, FailuresGiveWhatArrived) {
  EXPECT_TRUE(HttpGet(" http://127.0.0.1:1/search.php").empty());
  EXPECT_TRUE(HttpGet("").empty());
  EXPECT_TRUE(HttpGet("not a url").empty());
  EXPECT_TRUE(Get("/search.php?f=1&c=1&city=fault-empty&dpc=1").empty());
  const Bytes cut = Get("/search.php?f=1&c=1&city=fault-reset&dpc=1");
  EXPECT_GT(cut.size(), 0u);
  // The status is not examined: a 404 page is a body like any other.
  EXPECT_FALSE(Get("/nothing-here").empty());
}

TEST_F(HttpGetTest, StopsAtTheBodyCap) {
  const Bytes body = Get("/search.php?f=1&c=1&city=fault-huge&dpc=1");
  EXPECT_EQ(body.size(), CurrentHttpLimits().maxBodyBytes);
}

TEST_F(HttpGetTest, AStalledServerIsCutOffByTheTransferTimeOut) {
  HttpLimits limits;
  limits.transferTimeoutSeconds = 1;
  SetHttpLimits(limits);
  const auto start = std::chrono::steady_clock::now();
  const Bytes partial = Get("/search.php?f=1&c=1&city=fault-stall&dpc=1");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_GT(partial.size(), 0u);
}

}  // namespace
}  // namespace qc
