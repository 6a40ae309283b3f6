#pragma once

#include <string>
#include <string_view>

namespace vocabrella::platform {

// The simulated Dragon's check of a legacy script (the SCRIPT kind), line by line. Lines are
// separated by CR LF or LF. Blank lines, comment lines ("Rem ..." or "' ...") and the text after
// a "'" outside a string are skipped. It finds:
// - a line that does not begin with a command name (a letter or "_");
// - a string ("..." with "" for a quotation mark inside) not closed on its line;
// - a ")" without its "(", or a "(" not closed on its line (outside strings).
// Returns 0 when the script passes, otherwise the 1-based number of the first faulty line,
// with what is wrong in errorText.
int checkLegacyScript(std::string_view script, std::string& errorText);

} // namespace vocabrella::platform
