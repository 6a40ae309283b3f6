#pragma once

#include "ops/Change.h"
#include "writer/Rebuild.h"

namespace vocabrella::ops {

// Rebuilds the open file record by record, changing nothing: a file that reads well comes out
// byte for byte as it was.
class Rewrite final : public Change {
public:
    std::string describe() const override;
    using Change::Change;
    const RebuildResult& result() const { return result_; }

protected:
    Outcome check() override { return Outcome::done(); }
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    RebuildResult result_;
};

} // namespace vocabrella::ops
