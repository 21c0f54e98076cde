// The web address cut into host, port, object path and the secure flag.
#include "download/url_parts.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(SplitUrl, HostPortObjectAndScheme) {
    struct Case {
        const char* url;
        const char* host;
        const char* object;
        int port;
        bool https;
    } cases[] = {
        {"http://127.0.0.1/dir/file.exe", "127.0.0.1", "/dir/file.exe", 80, false},
        {"http://www.example.com/a/b.zip?x=1/2", "www.example.com", "/a/b.zip?x=1/2", 80, false},
        {"http://host:8080/file", "host", "/file", 8080, false},
        {"http://host:1/f", "host", "/f", 1, false},
        {"http://host:65535/f", "host", "/f", 65535, false},
        {"https://secure.example.com/setup.exe", "secure.example.com", "/setup.exe", 443, true},
        {"HTTPS://h:8443/x", "h", "/x", 8443, true},
        {"http://host", "host", "/", 80, false},
        {"http://host/", "host", "/", 80, false},
        {"host/file", "host", "/file", 80, false},
        // Every "http://" goes, as the runtime always removed it.
        {"http://host/http://x", "host", "/x", 80, false},
        {"http://[::1]:8080/f", "::1", "/f", 8080, false},
        {"http://[::1]/f", "::1", "/f", 80, false},
        // No host: the connection fails rather than going somewhere else.
        {"http://", "", "/", 80, false},
        {"http:///file", "", "/file", 80, false},
        {"http://host:0/f", "", "/f", 80, false},
        {"http://host:65536/f", "", "/f", 80, false},
        {"http://host:80a/f", "", "/f", 80, false},
        {"http://host:/f", "", "/f", 80, false},
        {"http://host:123456/f", "", "/f", 80, false},
    };
    for (const Case& c : cases) {
        UrlParts p = SplitUrl(c.url);
        EXPECT_EQ(p.host, c.host) << c.url;
        EXPECT_EQ(p.object, c.object) << c.url;
        if (!p.host.empty()) {
            EXPECT_EQ(p.port, c.port) << c.url;
        }
        EXPECT_EQ(p.https, c.https) << c.url;
    }
}

TEST(UrlFileName, AfterTheLastSlash) {
    EXPECT_EQ(UrlFileName("http://h/dir/file.exe"), "file.exe");
    EXPECT_EQ(UrlFileName("http://h/dir/"), "");
    EXPECT_EQ(UrlFileName("file.exe"), "file.exe");
}

} // namespace
} // namespace cv
