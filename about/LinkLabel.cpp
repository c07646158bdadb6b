#include "about/LinkLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

namespace {

QFont WithoutUnderline(QFont font) {
    font.setUnderline(false);
    return font;
}

// What a screen reader sees of a link label: a link named by its text, with one action.
class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && accessibleName().isEmpty()) return link()->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && link()->isEnabled()) link()->activate();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }
    QString accessibleName() const { return widget()->accessibleName(); }
};

QAccessibleInterface* CreateLinkLabelAccessible(const QString& className, QObject* object) {
    if (className != QLatin1StringView(LinkLabel::staticMetaObject.className())) return nullptr;
    return new LinkLabelAccessible(static_cast<LinkLabel*>(object));
}

void InstallAccessibleFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(CreateLinkLabelAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace

LinkLabel::LinkLabel(QWidget* parent) : LinkLabel(QString(), parent) {}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    InstallAccessibleFactoryOnce();
    setFocusPolicy(Qt::StrongFocus);
}

QSize LinkLabel::sizeHint() const {
    QSize size = QLabel::sizeHint();
    if (font().underline()) {
        const QFontMetrics metrics(font());
        size.setHeight(std::max(size.height(), metrics.height() + metrics.lineWidth()));
    }
    return size;
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    const bool follow = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                        event->key() == Qt::Key_Space;
    if (follow && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        activate();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

void LinkLabel::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const QFont face = WithoutUnderline(font());
    const QFontMetrics metrics(face);
    painter.setFont(face);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QPoint(0, metrics.ascent()), text());
    if (font().underline()) {
        painter.fillRect(0, metrics.height(), width(), metrics.lineWidth(),
                         palette().color(foregroundRole()));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
