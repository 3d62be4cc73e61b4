#pragma once

#include <QIcon>
#include <QString>

#include <string_view>

namespace velmorant::ui {

// The editors' small pictures, drawn here so they need no image files.
QIcon LockIcon(bool locked);
// 0 not in use, 1 own layers, 2 copy of another key.
QIcon KeyStateIcon(int state);
QIcon AutoMapIcon();
QIcon PlayIcon();

}  // namespace velmorant::ui
