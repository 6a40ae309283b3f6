#include "ops/Rewrite.h"

#include "ops/Texts.h"
#include "writer/RebuildOperations.h"

namespace vocabrella::ops {

void Rewrite::write() {
    PlainRebuild op;
    result_ = runRebuild(ws_.env(), op);
}

std::string Rewrite::describe() const { return std::string(texts::DescribeRewrite); }

} // namespace vocabrella::ops
