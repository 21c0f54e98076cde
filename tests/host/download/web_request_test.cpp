#include "download/web_request.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(SplitWebAddress, HostBeforeTheFirstSlash) {
    WebAddress a = SplitWebAddress("http://127.0.0.1/values/v.txt?x=1/2");
    EXPECT_EQ(a.host, "127.0.0.1");
    EXPECT_EQ(a.path, "/values/v.txt?x=1/2");
    a = SplitWebAddress("www.example.com");
    EXPECT_EQ(a.host, "www.example.com");
    EXPECT_EQ(a.path, "/");
    a = SplitWebAddress("http://host/");
    EXPECT_EQ(a.host, "host");
    EXPECT_EQ(a.path, "/");
    EXPECT_EQ(SplitWebAddress("http://").host, "");
}

TEST(BuildGetRequest, AsksForTextWithoutCache) {
    std::string request = BuildGetRequest(WebAddress{"h.example", "/a b"});
    EXPECT_EQ(request.rfind("GET /a b HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(request.find("\r\nHost: h.example\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nAccept: text/*\r\n"), std::string::npos);
    EXPECT_NE(request.find("no-cache"), std::string::npos);
    EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n");
}

std::string FeedByteByByte(HttpReplyReader& reader, std::string_view reply) {
    for (char c : reply) {
        EXPECT_FALSE(reader.Complete());
        reader.Feed(std::string_view(&c, 1));
    }
    return reader.Body();
}

TEST(HttpReplyReader, BodyEndsAtContentLength) {
    HttpReplyReader reader;
    FeedByteByByte(reader, "HTTP/1.0 200 OK\r\nServer: x\r\ncontent-length:  5\r\n\r\nhello");
    EXPECT_TRUE(reader.Complete());
    EXPECT_EQ(reader.Status(), 200);
    EXPECT_EQ(reader.ContentLength(), 5);
    reader.Feed(" and more");
    EXPECT_EQ(reader.Value(false), "hello");
}

TEST(HttpReplyReader, WithoutLengthTheBodyEndsWithTheConnection) {
    HttpReplyReader reader;
    reader.Feed("HTTP/1.1 200 OK\nContent-Type: text/plain\n\nline 1\r\n\r\nline 2");
    EXPECT_FALSE(reader.Complete());
    EXPECT_EQ(reader.Value(false), "");
    EXPECT_EQ(reader.Value(true), "line 1\r\n\r\nline 2");
}

TEST(HttpReplyReader, ErrorsAndCutRepliesGiveNoValue) {
    HttpReplyReader missing;
    missing.Feed("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
    EXPECT_TRUE(missing.Complete());
    EXPECT_EQ(missing.Value(true), "");

    HttpReplyReader cut;
    cut.Feed("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
    EXPECT_FALSE(cut.Complete());
    EXPECT_EQ(cut.Value(true), "");

    for (const char* bad : {"SSH-2.0-OpenSSH\r\n\r\n", "HTTP/1.0 2x0 OK\r\n\r\nbody", "HTTP/1.0\r\n\r\n"}) {
        HttpReplyReader reader;
        reader.Feed(bad);
        EXPECT_TRUE(reader.Complete()) << bad;
        EXPECT_EQ(reader.Value(true), "") << bad;
    }
}

TEST(HttpReplyReader, HeaderAndBodyAreBounded) {
    HttpReplyReader endless_header;
    std::string junk(1000, 'x');
    for (int i = 0; i < 20 && !endless_header.Complete(); ++i)
        endless_header.Feed(junk);
    EXPECT_TRUE(endless_header.Complete());
    EXPECT_EQ(endless_header.Value(true), "");

    HttpReplyReader big;
    big.Feed("HTTP/1.0 200 OK\r\n\r\n");
    std::string block(4096, 'b');
    for (int i = 0; i < 100 && !big.Complete(); ++i)
        big.Feed(block);
    EXPECT_TRUE(big.Complete());
    EXPECT_EQ(big.Value(false).size(), kMaxWebBody);
}

} // namespace
} // namespace cv
