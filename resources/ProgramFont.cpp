#include "ProgramFont.h"

#include <QStringList>

QFont ProgramFont() {
    static const bool substituted = [] {
        const QStringList song{QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")};
        QFont::insertSubstitutions(QStringLiteral("\u5b8b\u4f53"), song);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
        return true;
    }();
    (void)substituted;

    QFont font(QStringLiteral("\u5b8b\u4f53"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
