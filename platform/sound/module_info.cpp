#include "platform/sound/module_info.h"

#include <libopenmpt/libopenmpt.hpp>

#include "platform/sound/music_channel.h"

namespace mirva {

std::optional<ModuleInfo> describeModule(const void* data, std::size_t size)
{
    const std::unique_ptr<openmpt::module> module = MusicChannel::open(data, size);
    if (!module)
        return std::nullopt;
    ModuleInfo info;
    info.format = module->get_metadata("type");
    info.formatName = module->get_metadata("type_long");
    info.title = module->get_metadata("title");
    info.channels = module->get_num_channels();
    info.orders = module->get_num_orders();
    info.patterns = module->get_num_patterns();
    info.samples = module->get_num_samples();
    info.instruments = module->get_num_instruments() > 0 ? module->get_num_instruments() : info.samples;
    info.seconds = module->get_duration_seconds();
    return info;
}

std::optional<ModulePosition> modulePositionAt(const void* data, std::size_t size, double seconds)
{
    const std::unique_ptr<openmpt::module> module = MusicChannel::open(data, size);
    if (!module || !(seconds >= 0.0) || seconds >= module->get_duration_seconds())
        return std::nullopt;
    module->set_position_seconds(seconds);
    return ModulePosition{module->get_current_order(), module->get_current_row()};
}

}  // namespace mirva
