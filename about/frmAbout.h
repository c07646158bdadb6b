#pragma once

#include "about/LinkOpener.h"

#include <QDialog>

#include <memory>

class LinkLabel;
class OwnerDrawButton;

// The About window: title, version, picture, author, three contact links, a date and an
// OK button. One object serves every showing: ShowModal builds the controls and runs the
// load handler, and every way of closing (OK, close box, Alt+F4) runs the unload handler
// and takes the controls down again, so each showing starts from the layout.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The main window lends its icon and is blocked while this window is open. A null
    // opener opens links on the desktop.
    explicit frmAbout(QWidget* mainWindow, LinkOpener* opener = nullptr);
    ~frmAbout() override;

    // Loads the window, shows it modally and returns once it has been unloaded.
    void ShowModal();

    void Command1_Click();
    void Label4_Click();
    void Label6_Click();
    void Label8_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    void done(int result) override;

private:
    void CreateControls();
    void DestroyControls();
    void Form_Load();
    void Form_Unload();

    QWidget* m_mainWindow;
    std::unique_ptr<LinkOpener> m_ownOpener;
    LinkOpener* m_opener;

    OwnerDrawButton* Command1 = nullptr;
    LinkLabel* Label4 = nullptr;
    LinkLabel* Label6 = nullptr;
    LinkLabel* Label8 = nullptr;
};
