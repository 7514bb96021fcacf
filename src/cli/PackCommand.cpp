// tessaro-cli pack SOURCE_DIR OUT.vpk.
#include "Commands.h"

#include "Cli.h"
#include "PackWriter.h"

#include <string>

namespace cli {

int Pack(const std::string& source, const std::string& out)
{
    WritePack(source, out, [](const std::string& text) { messages.Complain(text); });
    return ExitStatus();
}

}  // namespace cli
