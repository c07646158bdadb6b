// The whole program path against the lookup service we ship, serving its fixture databases
// on a loopback port: Enter in the address box, the query over HTTP, the three lines shown;
// and the start-up lookup of this computer's own address.
#include "tests/app/Form1Fixture.h"
#include "tests/service/ServiceTestSupport.h"

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
    EXPECT_EQ(Text2()->toPlainText(), QStringLiteral(u"地理位置：美国 加利福尼亚州 山景城\n"
                                                     u"网络：AS15169 Google LLC\n"
                                                     u"注册地：美国"));
}

TEST_F(WithServiceTest, StartupShowsThisComputersAddressAndItsLabel) {
    m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                         QStringLiteral("Install"), QStringLiteral("1"));
    m_store.WriteSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                         QStringLiteral("IsShowLocal"), QStringLiteral("1"));
    Form().Form_Load();
    EXPECT_EQ(Text1()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Text2()->toPlainText(), QStringLiteral(u"本机地址"));
}

}  // namespace
