// The program's own pictures, drawn as SVG (the .svg files beside this one)
// and turned into bare pixels at build time (CMakeLists.txt here), compiled
// in: the tool bar's image list, the two header icons, the splash and about
// pictures and the browse button's pointing hand.
#pragma once

#include <QIcon>
#include <QPixmap>

inline constexpr int kImageListCount = 25;

enum class HeaderIconId { FileManager = 0, FileList = 1 };

// Image `index` (0..23) of the tool bar's image list, 16 × 16 (and 32 × 32
// for high-density screens); a null icon outside the range.
QIcon ImageListIcon(int index);

QIcon HeaderIcon(HeaderIconId which);
QIcon PointingHandIcon();
// The program's own icon (its windows' and the desktop's), 16, 32 and 48 pixels.
QIcon ProgramIcon();

QPixmap SplashPicture();  // 430 × 286
QPixmap AboutPicture();   // 89 × 33
