#include "CliPrompter.h"
#include "Commands.h"

#include "cmdfile/Codec.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/DvcWriter.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Bytes.h"
#include "shell/Session.h"
#include "writer/Export.h"
#include "writer/KeyNotation.h"
#include "writer/KeysConversion.h"
#include "writer/RebuildOperations.h"
#include "writer/Updater.h"
#include "writer/VersionConversion.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace vocabrella::cli {
namespace fs = std::filesystem;
namespace {


std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Refusal("Cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Bodies are kept with CR LF line ends; text typed on this side of the platform has LF.
std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

struct BodySource {
    std::string text;
    std::string fromFile;
    void addOptions(CLI::App& command, const char* what) {
        auto* t = command.add_option("--text", text, std::string("The ") + what);
        auto* f = command.add_option("--from-file", fromFile, std::string("Read the ") + what + " from a file");
        t->excludes(f);
    }
    std::string body() const { return withCrLf(fromFile.empty() ? text : readTextFile(fromFile)); }
};

// Marks the selected rows; a batch operation with nothing selected is refused.
void markSelection(Session& session, const Selection& selection) {
    if (selection.empty()) throw Refusal("Choose the commands: --everything, --program, --scope, --group or --name");
    if (session.store().flagSelection(selection.rows()) == 0) throw Refusal("No command matches the selection");
}

int report(Runtime& rt, const std::string& done) {
    rt.afterWrite();
    std::cout << done << '\n';
    return 0;
}

// The identity strings of the program, from a command of the same program and scope.
void identityFromTemplate(Session& session, NewCommandRecord& rec) {
    if (names::isGlobalProgram(rec.program)) return;
    std::optional<UserRow> sample;
    session.store().forEachUser([&](const UserRow& row) {
        if (row.Type != "L" && row.offset > 0 && row.state == rec.scope &&
            codec::characterCount(row.menu) == codec::characterCount(rec.program) &&
            std::equal(row.menu.begin(), row.menu.end(), rec.program.begin(), rec.program.end(),
                       [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b)); })) {
            sample = row;
            return false;
        }
        return true;
    });
    if (!sample) return;
    auto& reader = session.reader();
    ByteReader r(reader.file().image);
    r.seekPosition(static_cast<std::uint32_t>(sample->offset));
    if (!reader.ReadCommandRecord(r, false)) return;
    const auto& current = reader.currentRecord();
    rec.program = current.program; // the module name as the file spells it
    rec.programDescription = current.programDescription;
    rec.companyName = current.companyName;
    rec.windowClass = current.windowClass;
}

} // namespace

void Selection::addOptions(CLI::App& command) {
    command.add_flag("--everything", everything, "Every command and LIST");
    command.add_option("--program", program, "The commands of this program");
    command.add_option("--scope", scope, "The commands of this scope");
    command.add_option("--group", group, "The commands of this group");
    command.add_option("--name", names, "This command (repeatable)");
}

CommandStore::RowSelection Selection::rows() const {
    CommandStore::RowSelection s;
    s.everything = everything;
    if (!program.empty()) s.program = program;
    if (!scope.empty()) s.scope = scope;
    if (!group.empty()) s.group = group;
    s.names = names;
    return s;
}

void addWriteCommands(CLI::App& app, CommonArguments& common, std::vector<Command>& commands) {
    const std::size_t first = commands.size();
    const auto fileOption = [&common](CLI::App* c) { c->add_option("FILE", common.file, "Command file")->required(); };

    {
        auto place = std::make_shared<Place>();
        auto name = std::make_shared<std::string>();
        auto body = std::make_shared<BodySource>();
        auto* c = app.add_subcommand("set-body", "Replace the body of a command, or the items of a LIST (one per line)");
        fileOption(c);
        c->add_option("NAME", *name, "Command or LIST name")->required();
        c->add_option("--program", place->program, "Program (default: Global Commands)");
        c->add_option("--scope", place->scope, "Scope");
        body->addOptions(*c, "new body");
        commands.push_back({c, [place, name, body](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                const auto row = findRow(session, *name, *place);
                                if (!row) return 1;
                                CommandFileUpdater(session.writerEnvironment()).Update1Body(row->ID, body->body());
                                return report(rt, "Body of \"" + *name + "\" updated");
                            }});
    }
    {
        auto place = std::make_shared<Place>();
        auto names = std::make_shared<std::pair<std::string, std::string>>();
        auto description = std::make_shared<std::optional<std::string>>();
        auto group = std::make_shared<std::optional<std::string>>();
        auto* c = app.add_subcommand("rename", "Rename a command or a LIST (and change a command's description or group)");
        fileOption(c);
        c->add_option("OLD", names->first, "Current name")->required();
        c->add_option("NEW", names->second, "New name")->required();
        c->add_option("--program", place->program, "Program (default: Global Commands)");
        c->add_option("--scope", place->scope, "Scope");
        c->add_option("--description", *description, "New description");
        c->add_option("--group", *group, "New group");
        commands.push_back({c, [place, names, description, group](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                const auto row = findRow(session, names->first, *place);
                                if (!row) return 1;
                                CommandFileUpdater(session.writerEnvironment())
                                    .UpdateFirstThings(row->ID, names->second, description->value_or(row->description),
                                                       group->value_or(row->owner));
                                return report(rt, "\"" + names->first + "\" renamed to \"" + names->second + "\"");
                            }});
    }
    {
        auto rec = std::make_shared<NewCommandRecord>();
        auto place = std::make_shared<Place>();
        auto body = std::make_shared<BodySource>();
        auto* c = app.add_subcommand("new-command", "Add a command");
        fileOption(c);
        c->add_option("NAME", rec->name, "Spoken name")->required();
        c->add_option("--kind", rec->typeCode, "K (KEYS), S (SCRIPT), A (Advanced Script) or P (Plain Text)")
            ->required()
            ->check(CLI::IsMember({"K", "S", "A", "P"}));
        c->add_option("--program", place->program, "Program (default: Global Commands)");
        c->add_option("--scope", place->scope, "Scope: Application-specific (default) or a window title");
        c->add_option("--group", rec->group, "Group (default: User-defined)");
        c->add_option("--description", rec->description, "Description");
        body->addOptions(*c, "body");
        commands.push_back({c, [rec, place, body](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                NewCommandRecord r = *rec;
                                r.program = place->resolvedProgram();
                                r.scope = place->resolvedScope();
                                if (r.group.empty()) r.group = names::UserDefined;
                                r.body = body->body();
                                if (r.typeCode != "P" && r.typeCode != "K") r.body = withCrLf(r.body);
                                identityFromTemplate(session, r);
                                CommandFileUpdater(session.writerEnvironment()).UpdateNewCommand(r);
                                return report(rt, "Command \"" + r.name + "\" added");
                            }});
    }
    {
        auto name = std::make_shared<std::string>();
        auto items = std::make_shared<std::vector<std::string>>();
        auto* c = app.add_subcommand("new-list", "Add a LIST");
        fileOption(c);
        c->add_option("NAME", *name, "LIST name")->required();
        c->add_option("--item", *items, "An item (repeatable)")->required();
        commands.push_back({c, [name, items](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                std::string body;
                                for (const auto& item : *items) body += item + "\r\n";
                                CommandFileUpdater(session.writerEnvironment()).UpdateNewList(*name, body);
                                return report(rt, "LIST \"" + *name + "\" added");
                            }});
    }
    {
        auto place = std::make_shared<Place>();
        auto name = std::make_shared<std::string>();
        auto to = std::make_shared<std::string>();
        auto* c = app.add_subcommand("change-kind", "Turn a KEYS command into plain text (P) or an advanced script (A)");
        fileOption(c);
        c->add_option("NAME", *name, "Command name")->required();
        c->add_option("--to", *to, "P or A")->required()->check(CLI::IsMember({"P", "A"}));
        c->add_option("--program", place->program, "Program (default: Global Commands)");
        c->add_option("--scope", place->scope, "Scope");
        commands.push_back({c, [place, name, to](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                const auto row = findRow(session, *name, *place);
                                if (!row) return 1;
                                if (row->Type != "K") throw Refusal("\"" + *name + "\" is not a KEYS command");
                                CommandFileUpdater updater(session.writerEnvironment());
                                if (*to == "P") {
                                    if (row->script.find('{') != std::string::npos)
                                        throw Refusal("KEYS with braces become advanced scripts, not plain text");
                                    updater.Updatechangetype(row->ID, CommandFileUpdater::KindChange::ToPlainText);
                                } else {
                                    if (!PrepareKeyPatterns(session.prompter())) return 1;
                                    const auto script = KeysToScript(row->script);
                                    if (!script) throw Refusal("The keys \"" + row->script + "\" are not syntactically correct");
                                    updater.Update1Body(row->ID, *script);
                                    updater.Updatechangetype(row->ID, CommandFileUpdater::KindChange::ToAdvancedScript);
                                }
                                return report(rt, "\"" + *name + "\" is now of Type " + *to);
                            }});
    }
    {
        auto selection = std::make_shared<Selection>();
        auto* c = app.add_subcommand("delete", "Delete the chosen commands (and the LISTs nothing uses any more)");
        fileOption(c);
        selection->addOptions(*c);
        commands.push_back({c, [selection](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                markSelection(session, *selection);
                                const auto result = DeleteMarked(session.writerEnvironment());
                                return report(rt, "Deletion Completed: " + std::to_string(result.commands) +
                                                           " commands and " + std::to_string(result.lists) + " LISTs remain");
                            }});
    }
    {
        auto selection = std::make_shared<Selection>();
        auto names = std::make_shared<std::pair<std::string, std::string>>();
        auto* c = app.add_subcommand("rename-group", "Move the chosen commands of group OLD into group NEW");
        fileOption(c);
        c->add_option("OLD", names->first, "Group (\"All groups\" for any)")->required();
        c->add_option("NEW", names->second, "New group")->required();
        selection->addOptions(*c);
        commands.push_back({c, [selection, names](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                markSelection(session, *selection);
                                RenameGroup(session.writerEnvironment(), names->first, names->second);
                                return report(rt, "Group renamed: " + names->first + "->" + names->second);
                            }});
    }
    {
        auto selection = std::make_shared<Selection>();
        auto names = std::make_shared<std::pair<std::string, std::string>>();
        auto* c = app.add_subcommand("rename-program", "Give the commands of program OLD the program NEW");
        fileOption(c);
        c->add_option("OLD", names->first, "Program")->required();
        c->add_option("NEW", names->second, "New program (module name)")->required();
        selection->addOptions(*c);
        commands.push_back({c, [selection, names](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                Selection s = *selection;
                                s.program = names->first;
                                markSelection(session, s);
                                std::string newName = names->second;
                                if (newName.size() > 4) {
                                    std::string tail = newName.substr(newName.size() - 4);
                                    for (auto& ch : tail) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                                    if (tail == ".exe") newName.resize(newName.size() - 4);
                                }
                                RenameProgramOperation op(newName);
                                runRebuild(session.writerEnvironment(), op);
                                return report(rt, "Program Renamed");
                            }});
    }
    {
        auto selection = std::make_shared<Selection>();
        auto texts = std::make_shared<std::pair<std::string, std::string>>();
        auto matchCase = std::make_shared<bool>(false);
        auto* c = app.add_subcommand("replace", "Replace text in the bodies of the chosen commands");
        fileOption(c);
        c->add_option("FIND", texts->first, "Text to find")->required();
        c->add_option("REPLACEMENT", texts->second, "Replacement");
        c->add_flag("--match-case", *matchCase, "Compare letter case too");
        selection->addOptions(*c);
        commands.push_back({c, [selection, texts, matchCase](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                if (texts->first.empty()) throw Refusal("Nothing to search for");
                                markSelection(session, *selection);
                                std::vector<std::pair<std::int64_t, std::string>> changes;
                                std::size_t replacements = 0;
                                const std::string find = withCrLf(texts->first), by = withCrLf(texts->second);
                                session.store().forEachUser([&](const UserRow& row) {
                                    if (!row.flag || row.encrypted || row.offset == 0) return true;
                                    if (row.Type != "A" && row.Type != "S" && row.Type != "K" && row.Type != "P" && row.Type != "L") return true;
                                    std::string body;
                                    std::size_t from = 0;
                                    const auto next = [&](std::size_t at) {
                                        if (*matchCase) return row.script.find(find, at);
                                        const auto it = std::search(row.script.begin() + static_cast<long>(at), row.script.end(), find.begin(), find.end(),
                                                                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
                                        return it == row.script.end() ? std::string::npos : static_cast<std::size_t>(it - row.script.begin());
                                    };
                                    std::size_t count = 0;
                                    for (auto at = next(0); at != std::string::npos; at = next(from)) {
                                        body.append(row.script, from, at - from).append(by);
                                        from = at + find.size();
                                        ++count;
                                    }
                                    if (count == 0) return true;
                                    body.append(row.script, from);
                                    replacements += count;
                                    changes.emplace_back(row.ID, std::move(body));
                                    return true;
                                });
                                CommandFileUpdater updater(session.writerEnvironment());
                                for (const auto& [id, body] : changes) updater.Update1Body(id, body);
                                session.store().clearFlags();
                                return report(rt, std::to_string(replacements) + " replacements in " +
                                                           std::to_string(changes.size()) + " commands");
                            }});
    }
    {
        auto selection = std::make_shared<Selection>();
        auto mode = std::make_shared<std::string>();
        auto* c = app.add_subcommand("convert-keys", "Convert the chosen KEYS commands");
        fileOption(c);
        c->add_option("--mode", *mode, "plain, sendkeys or dragonkeys")->required()->check(CLI::IsMember({"plain", "sendkeys", "dragonkeys"}));
        selection->addOptions(*c);
        commands.push_back({c, [selection, mode](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                markSelection(session, *selection);
                                const auto m = *mode == "plain"      ? KeysConversionOperation::Mode::PlainText
                                               : *mode == "sendkeys" ? KeysConversionOperation::Mode::SendKeys
                                                                     : KeysConversionOperation::Mode::SendDragonKeys;
                                KeysConversionOperation op(m);
                                if (!runRebuild(session.writerEnvironment(), op).done) return 1;
                                return report(rt, std::to_string(op.converted()) + " KEYS commands converted");
                            }});
    }
    {
        auto to = std::make_shared<std::string>();
        auto* c = app.add_subcommand("convert-version", "Rebuild the file in the layout of another Dragon version");
        fileOption(c);
        c->add_option("--to", *to, "6.0, 6.1, 7.x or 8/9")->required()->check(CLI::IsMember({"6.0", "6.1", "7.x", "8/9"}));
        commands.push_back({c, [to](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                ConvertVersionOperation op(*ConvertVersionOperation::target(*to), false);
                                if (!runRebuild(session.writerEnvironment(), op).done) return 1;
                                return report(rt, std::string(op.targetInfo().done));
                            }});
    }
    {
        auto to = std::make_shared<std::string>();
        auto* c = app.add_subcommand("convert-language", "Change the language recorded in the file's header");
        fileOption(c);
        c->add_option("--to", *to, "Dutch, English, French, German or Spanish")
            ->required()
            ->check(CLI::IsMember({"Dutch", "English", "French", "German", "Spanish"}));
        commands.push_back({c, [to](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                if (!ConvertLanguage(session.writerEnvironment(), *to, false)) return 1;
                                return report(rt, "File converted to " + *to);
                            }});
    }
    {
        auto selection = std::make_shared<Selection>();
        auto output = std::make_shared<std::string>();
        auto pseudo = std::make_shared<bool>(false);
        auto* c = app.add_subcommand("dvc", "Write the chosen commands as DVC text");
        fileOption(c);
        c->add_option("-o,--output", *output, "DVC file to write")->required();
        c->add_flag("--pseudo", *pseudo, "Every kind of command, with its type name (pseudo DVC)");
        selection->addOptions(*c);
        commands.push_back({c, [selection, output, pseudo](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                Selection s = *selection;
                                if (s.empty()) s.everything = true;
                                markSelection(session, s);
                                if (!*pseudo) {
                                    // Plain DVC holds only what Dragon's DVC notation knows: KEYS, scripts and LISTs.
                                    for (const auto& row : session.store().flaggedForDvc())
                                        if (row.Type != "K" && row.Type != "S" && row.Type != "L")
                                            session.store().setFlag(row.ID, false);
                                }
                                WriteDvc(session.store(), *output);
                                std::cout << "Wrote " << *output << '\n';
                                return 0;
                            }});
    }
    {
        struct ExportOptions {
            std::string target, duplicates;
            bool append = false, overwrite = false;
        };
        auto selection = std::make_shared<Selection>();
        auto options = std::make_shared<ExportOptions>();
        auto* c = app.add_subcommand("export", "Export the chosen commands, with the LISTs they use, into another command file");
        fileOption(c);
        c->add_option("--to", options->target, "Target command file (.dat is added when missing)")->required();
        auto* append = c->add_flag("--append", options->append, "Append to an existing target");
        c->add_flag("--overwrite", options->overwrite, "Replace an existing target")->excludes(append);
        c->add_option("--duplicates", options->duplicates, "Commands the target has already: yes (replace them) or no (keep them)")
            ->check(CLI::IsMember({"yes", "no"}));
        selection->addOptions(*c);
        commands.push_back({c, [selection, options](Runtime& rt, CliPrompter& prompter) {
                                Session& session = rt.session;
                                const auto target = normaliseExportPath(options->target);
                                if (target.datAppended) std::cerr << "Appending .dat to your filename\n";
                                markSelection(session, *selection);
                                // The answer to "Overwrite?" for every command the target holds already.
                                if (!options->duplicates.empty()) prompter.chosenButton = options->duplicates == "yes" ? 2 : 3;
                                const auto when = options->append      ? ExistingTarget::Append
                                                  : options->overwrite ? ExistingTarget::Overwrite
                                                                       : ExistingTarget::Ask;
                                const auto result = ExportToCommandFile(session.writerEnvironment(), target.path, when).run();
                                session.store().clearFlags();
                                if (result.outcome != ExportOutcome::Done) {
                                    if (result.outcome == ExportOutcome::Cancelled) std::cerr << "Export cancelled\n";
                                    return 1;
                                }
                                std::cout << "Export Operation Completed: " << result.exported << " commands and "
                                          << result.listsAdded << " LISTs written to " << target.path.string() << " ("
                                          << result.commands << " commands, " << result.lists << " LISTs in the file)\n";
                                return 0;
                            }});
    }
    {
        auto* c = app.add_subcommand("rewrite", "Rebuild the file record by record, changing nothing");
        fileOption(c);
        commands.push_back({c, [](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                                PlainRebuild op;
                                const auto result = runRebuild(session.writerEnvironment(), op);
                                return report(rt, "Rewritten: " + std::to_string(result.commands) + " commands, " +
                                                           std::to_string(result.lists) + " LISTs");
                            }});
    }
    for (std::size_t i = first; i < commands.size(); ++i) commands[i].writes = commands[i].app->get_name() != "dvc";
}

} // namespace vocabrella::cli
