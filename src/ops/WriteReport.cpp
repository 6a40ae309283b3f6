#include "ops/WriteReport.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RowMarks.h"
#include "cmdfile/Trace.h"
#include "ops/Failures.h"
#include "ops/OutputTarget.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/Report.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {
namespace fs = std::filesystem;

WriteReport::WriteReport(Workspace& ws, BatchSelection selection, std::filesystem::path target, std::string_view format)
    : ws_(ws), selection_(std::move(selection)), target_(std::move(target)), owned_(reportFor(format)),
      report_(owned_.get()) {}

WriteReport::WriteReport(Workspace& ws, BatchSelection selection, std::filesystem::path target, const Report& report)
    : ws_(ws), selection_(std::move(selection)), target_(std::move(target)), report_(&report) {}

WriteReport::~WriteReport() = default;

Outcome WriteReport::run() {
    if (!report_) {
        ws_.prompter().message(texts::UnknownReportFormat);
        return Outcome::refused(std::string(texts::UnknownReportFormat));
    }
    auto& store = ws_.store();
    const RowMarks marks(store);
    return translatingFailures(ws_, [&]() -> Outcome {
        auto marked = markSelection(ws_, selection_, texts::NothingSelectedToExport);
        if (!marked.outcome.isDone()) return marked.outcome;
        const auto seen = FileVersion::of(target_);
        if (auto o = checkOutputTarget(ws_, target_); !o.isDone()) return o;
        std::vector<UserRow> rows;
        store.forEachFlagged([&](const UserRow& row) {
            rows.push_back(row);
            return true;
        });
        sortInNameOrder(rows);
        const std::string text = codec::utf8ToCp1252(report_->text(rows));
        writeFileIfUnchanged(target_, seen, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        rows_ = rows.size();
        return Outcome::done();
    }, {});
}

fs::path exportFolder(Workspace& ws) {
    const auto stored = ws.store().parameters().exportPath;
    std::error_code ec;
    if (!stored.empty() && fs::is_directory(stored, ec)) return stored;
    return ws.session().home();
}

void rememberExportFolder(Workspace& ws, const fs::path& written) {
    const auto folder = os::pathText(fs::absolute(written).parent_path());
    auto p = ws.store().parameters();
    if (p.exportPath == folder) return;
    p.exportPath = folder;
    ws.store().setParameters(p);
}

} // namespace vocabrella::ops
