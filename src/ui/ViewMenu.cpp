#include "ui/ViewMenu.h"

#include "cmdfile/Prompter.h"
#include "ui/CommandLists.h"
#include "ui/Form1.h"
#include "ui/Texts.h"
#include "ui/WindowText.h"

namespace vocabrella::ui {

ViewMenu::ViewMenu(WindowContext& ctx, QMenuBar* bar) : QObject(bar), ctx_(ctx) {
    viewMenu_ = addMenu(bar, "ViewMenu", texts::ViewMenu);
    connect(viewMenu_, &QMenu::aboutToShow, this, [this] {
        auto& selection = ctx_.selection;
        selection.listsStale = true;
        selection.recentlyCreatedStale = selection.recentlyModifiedStale = true;
    });
    static constexpr const char* kViewNames[kViewTypeCount] = {"ViewKeys", "ViewScripts", "ViewLists", "ViewText",
                                                               "ViewPlain", "ViewRecorder", "ViewSteps", "ViewAdvanced"};
    static constexpr std::string_view kViewCaptions[kViewTypeCount] = {
        texts::ViewKeys, texts::ViewScripts, texts::ViewLists, texts::ViewText,
        texts::ViewPlain, texts::ViewRecorder, texts::ViewSteps, texts::ViewAdvanced};
    const auto guarded = [this](auto action) { return [this, action] { ctx_.window.guarded(action); }; };
    for (std::size_t i = 0; i < kViewTypeCount; ++i) {
        typeEntries_[i] = addEntry(viewMenu_, kViewNames[i], kViewCaptions[i]);
        typeEntries_[i]->setCheckable(true);
        typeEntries_[i]->setChecked(true);
        connect(typeEntries_[i], &QAction::triggered, this,
                guarded([this, i] { typeToggled(static_cast<ViewType>(i)); }));
    }
    allEntry_ = addEntry(viewMenu_, "ViewAll", texts::ViewAll);
    allEntry_->setCheckable(true);
    allEntry_->setChecked(true);
    connect(allEntry_, &QAction::triggered, this, guarded([this] { showAll(); }));
    auto* only1 = viewMenu_->addMenu(qs(texts::Only1));
    only1->setObjectName(QStringLiteral("only1"));
    only1->menuAction()->setObjectName(QStringLiteral("only1"));
    static constexpr const char* kOnlyNames[kViewTypeCount] = {
        "viewonly1keys", "viewonly1scripts", "viewonly1lists", "viewonly1text",
        "viewonly1plain", "viewonly1recorder", "viewonly1steps", "viewonly1advanced"};
    static constexpr std::string_view kOnlyCaptions[kViewTypeCount] = {
        texts::Only1Keys, texts::Only1Scripts, texts::Only1Lists, texts::Only1Text,
        texts::Only1Plain, texts::Only1Recorder, texts::Only1Steps, texts::Only1Advanced};
    for (std::size_t i = 0; i < kViewTypeCount; ++i)
        connect(addEntry(only1, kOnlyNames[i], kOnlyCaptions[i]), &QAction::triggered, this,
                guarded([this, i] { showOnly(static_cast<ViewType>(i)); }));
    // Filters of the legacy DVC files, which this program does not read: kept, checked and hidden.
    mappedEntry_ = addEntry(viewMenu_, "Viewmapped", texts::ViewMapped);
    notMappedEntry_ = addEntry(viewMenu_, "Viewnotmapped", texts::ViewNotMapped);
    for (auto* a : {mappedEntry_, notMappedEntry_}) {
        a->setCheckable(true);
        a->setChecked(true);
        a->setVisible(false);
    }
    viewMenu_->addSeparator();
    followCommandEntry_ = addEntry(viewMenu_, "viewfollowcommand", texts::ViewFollowCommand);
    followCommandEntry_->setCheckable(true);
    connect(followCommandEntry_, &QAction::triggered, this, guarded([this] { followCommand(); }));
    followListEntry_ = addEntry(viewMenu_, "viewfollowlist", texts::ViewFollowList);
    followListEntry_->setCheckable(true);
    connect(followListEntry_, &QAction::triggered, this, guarded([this] { followList(); }));
    addEntry(viewMenu_, "viewdescriptions", texts::ViewDescriptions)->setVisible(false);
}

void ViewMenu::typeToggled(ViewType type) {
    auto& v = ctx_.selection.view;
    v.type(type) = typeEntries_[static_cast<std::size_t>(type)]->isChecked();
    // "All of the above" follows the three legacy entries only.
    if (type == ViewType::Keys || type == ViewType::Scripts || type == ViewType::Lists) {
        v.all = v.type(ViewType::Keys) && v.type(ViewType::Scripts) && v.type(ViewType::Lists);
        allEntry_->setChecked(v.all);
    }
    v.followCommand = false;
    followCommandEntry_->setChecked(false);
    ctx_.lists->reset(-1);
}

void ViewMenu::showAll() {
    auto& selection = ctx_.selection;
    selection.view = ViewFilter{};
    for (auto* a : typeEntries_) a->setChecked(true);
    for (auto* a : {allEntry_, mappedEntry_, notMappedEntry_}) a->setChecked(true);
    followCommandEntry_->setChecked(false);
    followListEntry_->setChecked(false);
    selection.followedCommand.clear();
    selection.followedTokens.clear();
    selection.followedListReference.clear();
    selection.followedListName.clear();
    ctx_.lists->reset(-1);
}

void ViewMenu::showOnly(ViewType type) {
    auto& v = ctx_.selection.view;
    v.types.fill(false);
    v.type(type) = true;
    v.all = false;
    for (std::size_t i = 0; i < kViewTypeCount; ++i) typeEntries_[i]->setChecked(v.types[i]);
    allEntry_->setChecked(false);
    ctx_.lists->reset(-1);
}

void ViewMenu::clearTypes() {
    auto& v = ctx_.selection.view;
    v.types.fill(false);
    v.all = false;
    for (auto* a : typeEntries_) a->setChecked(false);
    allEntry_->setChecked(false);
}

void ViewMenu::followCommand() {
    auto& selection = ctx_.selection;
    auto& v = selection.view;
    if (!followCommandEntry_->isChecked()) {
        v.followCommand = false;
        ctx_.lists->reset(-1);
        return;
    }
    const auto row = ctx_.browser.entry(selection.program, selection.scope, selection.command);
    if (!row || row->Type == "L") {
        followCommandEntry_->setChecked(false);
        ctx_.prompter().message(texts::NotValidUnlessCommand, texts::NotAllowed);
        return;
    }
    if (row->name.find('<') == std::string::npos) {
        followCommandEntry_->setChecked(false);
        ctx_.prompter().message(texts::CommandHasNoLists, texts::NotAllowed);
        return;
    }
    v.followList = false;
    followListEntry_->setChecked(false);
    clearTypes();
    v.followCommand = true;
    selection.followedCommand = row->name;
    selection.followedTokens = Tokenize(row->name);
    ctx_.lists->reset(-1);
}

void ViewMenu::followList() {
    auto& selection = ctx_.selection;
    auto& v = selection.view;
    if (!followListEntry_->isChecked()) {
        v.followList = false;
        ctx_.lists->reset(-1);
        return;
    }
    const auto row = ctx_.browser.entry(selection.program, selection.scope, selection.command);
    if (!row || row->Type != "L") {
        followListEntry_->setChecked(false);
        ctx_.prompter().message(texts::NotValidUnlessList, texts::NotAllowed);
        return;
    }
    v.followCommand = false;
    followCommandEntry_->setChecked(false);
    clearTypes();
    v.followList = true;
    selection.followedListReference = "<" + row->name + ">";
    selection.followedListName = row->name;
    ctx_.lists->reset(-1);
}

} // namespace vocabrella::ui
