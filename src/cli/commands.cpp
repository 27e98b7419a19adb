#include "clicontext.h"

#include <algorithm>
#include <cstring>

namespace {
QList<CliCommand> &registry()
{
    static QList<CliCommand> commands;
    return commands;
}
}  // namespace

CliCommandRegistration::CliCommandRegistration(const CliCommand &command)
{
    auto &commands = registry();
    commands.append(command);
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand &a, const CliCommand &b) { return std::strcmp(a.name, b.name) < 0; });
}

const QList<CliCommand> &cliCommands()
{
    return registry();
}
