#pragma once

// The window's Find goes through the core's search.
#include "browse/Finder.h"
#include "ui/Selection.h"

namespace vocabrella::ui {
using browse::FindField;
using browse::Finder;
using browse::FindHit;
using browse::FindQuery;
} // namespace vocabrella::ui
