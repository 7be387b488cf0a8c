#include "ui_font.h"

#include <QStringList>

QFont SongFont(int pixels) {
    QFont f;
    f.setFamilies(QStringList{"宋体", "SimSun", "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC",
                              "Noto Sans CJK SC", "WenQuanYi Micro Hei"});
    f.setPixelSize(pixels);
    return f;
}
