#pragma once

#include "writer/Rebuild.h"
#include "writer/Texts.h"

namespace vocabrella {

// Converts the flagged KEYS commands of the open file, in a rebuild: to plain text (texts
// without both braces), or to advanced scripts with SendKeys or with SendDragonKeys (texts
// with both). Every converted command is reported in the mode's log; a text that cannot be
// converted stays a KEYS command and is reported at the end (the caller says so: the log is
// kept under the mode's name when the rebuild is done, and nothing is shown).
class KeysConversionOperation final : public RebuildOperation {
public:
    enum class Mode { PlainText, SendKeys, SendDragonKeys };
    explicit KeysConversionOperation(Mode mode) : mode_(mode) {}

    std::string_view OperationMode() const override;
    std::string_view traceText() const override { return texts::trace::RenameGroup; }
    bool prepare(const WriterEnvironment& env) override;
    void edit(RecordEdit& e, RebuildLogs& logs) override;
    void finish(const WriterEnvironment& env) override;

    std::uint32_t converted() const { return converted_; }
    // What is said when the conversion is done, and the title naming the mode's log.
    std::string_view completeText() const;
    std::string_view completeTitle() const;
    bool someNotConverted() const { return someNotConverted_; }

private:
    Mode mode_;
    std::uint32_t converted_ = 0;
    bool someNotConverted_ = false;
};

} // namespace vocabrella
