// The whole program path against the lookup service we ship, serving its fixture databases
// on a loopback port: Enter in the address box, the query over HTTP, the three lines shown;
// and the start-up lookup of this computer's own address.
#include "Form1Fixture.h"
#include "ServiceTestSupport.h"

namespace {

class WithServiceTest : public Form1Fixture {
protected:
    void SetUp() override {
        m_savedHost = qgetenv("LOKARO_SERVICE_HOST");
        qputenv("LOKARO_SERVICE_HOST", "127.0.0.1:" + QByteArray::number(m_service.port()));
        m_form = std::make_unique<Form1>(Form1Services{{}, &m_messages, &m_store});
    }
    void TearDown() override { qputenv("LOKARO_SERVICE_HOST", m_savedHost); }

    service::test::RunningService m_service;
    QByteArray m_savedHost;
};

TEST_F(WithServiceTest, EnterShowsTheThreeLinesForAPublicAddress) {
    Form().Form_Load();
    ShowActive();
    Text1()->setText(QStringLiteral(" 8.8.8.* "));
    QTest::keyClick(Text1(), Qt::Key_Return);
    EXPECT_EQ(Text1()->text(), QStringLiteral("8.8.8.0"));
    EXPECT_EQ(
        Text2()->toPlainText(),
        QStringLiteral(
            u"\u5730\u7406\u4f4d\u7f6e\uff1a\u7f8e\u56fd \u52a0\u5229\u798f\u5c3c\u4e9a\u5dde "
            u"\u5c71\u666f\u57ce\n"
            u"\u7f51\u7edc\uff1aAS15169 Google LLC\n"
            u"\u6ce8\u518c\u5730\uff1a\u7f8e\u56fd"));
}

TEST_F(WithServiceTest, StartupShowsThisComputersAddressAndItsLabel) {
    m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                         QStringLiteral("Install"), QStringLiteral("1"));
    m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                         QStringLiteral("IsShowLocal"), QStringLiteral("1"));
    Form().Form_Load();
    EXPECT_EQ(Text1()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Text2()->toPlainText(), QStringLiteral(u"\u672c\u673a\u5730\u5740"));
}

}  // namespace
