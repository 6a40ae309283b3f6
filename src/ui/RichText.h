#pragma once

#include "cmdfile/RtfReader.h"

class QTextDocument;

namespace vocabrella::ui {

// Fills the document with the formatted part of a Text & Graphics command as read by the
// program's RTF reader. PNG and JPEG pictures become images of the document; other picture
// kinds, and pictures Qt cannot decode, a framed placeholder text.
void loadRichText(QTextDocument& document, const rtf::Document& rtf, double logicalDpi = 96.0);

} // namespace vocabrella::ui
