// The simulator over real sockets: what it serves, what it logs, and each fault as named. Requests
// go out on raw sockets so that raw GBK request lines and connection resets can be seen.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>

#include "client_scrape.h"
#include "portal/city_page.h"
#include "portal/city_table.h"
#include "portal/condition_icons.h"
#include "portal/fault_bodies.h"
#include "portal/portal_server.h"

namespace qc::portal::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const bool kIgnoreSigpipe = [] {
  std::signal(SIGPIPE, SIG_IGN);
  return true;
}();

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

struct Reply {
  int status = 0;
  std::string head;
  std::string body;
  bool reset = false;  // the last read failed with ECONNRESET
  std::string Header(std::string_view name) const {
    const std::string key = "\r\n" + std::string(name) + ": ";
    std::size_t at = head.find(key);
    if (at == std::string::npos)
      return {};
    at += key.size();
    return head.substr(at, head.find("\r\n", at) - at);
  }
};

int Connect(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval timeout{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Sends the bytes as they are and reads until the server closes.
Reply Exchange(int port, std::string_view request) {
  Reply reply;
  int fd = Connect(port);
  if (fd < 0)
    return reply;
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  // Half-close, as an HTTP/1.0 client may: a request cut short then ends at once instead of
  // waiting for the server's read time-out.
  ::shutdown(fd, SHUT_WR);
  std::string received;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      reply.reset = n < 0 && errno == ECONNRESET;
      break;
    }
    received.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  std::size_t split = received.find("\r\n\r\n");
  reply.head = received.substr(0, split);
  if (split != std::string::npos)
    reply.body = received.substr(split + 4);
  if (reply.head.starts_with("HTTP/1."))
    reply.status = std::atoi(reply.head.c_str() + 9);
  return reply;
}

// A request like the program's: HTTP/1.0, "Accept: */*", the target bytes unescaped.
Reply Get(const PortalServer& server, std::string_view target) {
  return Exchange(server.Port(), "GET " + std::string(target) + " HTTP/1.0\r\nAccept: */*\r\n\r\n");
}

std::string CityTarget(std::string_view gbkName) {
  return "/search.php?f=1&c=1&city=" + std::string(gbkName) + "&dpc=1";
}

std::string IconTarget(std::string_view name) {
  return "/images/yb3/78_78/" + std::string(name) + ".png";
}

TEST(PortalServer, ServesEveryCityOfTheTable) {
  PortalServer server;
  for (const CityRecord& city : Cities()) {
    SCOPED_TRACE(city.name);
    const Reply reply = Get(server, CityTarget(Gbk(city.name)));
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.body == *TableCityPage(Gbk(city.name)));
  }
  // Percent-encoded names are the same city: clients that escape GBK bytes get the page too.
  EXPECT_TRUE(Get(server, CityTarget("%D4%C0%D1%F4")).body == *TableCityPage(Gbk("岳阳")));
  EXPECT_EQ(server.CityRequests().back(), Gbk("岳阳"));
}

TEST(PortalServer, LogsTheRequestHeadAsItArrived) {
  std::mutex mutex;
  std::vector<LoggedRequest> observed;
  PortalServer server(0, [&](const LoggedRequest& request) {
    std::lock_guard lock(mutex);
    observed.push_back(request);
  });
  const std::string line = "GET /search.php?f=1&c=1&city=\xD4\xC0\xD1\xF4&dpc=1 HTTP/1.0";
  const Reply reply =
      Exchange(server.Port(), line +
                                  "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT "
                                  "5.0)\r\nHost: " +
                                  server.Host() + "\r\nAccept: */*\r\n\r\n");
  EXPECT_EQ(reply.status, 200);

  const std::vector<LoggedRequest> log = server.Requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].line, line);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].target, "/search.php?f=1&c=1&city=\xD4\xC0\xD1\xF4&dpc=1");
  EXPECT_EQ(log[0].version, "HTTP/1.0");
  EXPECT_EQ(log[0].headers,
            (std::vector<std::pair<std::string, std::string>>{
                {"User-Agent", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"},
                {"Host", server.Host()},
                {"Accept", "*/*"}}));
  {
    std::lock_guard lock(mutex);
    ASSERT_EQ(observed.size(), 1u);
    EXPECT_EQ(observed[0].line, line);
  }
  EXPECT_EQ(server.CityRequests(), std::vector<std::string>{Gbk("岳阳")});

  Get(server, IconTarget("duoyun"));
  Get(server, IconTarget("xiaoxue_1"));
  EXPECT_EQ(server.IconRequests(), (std::vector<std::string>{"duoyun", "xiaoxue_1"}));
  server.ClearRequests();
  EXPECT_TRUE(server.Requests().empty());
}

TEST(PortalServer, ServesEveryIconOfTheVocabulary) {
  if (ConditionIcon("qing.png").empty())
    GTEST_SKIP() << "assets/conditions holds no pictures yet";
  PortalServer server;
  for (const std::string& name : ServedIconNames()) {
    for (const std::string& file : {name, name + "_1"}) {
      SCOPED_TRACE(file);
      const Reply reply = Get(server, IconTarget(file));
      EXPECT_EQ(reply.status, 200);
      EXPECT_GT(reply.body.size(), 1000u);
      EXPECT_TRUE(reply.body.starts_with(kPngSignature));
    }
  }
}

TEST(PortalServer, AnswersEverythingElseWithTheShortNotFoundPage) {
  PortalServer server;
  for (const std::string& target :
       {IconTarget("zhenxue"), IconTarget("zhenxue_1"), IconTarget("nosuchthing"),
        IconTarget(Gbk("多云")), CityTarget(Gbk("火星")), CityTarget(""),
        std::string("/search.php"), std::string("/images/yb3/180_180/qing.png"),
        std::string("/favicon.ico"), std::string("/")}) {
    SCOPED_TRACE(Utf8(target));
    const Reply reply = Get(server, target);
    EXPECT_EQ(reply.status, 404);
    EXPECT_TRUE(reply.body == NotFoundBody());
    EXPECT_LT(reply.body.size(), 1000u);
  }
}

TEST(PortalServer, SetBodiesTakePrecedence) {
  PortalServer server;
  const std::string page("short\0page", 10);
  server.SetCityPage(Gbk("岳阳"), page);
  server.SetCityPage("fault-empty", "not empty");
  server.SetCityPage(Gbk("新城"), "new");
  server.SetIcon("qing", "tiny");
  server.SetIcon("zhenxue", std::string(1200, 'z'));
  EXPECT_TRUE(Get(server, CityTarget(Gbk("岳阳"))).body == page);
  EXPECT_EQ(Get(server, CityTarget("fault-empty")).body, "not empty");
  EXPECT_EQ(Get(server, CityTarget(Gbk("新城"))).body, "new");
  EXPECT_EQ(Get(server, IconTarget("qing")).body, "tiny");
  EXPECT_EQ(Get(server, IconTarget("zhenxue")).body.size(), 1200u);
  EXPECT_TRUE(Get(server, CityTarget(Gbk("北京"))).body == *TableCityPage(Gbk("北京")));
}

TEST(PortalServer, ImmediateCityFaults) {
  PortalServer server;
  const std::string beijing = *TableCityPage(Gbk("北京"));
  struct Case {
    std::string name;
    std::function<void(const Reply&)> check;
  };
  auto validPageOf = [](std::string_view name, std::size_t size) {
    return [name = std::string(name), size](const Reply& reply) {
      EXPECT_EQ(reply.status, 200);
      EXPECT_EQ(reply.body.size(), size);
      // Looked at as if it were long enough, the page is complete and carries the fault name.
      const ScrapedPage page = Scrape(reply.body + std::string(30001, ' '));
      EXPECT_EQ(RecordedName(page.title), name);
      EXPECT_EQ(page.nearby.size(), 5u);
      EXPECT_EQ(page.days.size(), 4u);
    };
  };
  const Case cases[] = {
      {"fault-short",
       [](const Reply& reply) {
         EXPECT_EQ(reply.status, 200);
         EXPECT_EQ(reply.body.size(), kShortPageBytes);
         EXPECT_TRUE(reply.body.starts_with("<html>"));
       }},
      {"fault-30000", validPageOf("fault-30000", 30000)},
      {"fault-30001", validPageOf("fault-30001", 30001)},
      {"fault-empty",
       [](const Reply& reply) {
         EXPECT_EQ(reply.status, 200);
         EXPECT_TRUE(reply.body.empty());
       }},
      {"fault-zero",
       [](const Reply& reply) {
         EXPECT_GT(reply.body.size(), 30000u);
         EXPECT_EQ(reply.body.find('\0'), kZeroBytePosition - 1);
         EXPECT_FALSE(Scrape(reply.body).accepted);
       }},
      {"fault-redirect",
       [&](const Reply& reply) {
         EXPECT_EQ(reply.status, 302);
         const std::string location = reply.Header("Location");
         EXPECT_EQ(location, "/search.php?f=1&c=1&city=%B1%B1%BE%A9&dpc=1");
         EXPECT_TRUE(Get(server, location).body == beijing);
       }},
      {"fault-notitle",
       [](const Reply& reply) {
         const ScrapedPage page = Scrape(reply.body);
         EXPECT_TRUE(page.accepted);
         EXPECT_EQ(page.title, "");
         EXPECT_EQ(page.days.size(), 4u);
       }},
      {"fault-noparen",
       [](const Reply& reply) {
         const ScrapedPage page = Scrape(reply.body);
         EXPECT_EQ(page.title, "\"fault-noparen\"");
         EXPECT_EQ(RecordedName(page.title), "");
       }},
      {"fault-garbage",
       [&](const Reply& reply) {
         EXPECT_EQ(reply.body.size(), kGarbageBytes);
         EXPECT_EQ(reply.body.find('\0'), std::string::npos);
         EXPECT_EQ(reply.body, Get(server, CityTarget("fault-garbage")).body);
       }},
      {"fault-backtrack",
       [](const Reply& reply) {
         EXPECT_GT(reply.body.size(), 4000000u);
         EXPECT_EQ(Utf8(RecordedName(Scrape(reply.body.substr(0, 40000)).title)),
                   "fault-backtrack");
         // Every marker is there, in order, but none of the closings the lazy groups look for.
         int at = 1;
         for (std::string_view marker :
              {"载入中", "周边城市", "右侧主内容", "今天白天", "日出日落时间",
               "<!-- 生活指数 begin -->", "未来", "订阅天气短信", "机场天气滚动"}) {
           at = FindText(reply.body, Gbk(marker), at);
           EXPECT_GT(at, 0) << Utf8(Gbk(marker));
         }
         for (std::string_view closing : {"&dpc=1", "</td>", "</h4>", "png"})
           EXPECT_EQ(reply.body.find(closing, 19000), std::string::npos) << closing;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.check(Get(server, CityTarget(c.name)));
  }
}

TEST(PortalServer, SlowFaultAnswersAfterItsDelay) {
  PortalServer server;
  server.SetSlowDelay(milliseconds(300));
  const auto start = Clock::now();
  const Reply reply = Get(server, CityTarget("fault-slow"));
  EXPECT_GE(Clock::now() - start, milliseconds(300));
  EXPECT_EQ(RecordedName(Scrape(reply.body).title), "fault-slow");
}

TEST(PortalServer, StallAndResetFaultsSendOnlyTheStartOfThePage) {
  PortalServer server;
  server.SetStallDelay(milliseconds(400));

  auto start = Clock::now();
  const Reply stalled = Get(server, CityTarget("fault-stall"));
  EXPECT_GE(Clock::now() - start, milliseconds(400));
  EXPECT_EQ(stalled.Header("Content-Length"),
            std::to_string(CityFaultBody(CityFault::Stall).size()));
  EXPECT_EQ(stalled.body.size(), kPartialBodyBytes);
  EXPECT_FALSE(stalled.reset);

  const Reply reset = Get(server, CityTarget("fault-reset"));
  EXPECT_EQ(reset.Header("Content-Length"), std::to_string(CityFaultBody(CityFault::Reset).size()));
  EXPECT_EQ(reset.body.size(), kPartialBodyBytes);
  EXPECT_TRUE(reset.reset);
  EXPECT_TRUE(reset.body == CityFaultBody(CityFault::Reset).substr(0, kPartialBodyBytes));
}

TEST(PortalServer, HugeFaultStreamsItsWholeBody) {
  PortalServer server;
  const Reply reply = Get(server, CityTarget("fault-huge"));
  EXPECT_EQ(reply.Header("Content-Length"), std::to_string(kHugeBodyBytes));
  ASSERT_EQ(reply.body.size(), kHugeBodyBytes);
  EXPECT_EQ(RecordedName(Scrape(reply.body).title), "fault-huge");
}

TEST(PortalServer, IconFaults) {
  PortalServer server;
  struct Case {
    const char* name;
    std::size_t size;
    bool png;
  };
  for (const Case& c : {Case{"fault-1000", 1000, true}, Case{"fault-1001", 1001, true},
                        Case{"fault-1000_1", 1000, true}, Case{"fault-errorpage", 2000, false},
                        Case{"fault-errorpage_1", 2000, false}}) {
    SCOPED_TRACE(c.name);
    const Reply reply = Get(server, IconTarget(c.name));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.size(), c.size);
    EXPECT_EQ(reply.body.starts_with(kPngSignature), c.png);
    EXPECT_EQ(reply.body.starts_with("<html>"), !c.png);
  }
}

TEST(PortalServer, StopsQuicklyWhileAnAnswerStalls) {
  auto server = std::make_unique<PortalServer>();
  const int port = server->Port();
  std::atomic<bool> clientDone = false;
  std::thread client([&] {
    Exchange(port, "GET " + CityTarget("fault-stall") + " HTTP/1.0\r\n\r\n");
    clientDone = true;
  });
  // Wait until the stall has begun: the request is logged before its answer starts.
  for (int i = 0; i < 200 && server->Requests().empty(); ++i)
    std::this_thread::sleep_for(milliseconds(5));
  std::this_thread::sleep_for(milliseconds(50));
  const auto start = Clock::now();
  server.reset();
  EXPECT_LT(Clock::now() - start, milliseconds(1000));
  client.join();
  EXPECT_TRUE(clientDone);
}

TEST(PortalServer, SurvivesOddRequests) {
  PortalServer server;
  const std::string cases[] = {
      std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11),
      "GET\r\n\r\n",
      "GET / HTTP/1.0\n\n",
      "GET /search.php?city=a?b HTTP/1.0\r\n\r\n",
      "BREW /pot HTTP/1.1\r\n\r\n",
      "POST /search.php HTTP/1.0\r\nContent-Length: 5\r\n\r\nhello",
      "GET /" + std::string(20000, 'a') + " HTTP/1.0\r\n\r\n",
      "GET /search.php?f=1&c=1&city=%ZZ%&dpc=1 HTTP/1.0\r\n\r\n",
      "GET /search.php?f=1&c=1&city=",
      std::string("\0\0\0\0", 4),
  };
  for (const std::string& request : cases) {
    SCOPED_TRACE(Utf8(request.substr(0, 40)));
    Exchange(server.Port(), request);
    EXPECT_EQ(Get(server, CityTarget("fault-short")).body.size(), kShortPageBytes);
  }
  // Even heads the library rejects are in the log.
  std::set<std::string> lines;
  for (const LoggedRequest& request : server.Requests())
    lines.insert(request.line);
  EXPECT_TRUE(lines.count("GET"));
  EXPECT_TRUE(lines.count("BREW /pot HTTP/1.1"));
  EXPECT_TRUE(lines.count("GET /search.php?f=1&c=1&city="));
}

TEST(PortalServer, ServesAStandardKeepAliveClient) {
  PortalServer server;
  httplib::Client client("127.0.0.1", server.Port());
  client.set_keep_alive(true);
  for (const char* city : {"长沙", "拉萨"}) {
    httplib::Result result = client.Get(CityTarget(Gbk(city)).c_str());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_TRUE(result->body == *TableCityPage(Gbk(city)));
  }
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[1].version, "HTTP/1.1");
}

}  // namespace
}  // namespace qc::portal::test
