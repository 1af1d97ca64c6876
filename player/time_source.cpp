#include "player/time_source.h"

#include "player/sample_triggers.h"

namespace mirva {

namespace {

// What a script without a module has as its music: no channel.
constexpr HMUSIC kNoMusic = 0;

}  // namespace

void TimeSource::setSampleSync(int sample, SampleTriggers& triggers)
{
    triggers.setSync(kNoMusic, sample);
}

void TimeSource::removeSampleSync(int /*sample*/)
{
    SampleTriggers::removeSync(kNoMusic, 0);
}

}  // namespace mirva
