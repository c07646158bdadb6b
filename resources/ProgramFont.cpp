#include "resources/ProgramFont.h"

#include <QStringList>

QFont ProgramFont() {
    static const bool substituted = [] {
        const QStringList song{QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")};
        QFont::insertSubstitutions(QStringLiteral("宋体"), song);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
        return true;
    }();
    (void)substituted;

    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
