#include <iostream>

#include "command_registry.h"
#include "lumo_version.h"

namespace lumoctl {
namespace {

void addAboutCommands(CLI::App& app, const GlobalOptions&) {
    app.add_subcommand("version", "Print the product version")->callback([] {
        std::cout << "lumoshelf " << LUMO_PRODUCT_VERSION << '\n';
    });
}

const CommandRegistration registration(addAboutCommands);

}  // namespace
}  // namespace lumoctl
