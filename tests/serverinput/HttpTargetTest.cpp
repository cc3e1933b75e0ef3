// What the server makes of a request's target: the site's files it may
// serve and the query values it reads. Every byte here comes from a client.

#include "server/HttpTarget.h"

#include <gtest/gtest.h>

using namespace ranking;

TEST(SiteFilePath, namesTheFilesOfTheSiteAndAFoldersIndex)
{
    EXPECT_EQ(siteFilePath("/"), "index.html");
    EXPECT_EQ(siteFilePath("/quorvel.wasm"), "quorvel.wasm");
    EXPECT_EQ(siteFilePath("/fonts/WebSans-Bold.woff2"), "fonts/WebSans-Bold.woff2");
    EXPECT_EQ(siteFilePath("/pictures/"), "pictures/index.html");
    EXPECT_EQ(siteFilePath("/a%20b.txt"), "a b.txt");
}

TEST(SiteFilePath, neverLeavesTheSiteWhateverTheSpelling)
{
    for (const char* path : {"", "index.html", "/..", "/../etc/passwd", "/fonts/../../etc/passwd", "/%2e%2e/etc/passwd",
                             "/%2E%2E%2Fetc%2Fpasswd", "/fonts/%2e%2e/%2e%2e/x", "/./index.html", "/.git/config",
                             "//etc/passwd", "/fonts//x", "/..%5cx", "/a\\b", "/x%00.html", "/bad%zz", "/cut%2"}) {
        EXPECT_EQ(siteFilePath(path), std::nullopt) << path;
    }
}

TEST(QueryValue, readsTheFirstOfANameDecoded)
{
    EXPECT_EQ(queryValue("limit=20", "limit"), "20");
    EXPECT_EQ(queryValue("a=1&limit=5&limit=7", "limit"), "5");
    EXPECT_EQ(queryValue("limit=", "limit"), "");
    EXPECT_EQ(queryValue("limit", "limit"), "");
    EXPECT_EQ(queryValue("limit=1%30", "limit"), "10");
    EXPECT_EQ(queryValue("q=a+b", "q"), "a b");
    EXPECT_EQ(queryValue("limits=5&xlimit=6", "limit"), std::nullopt);
    EXPECT_EQ(queryValue("", "limit"), std::nullopt);
    EXPECT_EQ(queryValue("limit=%4", "limit"), std::nullopt);
}

TEST(SplitTarget, keepsThePathAsSentAndTheQueryAfterTheFirstMark)
{
    const HttpTarget target = splitTarget("/api/v1/rankings/1?limit=5?x");
    EXPECT_EQ(target.path, "/api/v1/rankings/1");
    EXPECT_EQ(target.query, "limit=5?x");
    EXPECT_EQ(splitTarget("/healthz").query, "");
}
