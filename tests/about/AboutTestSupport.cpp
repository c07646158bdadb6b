#include "tests/about/AboutTestSupport.h"

#include "skin/DrawItemEvent.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QTimer>

MainWindowStandIn::MainWindowStandIn()
    : button(new QPushButton(QStringLiteral("Query"), this)), edit(new QLineEdit(this)) {
    setWindowIcon(PlainIcon(Qt::darkGreen));
    setGeometry(200, 150, 400, 240);
    button->setGeometry(10, 10, 100, 30);
    edit->setGeometry(10, 60, 200, 24);
    QObject::connect(button, &QPushButton::clicked, button, [this] { ++clicks; });
    show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
}

QIcon PlainIcon(const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

bool SkinPaints(QWidget* window, QWidget* button) {
    QImage canvas(button->size(), QImage::Format_ARGB32);
    QPainter painter(&canvas);
    DrawItemEvent drawItem(DrawItemEvent::Button, button, &painter, button->rect(), 0);
    return QCoreApplication::sendEvent(window, &drawItem) && drawItem.isAccepted();
}

void WhileShown(frmAbout& about, const std::function<void()>& whileOpen) {
    bool ran = false;
    QTimer::singleShot(0, &about, [&] {
        ran = true;
        if (QTest::qWaitForWindowExposed(&about))
            whileOpen();
        else
            ADD_FAILURE() << "the About window never appeared";
        if (about.isVisible()) about.close();
    });
    about.ShowModal();
    EXPECT_TRUE(ran) << "ShowModal returned without running its modal loop";
    EXPECT_FALSE(about.isVisible());
}
