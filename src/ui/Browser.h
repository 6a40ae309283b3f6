#pragma once

// The window browses the store with the core's browser.
#include "browse/Browser.h"
#include "ui/Selection.h"

namespace vocabrella::ui {
using browse::BodyDisplay;
using browse::Browser;
using browse::formattedPart;
using browse::kRecentlyCreatedLimit;
using browse::kRecentProgramColumn;
using browse::recentLine;
using browse::RecentEntry;
using browse::ShowBody;
} // namespace vocabrella::ui
