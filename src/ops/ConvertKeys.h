#pragma once

#include "ops/BatchChange.h"
#include "writer/KeysConversion.h"

namespace vocabrella::ops {

// Converts the marked KEYS commands, in one rebuild: to plain text, or to advanced scripts
// with SendKeys or SendDragonKeys. The rebuild's log is kept under the mode's name.
class ConvertKeys final : public BatchChange {
public:
    std::string describe() const override;
    using Mode = KeysConversionOperation::Mode;
    ConvertKeys(Workspace& ws, BatchSelection selection, Mode mode)
        : BatchChange(ws, std::move(selection)), operation_(mode), mode_(mode) {}

    // Whether the conversion is offered for the open file at all, before anything is chosen:
    // the SendKeys scripts are for English users only (refused and told).
    static Outcome offered(Workspace& ws, Mode mode);

    std::uint32_t converted() const { return operation_.converted(); }
    bool someNotConverted() const { return operation_.someNotConverted(); }

protected:
    Outcome checkMarked() override;
    void write() override;
    Outcome finish() override;

private:
    KeysConversionOperation operation_;
    Mode mode_;
};

} // namespace vocabrella::ops
