#pragma once

#include "about/frmAbout.h"
#include "tests/about/RecordingLinkOpener.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>

// What the About window needs of the main window: something to block and an icon to lend.
class MainWindowStandIn : public QWidget {
public:
    MainWindowStandIn();

    QPushButton* button;
    QLineEdit* edit;
    int clicks = 0;
};

// An icon of one colour, to tell whose icon a window shows.
QIcon PlainIcon(const QColor& colour);

// Whether the window's skin paints the button: true while the window is hooked.
bool SkinPaints(QWidget* window, QWidget* button);

template <typename T>
T* Child(QWidget* window, const char* name) {
    return window->findChild<T*>(QLatin1StringView(name));
}

// Runs `whileOpen` inside the window's modal loop, closes the window if it is still open
// afterwards, and returns when ShowModal has returned.
void WhileShown(frmAbout& about, const std::function<void()>& whileOpen);

// The About window with a stand-in main window and a recording link opener.
class AboutTest : public ::testing::Test {
protected:
    void WhileShown(const std::function<void()>& whileOpen) { ::WhileShown(m_about, whileOpen); }

    MainWindowStandIn m_main;
    RecordingLinkOpener m_opener;
    frmAbout m_about{&m_main, &m_opener};
};
