// The desktop opener hands each target to QDesktopServices as a URL that keeps its text.
#include "about/LinkOpener.h"
#include "tests/about/RecordingUrlHandler.h"

#include <gtest/gtest.h>

namespace {

struct TargetCase {
    const char* name;
    QString target;
    QByteArray sentAs;  // the URL's bytes as the desktop's opener gets them
};

const TargetCase kTargets[] = {
    {"web page", QStringLiteral("https://lokaro.example.org"), "https://lokaro.example.org"},
    {"messenger", QStringLiteral(u"tencent://message?uin=123456789&Site=好人&Menu=yes"),
     "tencent://message?uin=123456789&Site=%E5%A5%BD%E4%BA%BA&Menu=yes"},
    {"mail", QStringLiteral("mailto:lokaro@example.org"), "mailto:lokaro@example.org"},
};

TEST(DesktopLinkOpener, HandsEachTargetToTheDesktopUnchanged) {
    RecordingUrlHandler handler(
        {QStringLiteral("https"), QStringLiteral("tencent"), QStringLiteral("mailto")});
    DesktopLinkOpener opener;
    for (const TargetCase& target : kTargets) {
        SCOPED_TRACE(target.name);
        handler.urls.clear();
        opener.Open({nullptr, QStringLiteral("open"), target.target, ShowCommand::Normal});
        ASSERT_EQ(handler.urls.size(), 1);
        EXPECT_EQ(handler.urls.front().toEncoded(), target.sentAs);
        EXPECT_EQ(handler.urls.front().toString(), target.target);
    }
}

TEST(LinkTargetUrl, KeepsReservedCharactersAndEncodesTheRestInUtf8) {
    for (const TargetCase& target : kTargets) {
        SCOPED_TRACE(target.name);
        const QUrl url = LinkTargetUrl(target.target);
        EXPECT_TRUE(url.isValid());
        EXPECT_EQ(url.toEncoded(), target.sentAs);
    }
    const QUrl messenger = LinkTargetUrl(kTargets[1].target);
    EXPECT_EQ(messenger.scheme(), QStringLiteral("tencent"));
    EXPECT_EQ(messenger.host(), QStringLiteral("message"));
    EXPECT_EQ(messenger.query(), QStringLiteral(u"uin=123456789&Site=好人&Menu=yes"));
}

}  // namespace
