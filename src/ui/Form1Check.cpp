// "Check Commands..." of the Tools menu, and going to a command named by program, scope and name.

#include "ui/Form1.h"

#include "cmdfile/Prompter.h"
#include "ops/CheckCommands.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "ui/CheckCommandsDialog.h"
#include "ui/Texts.h"

#include <QListWidget>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string str(const QString& s) { return s.toStdString(); }

} // namespace

void Form1::toolscheck_Click() {
    if (!fileOpen()) return;
    ops::Workspace ws(app_, clock_);
    const auto result = ops::CheckCommands(ws).run();
    if (result.reread) refreshAfterChange();
    if (result.findings.empty()) {
        std::string text(texts::CheckNoFindings);
        if (result.scriptsWithoutDragon > 0)
            text += "\r\n" + std::string(ops::texts::ScriptsWithoutDragonStart) + std::to_string(result.scriptsWithoutDragon) +
                    std::string(texts::CheckScriptsNeedDragon);
        session_.prompter().message(text, texts::CheckCaption);
        return;
    }
    CheckCommandsDialog dialog(result, this);
    installHelpKey(&dialog, *help_, kHelpCheckCommands);
    dialog.exec();
    if (const auto chosen = dialog.chosen()) {
        const auto& f = result.findings[*chosen];
        goToCommand(f.program, f.scope, f.name, f.isList);
    }
}

bool Form1::goToCommand(const std::string& program, const std::string& scope, const std::string& name, bool isList) {
    const auto shown = [&] {
        QListWidget* list = lists_[isList ? 1 : 0];
        return list->currentItem() && sameName(str(list->currentItem()->text()), name);
    };
    const auto go = [&] {
        selection_.program = program;
        selection_.scope = scope;
        selection_.command = name;
        selection_.group = std::string(names::AllGroups); // a group filter must not hide it
        refreshAfterChange();
        showTab(isList ? 1 : 0);
        if (!isList) return;
        if (const auto found = lists_[1]->findItems(qs(name), Qt::MatchFixedString); !found.isEmpty())
            lists_[1]->setCurrentItem(found.front());
    };
    go();
    if (shown()) return true;
    viewAll(); // the view hid its kind: every kind is shown again
    go();
    return shown();
}

} // namespace vocabrella::ui
