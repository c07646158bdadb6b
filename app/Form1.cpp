#include "app/Form1.h"

#include "about/frmAbout.h"
#include "app/HeldInput.h"
#include "app/MessageBoxPresenter.h"
#include "client/PageDecoding.h"
#include "client/PageRequests.h"
#include "client/ResultBoxText.h"
#include "client/ServiceHost.h"
#include "input/AddressCheck.h"
#include "resources/ProgramArt.h"
#include "resources/ProgramFont.h"
#include "resources/TwipLayout.h"
#include "settings/SettingsStore.h"
#include "settings/StartupOption.h"
#include "skin/OwnerDrawButton.h"
#include "skin/ReadableText.h"
#include "skin/SystemColors.h"
#include "skin/modCmdVista.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>

#include <exception>

namespace {

// The controls in tab order, with their places as designed.
constexpr TwipRect kText1{600, 195, 2055, 270};
constexpr TwipRect kText2{600, 600, 4335, 1335};
constexpr TwipRect kCheck1{600, 2040, 2535, 180};
constexpr TwipRect kCommand3{600, 2280, 1095, 330};
constexpr TwipRect kCommand1{2640, 2280, 1095, 330};
constexpr TwipRect kCommand2{3840, 2280, 1095, 330};
// Labels keep their left and top; their size follows the caption.
constexpr TwipRect kLabel1{300, 240, 270, 180};
constexpr TwipRect kLabel2{120, 600, 450, 180};
constexpr int kClientWidth = 5505;
constexpr int kClientHeight = 2895;

const QString kText1Start = QStringLiteral("8.8.8.8");
const QString kText1ToolTip = QStringLiteral(u"在这里输入您要查询的IP地址，然后回车");
const QString kCheck1Text = QStringLiteral(u"启动时显示本机IP相关信息");
const QString kAboutCaption = QStringLiteral(u"关于");
const QString kQueryCaption = QStringLiteral(u"查询");
const QString kCloseCaption = QStringLiteral(u"关闭");
const QString kLabel1Text = QStringLiteral("IP:");
const QString kLabel2Text = QStringLiteral(u"结果:");

constexpr qint16 kCarriageReturn = 13;

template <typename Control>
Control* Place(Control* control, const QString& name, const TwipRect& place) {
    control->setObjectName(name);
    control->setGeometry(place.toPixels());
    return control;
}

QLabel* PlaceLabel(QLabel* label, const QString& name, const TwipRect& place) {
    label->setObjectName(name);
    label->move(place.toPixels().topLeft());
    label->adjustSize();
    return label;
}

}  // namespace

// Counts the lookups under way, so that a close asked for meanwhile waits for them.
class Form1::LookupRun {
public:
    explicit LookupRun(Form1& form) : m_form(form) { ++m_form.m_lookupsRunning; }
    ~LookupRun() {
        if (--m_form.m_lookupsRunning == 0 && m_form.m_closeRequested)
            QMetaObject::invokeMethod(&m_form, &QWidget::close, Qt::QueuedConnection);
    }
    LookupRun(const LookupRun&) = delete;
    LookupRun& operator=(const LookupRun&) = delete;

private:
    Form1& m_form;
};

// Marks a request as on the wire for the time of one send, so that a close can abandon it.
class Form1::RequestUnderWay {
public:
    RequestUnderWay(Form1& form, client::HttpRequest& request) : m_form(form) {
        // A close asked for in an earlier pass of this lookup abandons it before it sends.
        if (m_form.m_closeRequested) throw client::LookupFailure("the window is closing");
        m_form.m_requestsUnderWay.append(&request);
    }
    ~RequestUnderWay() { m_form.m_requestsUnderWay.removeLast(); }
    RequestUnderWay(const RequestUnderWay&) = delete;
    RequestUnderWay& operator=(const RequestUnderWay&) = delete;

private:
    Form1& m_form;
};

Form1::Form1(Form1Services services)
    : m_createRequest(services.createRequest
                          ? std::move(services.createRequest)
                          : client::HttpRequestFactory(client::CreateHttpRequest)),
      m_ownMessages(services.messages ? nullptr : std::make_unique<QtMessageBoxPresenter>()),
      m_messages(services.messages ? services.messages : m_ownMessages.get()),
      m_ownSettings(services.settings ? nullptr : std::make_unique<SettingsStore>()),
      m_settings(services.settings ? services.settings : m_ownSettings.get()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Form1Texts::kCaption);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    setFont(ProgramFont());
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
    CreateControls();
    ApplySystemColours();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Form1::~Form1() = default;

void Form1::CreateControls() {
    Text1 = Place(new QLineEdit(kText1Start, this), QStringLiteral("Text1"), kText1);
    Text1->setToolTip(kText1ToolTip);
    Text1->installEventFilter(this);

    Text2 = Place(new QPlainTextEdit(this), QStringLiteral("Text2"), kText2);
    Text2->setReadOnly(true);
    Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text2->setFocusPolicy(Qt::StrongFocus);
    Text2->setTabChangesFocus(true);
    Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text2->setFrameStyle(QFrame::Box | QFrame::Plain);

    Check1 = Place(new QCheckBox(kCheck1Text, this), QStringLiteral("Check1"), kCheck1);
    Check1->setAutoFillBackground(true);
    Check1->setBackgroundRole(QPalette::Window);
    // The box is one text line high: its indicator is made to fit the line, not cut off.
    Check1->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }")
                              .arg(Check1->height() - 1));

    Command3 =
        Place(new OwnerDrawButton(kAboutCaption, this), QStringLiteral("Command3"), kCommand3);
    Command1 =
        Place(new OwnerDrawButton(kQueryCaption, this), QStringLiteral("Command1"), kCommand1);
    Command2 =
        Place(new OwnerDrawButton(kCloseCaption, this), QStringLiteral("Command2"), kCommand2);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    Label1 = PlaceLabel(new QLabel(kLabel1Text, this), QStringLiteral("Label1"), kLabel1);
    Label2 = PlaceLabel(new QLabel(kLabel2Text, this), QStringLiteral("Label2"), kLabel2);
    // The labels name the boxes beside them, for screen readers too.
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Check1);
    setTabOrder(Check1, Command3);
    setTabOrder(Command3, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();
}

void Form1::ApplySystemColours() {
    // Backgrounds that follow the scheme keep their text readable; the result box keeps
    // its white, so its text stays black.
    const QColor schemeText = QGuiApplication::palette().color(QPalette::WindowText);

    QPalette window = palette();
    window.setColor(QPalette::Window, GetSysColor(SystemColor::Window));
    SetReadableTextColour(window, QPalette::WindowText, schemeText,
                          GetSysColor(SystemColor::Window));
    setPalette(window);
    setAutoFillBackground(true);

    QPalette check = Check1->palette();
    check.setColor(QPalette::Window, GetSysColor(SystemColor::CaptionText));
    SetReadableTextColour(check, QPalette::WindowText, schemeText,
                          GetSysColor(SystemColor::CaptionText));
    Check1->setPalette(check);

    QPalette result = Text2->palette();
    result.setColor(QPalette::Base, QColor(255, 255, 255));
    result.setColor(QPalette::Text, QColor(0, 0, 0));
    Text2->setPalette(result);
}

bool Form1::event(QEvent* event) {
    // The window and check box backgrounds follow the user's colour scheme.
    if (event->type() == QEvent::ApplicationPaletteChange) ApplySystemColours();
    return QWidget::event(event);
}

void Form1::Form_Load() {
    modCmdVista::HookWindow(this);
    m_vars.isShowLocal = StartupOption::LoadStartupOption(*m_settings, m_vars.isShowLocal);
    Check1->setChecked(m_vars.isShowLocal);
    if (!m_vars.isShowLocal) return;

    Text1->setText(QString());
    Text2->setPlainText(Form1Texts::kWait);
    LookupRun run(*this);
    show();
    client::ProcessPendingEvents();
    // From here on the window stays painted, but the user's input waits for the result.
    const HeldInput heldInput;
    try {
        const std::unique_ptr<client::HttpRequest> request = m_createRequest();
        {
            const RequestUnderWay underWay(*this, *request);
            m_vars.strHtml = client::PostForPage(
                *request, client::ServiceUrl(QString::fromUtf16(client::kOwnAddressPath)));
        }
        // The address is shown before the location is looked for: it stays when that fails.
        Text1->setText(client::ScrapeOwnAddress(m_vars.strHtml, m_vars.scrape));
        Text2->setPlainText(
            client::ResultBoxText(client::ScrapeOwnLocation(m_vars.strHtml, m_vars.scrape)));
    } catch (const std::exception&) {
        Text2->setPlainText(Form1Texts::kNotConnected);
    }
}

void Form1::Form_Unload() {
    StartupOption::SaveStartupOption(*m_settings, Check1->isChecked() ? 1 : 0);
    modCmdVista::UnhookWindow(this);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_lookupsRunning > 0) {
        // The lookups end on their failure path at once; the last one closes the window.
        m_closeRequested = true;
        for (client::HttpRequest* request : m_requestsUnderWay) request->abort();
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

QByteArray Form1::SendQueryPreparation() {
    const QByteArray body = client::QueryBody(Text1->text());
    m_vars.objHttp = client::PrepareQueryRequest(m_createRequest);
    return body;
}

QByteArray Form1::SendQueryTransfer(const QByteArray& body) {
    const RequestUnderWay underWay(*this, *m_vars.objHttp);
    return client::TransferQuery(*m_vars.objHttp, body);
}

void Form1::Command1_Click() {
    // While a request is on the wire only a timer or a queued call can get here (input waits):
    // a new query would release the request under way.
    if (m_closeRequested || !m_requestsUnderWay.isEmpty()) return;
    LookupRun run(*this);

    Text1->setText(TrimSpaces(Text1->text()));
    Text1->setText(ReplaceTrailingWildcard(Text1->text()));
    if (!IsValidAddress(Text1->text())) {
        m_messages->Warn(this, Form1Texts::kCaption, Form1Texts::kBadAddress);
        Text1->setFocus();
        return;
    }

    Text2->setPlainText(Form1Texts::kWait);
    client::ProcessPendingEvents();

    // The request is built from the box as it stands now, also if a handler that ran in
    // the pass above changed it. A request that cannot even be prepared is reported
    // like one that found no answer.
    QByteArray body;
    try {
        body = SendQueryPreparation();
    } catch (const std::exception&) {
        Text2->setPlainText(Form1Texts::kNotConnected);
        return;
    }
    // From the sending on the window stays painted, but the user's input waits for the result.
    const HeldInput heldInput;
    try {
        const QByteArray page = SendQueryTransfer(body);
        m_vars.strHtml = client::DecodeResponseBytes(page);
        client::ScrapeQueryPage(m_vars.strHtml, m_vars.scrape);
        Text2->setPlainText(client::ResultBoxText(m_vars.scrape.strResult));
    } catch (const std::exception&) {
        Text2->setPlainText(Form1Texts::kNotConnected);
    }
}

void Form1::Text1_KeyPress(qint16& keyAscii) {
    if (keyAscii == kCarriageReturn) Command1_Click();
}

void Form1::Command2_Click() {
    close();
}

void Form1::Command3_Click() {
    if (!m_about) m_about = std::make_unique<frmAbout>(this);
    m_about->ShowModal();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            qint16 keyAscii = kCarriageReturn;
            Text1_KeyPress(keyAscii);
        }
    }
    // The key goes on to the box's own handling in every case.
    return QWidget::eventFilter(watched, event);
}
