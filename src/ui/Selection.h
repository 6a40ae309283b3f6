#pragma once

// The window chooses what it shows with the core's selection.
#include "browse/Selection.h"

namespace vocabrella::ui {
using browse::containsName;
using browse::ExtractListNames;
using browse::kMaxListNames;
using browse::kMaxTokens;
using browse::kViewTypeCodes;
using browse::kViewTypeCount;
using browse::numberedCaption;
using browse::Place;
using browse::sameName;
using browse::Selection;
using browse::StripMenuNumber;
using browse::Tokenize;
using browse::TokenPresent;
using browse::typeName;
using browse::ViewFilter;
using browse::ViewType;
} // namespace vocabrella::ui
