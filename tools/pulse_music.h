#pragma once
// The show's small test tune, "music/pulse.mod": four ProTracker channels at speed 6,
// tempo 125 (a row lasts 0.12 s, an order 7.68 s), six orders, about 46 seconds. Its
// instruments are numbered for scripts that listen to them:
//   1 kick   rows 0, 8, 16, ... of every order (channel 0)
//   2 hat    every 4 rows from row 2, from order 1 on (channel 1)
//   3 bass   every 4 rows from row 0, from order 1 on (channel 2)
//   4 lead   a tune on every 8th row from row 4, in orders 3 and 4 (channel 3)
// Orders: intro, groove, groove, lead, lead, groove.
//
// `mirva_compose_music data/music/pulse.mod` writes it; a test checks that the committed
// file is what this composes.
#include "tools/module_writer.h"

namespace mirva {

ModuleWriter composePulse();

}  // namespace mirva
