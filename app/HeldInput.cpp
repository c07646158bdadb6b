#include "app/HeldInput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}

// Takes input events on their way from the window system to a window (before the window
// hands them on to its widgets), so that each is held exactly once.
class InputFilter : public QObject {
public:
    int holds = 0;

    void handBack() {
        for (auto& [window, event] : m_held) {
            if (window) QCoreApplication::postEvent(window, event.release());
        }
        m_held.clear();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWindowType() || !IsUserInput(event->type())) return false;
        m_held.emplace_back(watched, event->clone());
        return true;
    }

private:
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

InputFilter* s_filter = nullptr;

}  // namespace

HeldInput::HeldInput() {
    if (s_filter == nullptr) {
        s_filter = new InputFilter;
        QCoreApplication::instance()->installEventFilter(s_filter);
    }
    ++s_filter->holds;
}

HeldInput::~HeldInput() {
    if (--s_filter->holds > 0) return;
    QCoreApplication::instance()->removeEventFilter(s_filter);
    s_filter->handBack();
    delete std::exchange(s_filter, nullptr);
}
