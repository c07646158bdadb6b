#pragma once

#include <QFont>

// The one font of every control: 宋体 9 pt, regular, drawn without antialiasing
// like the bitmap face it stands for. On Linux the name (and "SimSun") is made to
// resolve to AR PL UMing, whose metrics at 9 pt and 96 DPI are those of 宋体:
// 12-px Chinese characters, 6-px ASCII characters and a 12-px line.
QFont ProgramFont();
