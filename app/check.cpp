#include "app/check.h"

#include <cstdio>

#include "components/component_registry.h"
#include "platform/sound/sound_output.h"
#include "player/script_player.h"
#include "script/parameter_reference.h"

namespace mirva {

int check(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fputs("usage: mirva check SCRIPT\n", stderr);
        return 2;
    }
    // A Song or AudioStream script loads its music with the offline output: nothing
    // plays, and no sound card is needed.
    SoundOutput::choose(SoundOutput::Kind::Offline);
    const ScriptPlayer player(args[0]);
    std::printf("script: %s\n", args[0].c_str());
    std::printf("time source: %s\n", player.timeSource().describe().c_str());
    std::printf("instances: %zu\n", player.instances().size());
    std::printf("instructions: %zu\n", player.instructions().size());
    std::printf("user enums: %zu\n", ComponentRegistry::instance().enums().user().size());
    if (player.infoMode())
        std::printf("wrote %s\n", kParameterReferenceFile);
    return 0;
}

}  // namespace mirva
