#pragma once

#include <QIcon>

namespace vocabrella::ui {

// The program's icon: an umbrella over a speech balloon, drawn at the sizes window managers ask
// for, so that no picture file has to be shipped.
QIcon appIcon();

} // namespace vocabrella::ui
