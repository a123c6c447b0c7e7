// mrk2cli serve end to end, over loopback: its answers against lookup's, its
// errors and limits, a region replaced under it, and its end on SIGTERM.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <thread>

#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "data/PointIndex.h"
#include "serve/ServerProcess.h"
#include "support/CliRunner.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

using Json = nlohmann::json;

std::string encode(const std::string& text) {
    std::string out;
    char buf[4];
    for (unsigned char c : text) {
        std::snprintf(buf, sizeof buf, "%%%02X", c);
        out += buf;
    }
    return out;
}

// A plain TCP connection to the server, for what an HTTP client would not send.
int connectTo(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    timeval limit{30, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return s;
}

class ServeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini", "[MRK]\r\nDBDIR=" + d.path() + "\r\n");
        createBaseDatabase(d.file("mrk2.mdb"));
        addRegion("東京", tokyo("35.681"));
        addRegion("大阪", {{"大阪府", "大阪市北区", "梅田一丁目", "1", "34.700", "135.495"}});
        addRegion("丸の内", {{"東京都", "千代田区", "丸の内一丁目", "1-3", "35.6813", "139.7672"}});
    }
    static std::vector<BlockRow> tokyo(const std::string& lat) {
        return {{"東京都", "千代田区", "丸の内一丁目", "1", lat, "139.767"},
                {"東京都", "千代田区", "丸の内一丁目", "2", "35.682", "139.768"},
                {"東京都", "中央区", "銀座一丁目", "1", "35.674", "139.770"},
                {"東京都", "中央区", "銀座一丁目", "1-5", "35.6741", "139.7701"}};
    }
    // Written beside its place and renamed over it, as every writer replaces a region.
    void addRegion(const std::string& name, const std::vector<BlockRow>& rows) {
        {
            RegionBuilder region(d.file(name + ".new"));
            region.addSource(name + ".csv", "2024-01-01 00:00:00", rows);
            Database db = Database::open(region.path());
            buildPointIndex(db);
        }
        ASSERT_EQ(std::rename(d.file(name + ".new").c_str(), d.file(name + ".mdb").c_str()), 0);
        registerDbInCatalog(d.file("mrk2.mdb"), d.path(), name);
    }
    httplib::Client client(const ServerProcess& server) {
        httplib::Client c("127.0.0.1", server.port());
        c.set_read_timeout(30);
        return c;
    }
    Json geocode(const ServerProcess& server, const std::string& address,
                 const std::string& more = "") {
        auto res = client(server).Get("/geocode?address=" + encode(address) + more);
        EXPECT_TRUE(res && res->status == 200) << (res ? res->body : "no answer");
        return res ? Json::parse(res->body) : Json();
    }

    TempDir d;
    std::string ini;
};

TEST_F(ServeTest, AnswersAreLookupsOwnOneByOneAndInABatch) {
    const std::vector<std::string> sample{
        "千代田区丸の内一丁目2",   "銀座一丁目1-5", "中央区銀座一丁目", "千代田区", "丸の外1-1",
        "東京都中央区銀座1丁目1番"};
    std::string batch;
    for (const std::string& a : sample)
        batch += a + "\n";
    batch += std::string(1001, '1') + "\r\n" + sjis("銀座一丁目1");  // no LF at the end
    CliResult lookup = runCli({"--ini", ini, "lookup", "東京", "-", "--json"}, batch);
    const Json expected = Json::parse(lookup.out);
    ASSERT_EQ(expected.size(), sample.size() + 2) << lookup.out << lookup.err;

    ServerProcess server(ini);
    for (std::size_t i = 0; i < sample.size(); ++i) {
        EXPECT_EQ(geocode(server, sample[i], "&region=" + encode("東京")), expected[i]);
        // With no region named, the one holding the address answers.
        EXPECT_EQ(geocode(server, sample[i]), expected[i]) << sample[i];
    }
    EXPECT_EQ(geocode(server, "大阪市北区梅田一丁目1")["緯度"], 34.7);
    // Where two regions hold the town, the deeper answer wins.
    EXPECT_EQ(geocode(server, "丸の内一丁目1-3")["一致レベル"], "住居");
    EXPECT_EQ(geocode(server, "丸の内一丁目2")["一致レベル"], "街区");

    auto res = client(server).Post("/geocode?region=" + encode("東京"), batch, "text/plain");
    ASSERT_TRUE(res && res->status == 200);
    std::vector<Json> lines;
    std::size_t start = 0;
    for (std::size_t lf; (lf = res->body.find('\n', start)) != std::string::npos; start = lf + 1)
        lines.push_back(Json::parse(res->body.substr(start, lf - start)));
    EXPECT_EQ(Json(lines), expected);

    res = client(server).Post("/geocode?format=csv", "銀座一丁目1\n", "text/plain");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("\r\n東京都,中央区,銀座一丁目,1,35.674,139.770,"), std::string::npos)
        << res->body;
    auto geo = Json::parse(
        client(server).Get("/geocode?format=geojson&address=" + encode("銀座一丁目1"))->body);
    EXPECT_EQ(geo["features"][0]["geometry"]["coordinates"], Json::array({139.77, 35.674}));
}

TEST_F(ServeTest, ReverseAnswersAreTheReverseCommandsOwn) {
    ServerProcess server(ini);
    CliResult cli =
        runCli({"--ini", ini, "reverse", "東京", "35.6741", "139.7701", "--limit", "2", "--json"});
    const Json expected = Json::parse(cli.out);
    ASSERT_EQ(expected.size(), 2u) << cli.out << cli.err;
    auto res =
        client(server).Get("/reverse?lat=35.6741&lon=139.7701&limit=2&region=" + encode("東京"));
    ASSERT_TRUE(res);
    EXPECT_EQ(Json::parse(res->body), expected);
    // Without a region, the nearest of all regions'.
    EXPECT_EQ(Json::parse(client(server).Get("/reverse?lat=34.7&lon=135.495")->body)[0]["緯度"],
              34.7);
    EXPECT_EQ(client(server).Get("/reverse?lat=0&lon=0")->body, "[\n]\n");
    EXPECT_EQ(client(server).Get("/reverse?lat=91&lon=0")->status, 400);
    EXPECT_EQ(client(server).Get("/reverse?lat=35&lon=139&limit=1.5")->status, 400);
}

TEST_F(ServeTest, ErrorsAreJsonWithTheirNumberAndLongAddressesAreNeverEchoed) {
    ServerProcess server(ini);
    const std::string longAddress = std::string(1000, '9') + "X";
    const struct {
        std::string target;
        int status;
    } cases[] = {
        {"/geocode", 400},
        {"/geocode?address=" + encode("銀座") + "&format=xml", 400},
        {"/geocode?address=" + encode("銀座") + "&adress=1", 400},
        {"/geocode?address=%E3%81", 400},  // not UTF-8
        {"/geocode?address=%G1", 400},
        {"/geocode?address=" + encode("銀座") + "&region=" + encode("京都"), 404},
        {"/geocode?address=" + encode("銀座") + "&region=mrk2", 404},
        {"/nowhere", 404},
        {"/geocode?address=" + longAddress, 414},
        {"/geocode?address=" + std::string(9000, 'a'), 414},
    };
    for (const auto& c : cases) {
        auto res = client(server).Get(c.target);
        ASSERT_TRUE(res) << c.target;
        EXPECT_EQ(res->status, c.status) << c.target;
        const Json body = Json::parse(res->body);
        EXPECT_EQ(body["エラー番号"], 10000 + c.status) << res->body;
        EXPECT_FALSE(body["メッセージ"].get<std::string>().empty());
        EXPECT_EQ(res->body.find("XXXX"), std::string::npos);
        EXPECT_EQ(res->body.find(std::string(50, '9')), std::string::npos);
    }
    // A second server on the port is refused, not started beside the first.
    CliResult second = runCli({"--ini", ini, "serve", "--port", std::to_string(server.port())});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("待ち受けを開始できません(98)"), std::string::npos) << second.err;

    const int raw = connectTo(server.port());
    const std::string head =
        "POST /geocode HTTP/1.1\r\nHost: a\r\nContent-Length: 9000000000\r\n\r\n";
    ASSERT_EQ(::send(raw, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    char answer[64] = {};
    EXPECT_GT(::recv(raw, answer, sizeof answer - 1, 0), 0);
    EXPECT_EQ(std::string(answer).rfind("HTTP/1.1 413", 0), 0u) << answer;
    ::close(raw);
}

// A client that never finishes its request is cut off, so the one server thread
// is free again for the next.
TEST_F(ServeTest, ASilentClientCannotHoldTheOnlyThread) {
    ServerProcess server(ini, "1");
    const int silent = connectTo(server.port());
    const std::string part = "GET /health HTTP/1.1\r\nHost: a\r\n";
    ASSERT_EQ(::send(silent, part.data(), part.size(), 0), static_cast<ssize_t>(part.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    httplib::Client c("127.0.0.1", server.port());
    c.set_read_timeout(60);
    auto res = c.Get("/health");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(Json::parse(res->body)["地域数"], 3);
    ::close(silent);
}

TEST_F(ServeTest, AReplacedOrDeletedRegionIsServedAnew) {
    ServerProcess server(ini);
    EXPECT_EQ(geocode(server, "丸の内一丁目1")["緯度"], 35.681);
    addRegion("東京", tokyo("35.6999"));
    // Every answer while the file changes is one version's; the new one comes.
    Json latitude;
    for (int i = 0; i < 200 && latitude != 35.6999; ++i) {
        latitude = geocode(server, "丸の内一丁目1", "&region=" + encode("東京"))["緯度"];
        EXPECT_TRUE(latitude == 35.681 || latitude == 35.6999) << latitude;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(latitude, 35.6999);

    ASSERT_EQ(std::remove(d.file("東京.mdb").c_str()), 0);
    int status = 0;
    for (int i = 0; i < 200 && status != 404; ++i) {
        status = client(server).Get("/geocode?address=x&region=" + encode("東京"))->status;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(status, 404);
    EXPECT_EQ(Json::parse(client(server).Get("/regions")->body).size(), 2u);
}

TEST_F(ServeTest, SigtermFinishesTheAnswerInFlightAndEndsWithZero) {
    ServerProcess server(ini);
    std::string batch;
    for (int i = 0; i < 20000; ++i)
        batch += "銀座一丁目1\n";
    httplib::Request req;
    req.method = "POST";
    req.path = "/geocode";
    req.body = batch;
    req.set_header("Content-Type", "text/plain");
    std::string answer;
    req.content_receiver = [&](const char* data, std::size_t size, std::uint64_t, std::uint64_t) {
        if (answer.empty())
            ::kill(server.pid(), SIGTERM);
        answer.append(data, size);
        return true;
    };
    auto res = client(server).send(req);
    ASSERT_TRUE(res);
    EXPECT_EQ(std::count(answer.begin(), answer.end(), '\n'), 20000);
    EXPECT_EQ(server.stop(0, 30), 0);
}

}  // namespace
}  // namespace mrk2::test
