#pragma once

#include <QImage>
#include <QRgb>
#include <QString>

#include <functional>
#include <string>

class QPainter;

// A blank ARGB image of the given size, filled with `background`.
QImage BlankImage(int width, int height, QRgb background);

// Paints with `paint` into a blank image and returns it.
QImage Render(int width, int height, QRgb background, const std::function<void(QPainter&)>& paint);

// Empty when both images hold the same pixels; else a description of the first
// difference, for a test's failure message.
std::string FirstDifference(const QImage& actual, const QImage& expected);

QString DescribeColour(QRgb colour);
