#include "art.h"

QIcon ImageListIcon(int) { return QIcon(); }
QIcon HeaderIcon(int) { return QIcon(); }
