#include "ops/Rewrite.h"

#include "writer/RebuildOperations.h"

namespace vocabrella::ops {

void Rewrite::write() {
    PlainRebuild op;
    result_ = runRebuild(ws_.env(), op);
}

} // namespace vocabrella::ops
