#include "about/frmAbout.h"

#include "about/AboutContacts.h"
#include "about/AboutLayout.h"
#include "about/LinkLabel.h"
#include "resources/ProgramArt.h"
#include "resources/ProgramFont.h"
#include "skin/OwnerDrawButton.h"
#include "skin/ReadableText.h"
#include "skin/SystemColors.h"
#include "skin/modCmdVista.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyle>

namespace {

const QString kCaption = QStringLiteral(u"关于");
const QString kOpenVerb = QStringLiteral("open");
const QColor kLinkColour(0, 0, 255);

QWidget* CreateControl(const AboutLayout::Control& control, QWidget* window) {
    using AboutLayout::ControlKind;
    const QRect place = control.place.toPixels();
    if (control.kind == ControlKind::Button) {
        auto* button = new OwnerDrawButton(control.text, window);
        button->setGeometry(place);
        return button;
    }

    QLabel* label =
        control.kind == ControlKind::LinkLabel ? new LinkLabel(window) : new QLabel(window);
    if (control.kind == ControlKind::Picture) {
        label->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        label->setPixmap(AboutPicture(window->devicePixelRatioF()));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Decoration only: neither a tab stop nor anything a screen reader need name.
        label->setFocusPolicy(Qt::NoFocus);
    } else {
        label->setText(control.text);
        label->setTextFormat(Qt::PlainText);
    }
    if (control.kind == ControlKind::LinkLabel) {
        QFont font = ProgramFont();
        font.setUnderline(true);
        label->setFont(font);
        QPalette palette = label->palette();
        SetReadableTextColour(palette, QPalette::WindowText, kLinkColour,
                              GetSysColor(SystemColor::Window));
        label->setPalette(palette);
    }
    label->move(place.topLeft());
    label->adjustSize();
    return label;
}

}  // namespace

frmAbout::frmAbout(QWidget* mainWindow, LinkOpener* opener)
    : QDialog(mainWindow),
      m_mainWindow(mainWindow),
      m_ownOpener(opener ? nullptr : std::make_unique<DesktopLinkOpener>()),
      m_opener(opener ? opener : m_ownOpener.get()) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(TwipsToPixels(AboutLayout::kClientWidth),
                 TwipsToPixels(AboutLayout::kClientHeight));
    setFont(ProgramFont());
    setAutoFillBackground(true);
}

frmAbout::~frmAbout() = default;

void frmAbout::ShowModal() {
    CreateControls();
    Form_Load();
    // Centred on the main window. The two windows wear the same title bar and frame, so
    // centring the client areas centres the frames; Qt's own placement would guess frame
    // sizes where the window manager has not told them yet. A Wayland compositor ignores the
    // position and places the window itself: as a dialog whose parent is the main window
    // (its transient parent), it goes over that where the compositor places dialogs so.
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), m_mainWindow->geometry()));
    exec();
    DestroyControls();
}

void frmAbout::CreateControls() {
    // The background follows the colour scheme as it is when the window loads, and the
    // text stays readable on it.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, GetSysColor(SystemColor::Window));
    SetReadableTextColour(palette, QPalette::WindowText,
                          QGuiApplication::palette().color(QPalette::WindowText),
                          GetSysColor(SystemColor::Window));
    setPalette(palette);

    QWidget* previous = nullptr;
    for (const AboutLayout::Control& control : AboutLayout::Controls()) {
        QWidget* widget = CreateControl(control, this);
        widget->setObjectName(control.name);
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
    Command1 = findChild<OwnerDrawButton*>(QStringLiteral("Command1"));
    Label4 = findChild<LinkLabel*>(QStringLiteral("Label4"));
    Label6 = findChild<LinkLabel*>(QStringLiteral("Label6"));
    Label8 = findChild<LinkLabel*>(QStringLiteral("Label8"));
    Label4->setCursor(HandCursor());

    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(Label4, &LinkLabel::clicked, this, &frmAbout::Label4_Click);
    connect(Label6, &LinkLabel::clicked, this, &frmAbout::Label6_Click);
    connect(Label8, &LinkLabel::clicked, this, &frmAbout::Label8_Click);
}

void frmAbout::DestroyControls() {
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    Command1 = nullptr;
    Label4 = Label6 = Label8 = nullptr;
}

void frmAbout::Form_Load() {
    modCmdVista::HookWindow(this);
    setWindowIcon(m_mainWindow->windowIcon());
    Label6->setCursor(Label4->cursor());
    Label8->setCursor(Label4->cursor());
}

void frmAbout::Form_Unload() {
    modCmdVista::UnhookWindow(this);
}

void frmAbout::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void frmAbout::Command1_Click() {
    close();
}

void frmAbout::Label4_Click() {
    m_opener->Open({this, kOpenVerb, AboutContacts::kHomePage, ShowCommand::Normal});
}

void frmAbout::Label6_Click() {
    m_opener->Open(
        {nullptr, QString(), MessengerLink(AboutContacts::kMessengerNumber), ShowCommand::Show});
}

void frmAbout::Label8_Click() {
    m_opener->Open({this, kOpenVerb, MailLink(AboutContacts::kEmail), ShowCommand::Normal});
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // The window has no cancel button: Esc closes nothing. Nor has it a default button:
    // Enter presses only a button that has the focus, and the button itself sees to that.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}
