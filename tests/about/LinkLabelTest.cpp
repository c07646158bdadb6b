// The link labels' underline lies below the letters, so descenders stay whole.
#include "about/LinkLabel.h"
#include "resources/ProgramFont.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

bool IsInk(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == QColor(0, 0, 255);
}

TEST(LinkLabel, KeepsEveryPixelOfTheLettersAndUnderlinesBelowThem) {
    QFont underlined = ProgramFont();
    underlined.setUnderline(true);
    for (const QString& text : {QStringLiteral("p"), QStringLiteral("https://lokaro.example.org"),
                                QStringLiteral("gjpqy")}) {
        SCOPED_TRACE(text.toStdString());
        QWidget window;
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(Qt::white));
        LinkLabel label(text, &window);
        label.setFont(underlined);
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label.setPalette(palette);
        label.adjustSize();
        const QImage drawn = label.grab().toImage();

        // The same text without underline, as the font draws it.
        QFont plain = underlined;
        plain.setUnderline(false);
        QImage letters(drawn.size(), QImage::Format_RGB32);
        letters.fill(Qt::white);
        {
            QPainter painter(&letters);
            painter.setFont(plain);
            painter.setPen(QColor(0, 0, 255));
            painter.drawText(QPoint(0, QFontMetrics(plain).ascent()), text);
        }

        int lowestLetterRow = -1;
        for (int y = 0; y < letters.height(); ++y) {
            for (int x = 0; x < letters.width(); ++x) {
                if (!IsInk(letters, x, y)) continue;
                lowestLetterRow = std::max(lowestLetterRow, y);
                EXPECT_TRUE(IsInk(drawn, x, y)) << "letter pixel " << x << "," << y;
            }
        }
        ASSERT_GE(lowestLetterRow, 0);
        const int underlineRow = drawn.height() - 1;
        EXPECT_GT(underlineRow, lowestLetterRow);
        for (int x = 0; x < drawn.width(); ++x) {
            EXPECT_TRUE(IsInk(drawn, x, underlineRow)) << "underline at " << x;
            for (int y = lowestLetterRow + 1; y < underlineRow; ++y)
                EXPECT_FALSE(IsInk(drawn, x, y)) << "a gap, not ink, at " << x << "," << y;
        }
    }
}

}  // namespace
