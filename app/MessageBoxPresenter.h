#pragma once

#include <QString>

class QWidget;

// Shows the modal warning box (one OK button, exclamation icon) and returns when the
// user has closed it. Tests put in one that records what was shown and answers it.
class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    virtual void Warn(QWidget* parent, const QString& title, const QString& text) = 0;
};

class QtMessageBoxPresenter : public MessageBoxPresenter {
public:
    void Warn(QWidget* parent, const QString& title, const QString& text) override;
};
