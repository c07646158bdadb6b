#pragma once

#include "client/HttpRequest.h"
#include "client/PageScraping.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class MessageBoxPresenter;
class OwnerDrawButton;
class SettingsStore;
class frmAbout;

// The texts the main window shows.
namespace Form1Texts {
inline const QString kCaption = QStringLiteral("Lokaro");
inline const QString kWait = QStringLiteral(u"正在查询，请稍候...");
inline const QString kBadAddress = QStringLiteral(u"请输入正确的IP！");
inline const QString kNotConnected = QStringLiteral(u"未连接到Internet！");
}  // namespace Form1Texts

// The form-level variables of the main window. They start empty and keep their last
// values between lookups (also after a failed one); each lookup overwrites them.
struct Form1Variables {
    std::unique_ptr<client::HttpRequest> objHttp;  // request of the latest query sent
    bool isShowLocal = false;                      // start-up option as loaded
    QString strHtml;                               // text of the last page fetched
    client::ScrapeState scrape;                    // strResult, lngStart, lngEnd
};

// What the main window talks to; tests put in their own. Empty members take the real ones.
struct Form1Services {
    client::HttpRequestFactory createRequest;
    MessageBoxPresenter* messages = nullptr;
    SettingsStore* settings = nullptr;
};

// The program's main window: an address box, a result box, the start-up option and the
// About, Query and Close buttons. Lookups are synchronous: they run inside the handler
// that starts them, and queued events run in full only at fixed points (once before the
// request; the decoder's passes), so a second query can run nested in a first. While the
// request is on the wire and the page is decoded the window stays painted and answers the
// window system, but keys and clicks wait until the result or failure text is shown.
//
// A close asked for while a lookup runs abandons its request at once: the lookup ends on
// its failure path, and the window closes as soon as the outermost lookup has returned,
// so no lookup ever writes into a closed window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Form1Services services = {});
    ~Form1() override;

    // Runs once before the window is first shown: hooks the button skin, loads the
    // start-up option and, when it is on, looks up this computer's own address.
    void Form_Load();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Text1_KeyPress(qint16& keyAscii);

    const Form1Variables& variables() const { return m_vars; }
    bool isLookupRunning() const { return m_lookupsRunning > 0; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    class LookupRun;
    class RequestUnderWay;

    void CreateControls();
    void ApplySystemColours();
    void Form_Unload();
    QByteArray SendQueryPreparation();
    QByteArray SendQueryTransfer(const QByteArray& body);

    QLineEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QCheckBox* Check1 = nullptr;
    OwnerDrawButton* Command3 = nullptr;
    OwnerDrawButton* Command1 = nullptr;
    OwnerDrawButton* Command2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

    Form1Variables m_vars;
    client::HttpRequestFactory m_createRequest;
    std::unique_ptr<MessageBoxPresenter> m_ownMessages;
    MessageBoxPresenter* m_messages;
    std::unique_ptr<SettingsStore> m_ownSettings;
    SettingsStore* m_settings;
    std::unique_ptr<frmAbout> m_about;

    QList<client::HttpRequest*> m_requestsUnderWay;  // innermost last
    int m_lookupsRunning = 0;
    bool m_closeRequested = false;
    bool m_unloaded = false;
};
