#pragma once

// The texts of the questions an export asks (a command that exists in the target, a target file
// that exists), for the dialogs that ask them. The writer owns them; callers above the
// operations reach them here.
#include "writer/Texts.h"

namespace vocabrella::ops::texts {

using vocabrella::texts::ChooseActionTitle;
using vocabrella::texts::ChooseAppend;
using vocabrella::texts::ChooseCancel;
using vocabrella::texts::ChooseOverwrite;
using vocabrella::texts::ExportFileExists;
using vocabrella::texts::OverwriteCancelExport;
using vocabrella::texts::OverwriteExistsIn;
using vocabrella::texts::OverwriteNo;
using vocabrella::texts::OverwriteNoToAll;
using vocabrella::texts::OverwriteTitle;
using vocabrella::texts::OverwriteWithCommandFrom;
using vocabrella::texts::OverwriteYes;
using vocabrella::texts::OverwriteYesToAll;

} // namespace vocabrella::ops::texts
