// What a screen reader is told of the main window's controls, and that it can press them.
#include "tests/app/Form1Fixture.h"

#include <QAccessible>

namespace {

struct AccessibleControl {
    const char* name;
    QAccessible::Role role;
    QString accessibleName;  // what a screen reader says for it
};

const AccessibleControl kControls[] = {
    {"Text1", QAccessible::EditableText, QStringLiteral("IP:")},
    {"Text2", QAccessible::EditableText, QStringLiteral(u"结果:")},
    {"Check1", QAccessible::CheckBox, QStringLiteral(u"启动时显示本机IP相关信息")},
    {"Command3", QAccessible::Button, QStringLiteral(u"关于")},
    {"Command1", QAccessible::Button, QStringLiteral(u"查询")},
    {"Command2", QAccessible::Button, QStringLiteral(u"关闭")},
};

using AccessibilityTest = Form1Fixture;

QAccessibleInterface* Accessible(QWidget* widget) {
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

TEST_F(AccessibilityTest, EveryControlHasARoleAndAChineseName) {
    ShowActive();
    for (const AccessibleControl& control : kControls) {
        SCOPED_TRACE(control.name);
        QAccessibleInterface* accessible = Accessible(Find<QWidget>(control.name));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), control.role);
        EXPECT_EQ(accessible->text(QAccessible::Name), control.accessibleName);
        EXPECT_TRUE(accessible->state().focusable);
    }
    EXPECT_TRUE(Accessible(Text2())->state().readOnly);
}

TEST_F(AccessibilityTest, ButtonsAndTheCheckBoxArePressedThroughTheirActions) {
    ShowActive();
    Text1()->setText(QStringLiteral("not an address"));
    Accessible(Command1())->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.shown.isEmpty(); }, 2000));
    EXPECT_EQ(m_messages.shown.front().text, Form1Texts::kBadAddress);

    const bool checked = Check1()->isChecked();
    Accessible(Check1())->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_NE(Check1()->isChecked(), checked);
}

}  // namespace
