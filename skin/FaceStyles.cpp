#include "skin/FaceStyles.h"

namespace {

constexpr std::optional<QRgb> kButtonFace;

}  // namespace

// Each corner: the outermost pixel's row and column neighbours, in drawing order.
// clang-format off
constinit const std::array<EdgePixel, 20> kOuterCornerPixels{{
    {0, 0},   {1, 0},   {2, 0},   {0, 1},   {0, 2},
    {-3, 0},  {-2, 0},  {-1, 0},  {-1, 1},  {-1, 2},
    {0, -3},  {0, -2},  {0, -1},  {1, -1},  {2, -1},
    {-1, -3}, {-1, -2}, {-3, -1}, {-2, -1}, {-1, -1},
}};

// Each corner of the inner frame: four pixels, in drawing order.
constinit const std::array<EdgePixel, 16> kInnerCornerPixels{{
    {1, 1},   {2, 1},   {1, 2},   {2, 2},
    {-3, 1},  {-2, 1},  {-3, 2},  {-2, 2},
    {1, -3},  {2, -3},  {1, -2},  {2, -2},
    {-3, -3}, {-2, -3}, {-3, -2}, {-2, -2},
}};
// clang-format on

constinit const FaceStyle kNormalFace{
    .fill = FaceBands{{0.5, 0.5, 0.5, 0.5, 0.5},
                      {qRgb(242, 242, 242), qRgb(240, 240, 240), qRgb(236, 236, 236),
                       qRgb(219, 219, 219), qRgb(216, 216, 216), qRgb(209, 209, 209)}},
    .outerFrame = qRgb(112, 112, 112),
    .innerFrame = qRgb(252, 252, 252),
    .secondInnerFrame = std::nullopt,
    .lowerLine = std::nullopt,
    .outerCorners = {kButtonFace,         qRgb(144, 144, 144), qRgb(119, 119, 119),
                     qRgb(135, 136, 136), qRgb(117, 117, 117), qRgb(119, 119, 119),
                     qRgb(144, 144, 144), kButtonFace,         qRgb(135, 136, 136),
                     qRgb(117, 117, 117), qRgb(117, 117, 117), qRgb(136, 136, 136),
                     kButtonFace,         qRgb(134, 134, 134), qRgb(117, 117, 117),
                     qRgb(117, 117, 117), qRgb(136, 136, 136), qRgb(117, 117, 117),
                     qRgb(134, 134, 134), kButtonFace},
    .innerCorners = {qRgb(145, 145, 145), qRgb(232, 232, 232), qRgb(234, 234, 234),
                     qRgb(250, 250, 250), qRgb(232, 232, 232), qRgb(145, 145, 145),
                     qRgb(250, 250, 250), qRgb(234, 234, 234), qRgb(226, 226, 226),
                     qRgb(236, 236, 236), qRgb(143, 143, 143), qRgb(228, 228, 228),
                     qRgb(236, 236, 236), qRgb(226, 226, 226), qRgb(228, 228, 228),
                     qRgb(143, 143, 143)},
    .textInset = 0,
    .textColour = qRgb(0, 0, 0),
};

constinit const FaceStyle kFocusedFace{
    .fill = FaceBands{{0.5, 0.5, 0.5, 0.5, 0.5},
                      {qRgb(238, 243, 245), qRgb(235, 240, 242), qRgb(233, 238, 241),
                       qRgb(213, 223, 229), qRgb(208, 220, 227), qRgb(202, 215, 222)}},
    .outerFrame = qRgb(60, 127, 177),
    .innerFrame = qRgb(64, 215, 252),
    .secondInnerFrame = qRgb(210, 238, 246),
    .lowerLine = std::nullopt,
    .outerCorners = {kButtonFace,         qRgb(160, 190, 212), qRgb(86, 143, 186),
                     qRgb(158, 188, 211), qRgb(83, 142, 185),  qRgb(86, 143, 186),
                     qRgb(160, 190, 212), kButtonFace,         qRgb(158, 188, 211),
                     qRgb(83, 142, 185),  qRgb(83, 142, 185),  qRgb(158, 188, 211),
                     kButtonFace,         qRgb(155, 187, 210), qRgb(81, 140, 184),
                     qRgb(83, 142, 185),  qRgb(158, 188, 211), qRgb(81, 140, 184),
                     qRgb(155, 187, 210), kButtonFace},
    .innerCorners = {qRgb(58, 147, 194), qRgb(59, 201, 242), qRgb(59, 202, 242),
                     qRgb(106, 222, 251), qRgb(59, 201, 242), qRgb(58, 147, 194),
                     qRgb(106, 222, 251), qRgb(59, 202, 242), qRgb(52, 195, 236),
                     qRgb(88, 207, 239), qRgb(56, 145, 193), qRgb(51, 196, 237), qRgb(88, 207, 239),
                     qRgb(52, 195, 236), qRgb(51, 196, 237), qRgb(56, 145, 193)},
    .textInset = 1,
    .textColour = qRgb(0, 0, 0),
};

constinit const FaceStyle kPressedFace{
    .fill = FaceBands{{2, 2, 1, 0.5, 0.5},
                      {qRgb(225, 242, 251), qRgb(216, 238, 250), qRgb(201, 231, 247),
                       qRgb(152, 209, 239), qRgb(140, 202, 235), qRgb(127, 194, 229)}},
    .outerFrame = qRgb(44, 98, 139),
    .innerFrame = qRgb(186, 203, 213),
    .secondInnerFrame = std::nullopt,
    .lowerLine = qRgb(104, 178, 218),
    .outerCorners = {kButtonFace,        qRgb(57, 89, 113),  qRgb(46, 96, 134),  qRgb(51, 86, 113),
                     qRgb(44, 95, 134),  qRgb(46, 96, 134),  qRgb(57, 89, 113),  kButtonFace,
                     qRgb(51, 86, 113),  qRgb(44, 95, 134),  qRgb(45, 97, 136),  qRgb(71, 110, 140),
                     kButtonFace,        qRgb(75, 117, 147), qRgb(46, 100, 140), qRgb(45, 97, 136),
                     qRgb(71, 110, 140), qRgb(46, 100, 140), qRgb(75, 117, 147), kButtonFace},
    .innerCorners = {qRgb(58, 104, 138), qRgb(134, 157, 171), qRgb(134, 157, 171),
                     qRgb(186, 203, 213), qRgb(149, 171, 184), qRgb(58, 104, 138),
                     qRgb(186, 203, 213), qRgb(149, 171, 184), qRgb(85, 146, 181),
                     qRgb(109, 181, 220), qRgb(47, 100, 138), qRgb(99, 172, 211),
                     qRgb(109, 181, 220), qRgb(85, 146, 181), qRgb(99, 172, 211),
                     qRgb(47, 100, 138)},
    .textInset = 1,
    .textColour = qRgb(0, 0, 0),
};

constinit const FaceStyle kDisabledFace{
    .fill = qRgb(244, 244, 244),
    .outerFrame = qRgb(173, 178, 181),
    .innerFrame = qRgb(252, 252, 252),
    .secondInnerFrame = std::nullopt,
    .lowerLine = std::nullopt,
    .outerCorners = {kButtonFace,         qRgb(183, 197, 190), qRgb(175, 180, 183),
                     qRgb(177, 181, 174), qRgb(174, 179, 182), qRgb(175, 180, 183),
                     qRgb(183, 197, 190), kButtonFace,         qRgb(177, 181, 174),
                     qRgb(174, 179, 182), qRgb(174, 179, 182), qRgb(177, 181, 174),
                     kButtonFace,         qRgb(183, 197, 190), qRgb(175, 180, 183),
                     qRgb(174, 179, 182), qRgb(177, 181, 174), qRgb(175, 180, 183),
                     qRgb(183, 197, 190), kButtonFace},
    .innerCorners = {qRgb(192, 195, 198), qRgb(241, 242, 242), qRgb(242, 242, 243),
                     qRgb(251, 251, 251), qRgb(241, 242, 242), qRgb(192, 195, 198),
                     qRgb(251, 251, 251), qRgb(242, 242, 243), qRgb(242, 242, 243),
                     qRgb(251, 251, 251), qRgb(192, 195, 198), qRgb(243, 243, 244),
                     qRgb(251, 251, 251), qRgb(242, 242, 243), qRgb(243, 243, 244),
                     qRgb(192, 195, 198)},
    .textInset = 0,
    .textColour = qRgb(131, 131, 131),
};
