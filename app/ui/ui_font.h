// The program's text face: the Song style its texts are set in. 宋体 itself
// is a Windows font; on Linux a Song-style CJK face stands in for it.
#pragma once

#include <QFont>

// A Song-style face at `pixels` pixel height, falling back to the desktop's
// own CJK face when none is installed.
QFont SongFont(int pixels = 12);
