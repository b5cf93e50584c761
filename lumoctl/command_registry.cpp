#include "command_registry.h"

#include <functional>
#include <vector>

namespace lumoctl {
namespace {

std::vector<CommandGroup>& registeredGroups() {
    static std::vector<CommandGroup> groups;
    return groups;
}

}  // namespace

CommandRegistration::CommandRegistration(CommandGroup group) { registeredGroups().push_back(group); }

void addRegisteredCommands(CLI::App& app, const GlobalOptions& options) {
    for (CommandGroup group : registeredGroups()) group(app, options);
}

CLI::App& commandGroup(CLI::App& app, const std::string& name, const std::string& description) {
    for (CLI::App* existing : app.get_subcommands(std::function<bool(CLI::App*)>{})) {
        if (existing->get_name() == name) return *existing;
    }
    CLI::App* group = app.add_subcommand(name, description);
    group->require_subcommand(1);
    return *group;
}

}  // namespace lumoctl
