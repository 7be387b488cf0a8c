// The program's own pictures.
#pragma once

#include <QIcon>

// The tool icons of ImageList1, by index.
QIcon ImageListIcon(int index);
// The small icons of the header strips: 0 file manager, 1 file list.
QIcon HeaderIcon(int index);
