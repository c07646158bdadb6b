// What the program sets up around its window: Qt's own texts in Chinese, and an
// environment that its child processes inherit as the program found it.
#include "app/EnvironmentDefault.h"
#include "app/QtTranslations.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

struct EnvironmentCase {
    const char* name;
    std::optional<QByteArray> before;  // nothing: not set
    QByteArray during;
};

TEST(EnvironmentDefault, SetsOnlyWhatTheUserLeftUnsetAndPutsItBack) {
    const EnvironmentCase cases[] = {
        {"unset", std::nullopt, "1"},
        {"set by the user", QByteArray("0"), "0"},
        {"set empty by the user", QByteArray(""), ""},
    };
    for (const EnvironmentCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ScopedEnvironment start("LOKARO_TEST_VARIABLE", c.before.value_or(QByteArray()),
                                      c.before.has_value());
        {
            const EnvironmentDefault setting("LOKARO_TEST_VARIABLE", "1");
            EXPECT_TRUE(qEnvironmentVariableIsSet("LOKARO_TEST_VARIABLE"));
            EXPECT_EQ(qgetenv("LOKARO_TEST_VARIABLE"), c.during);
        }
        EXPECT_EQ(qEnvironmentVariableIsSet("LOKARO_TEST_VARIABLE"), c.before.has_value());
        EXPECT_EQ(qgetenv("LOKARO_TEST_VARIABLE"), c.before.value_or(QByteArray()));
    }
}

TEST(QtTranslations, QtsOwnTextsAreChinese) {
    ASSERT_TRUE(InstallQtTranslations()) << "qtbase_zh_CN.qm is missing";

    QMessageBox box(QMessageBox::Warning, QStringLiteral("Lokaro"), QStringLiteral("x"),
                    QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral(u"确定"));

    QLineEdit edit(QStringLiteral("8.8.8.8"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) texts.append(action->text());
    }
    ASSERT_FALSE(texts.isEmpty());
    for (const QString& text : texts) {
        const bool hasChinese = std::any_of(
            text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Han; });
        EXPECT_TRUE(hasChinese) << text.toStdString();
    }
}

}  // namespace
