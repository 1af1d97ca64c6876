#pragma once
// The show's music, "music/divido.mod": an electronic piece in A minor on eight ProTracker
// channels ("8CHN") at speed 6, tempo 125. A row lasts 0.12 s, an order (64 rows) 7.68 s;
// twenty orders, 153.6 s. Every order has its own pattern.
//
// Instruments, one channel each, numbered for scripts that listen to them:
//   1 kick   rows 0, 8, 16, ... wherever drums play      (channel 0)
//   2 snare  rows 8, 24, 40, 56 from order 5; rolls       (channel 1)
//   3 hat    off-beats, busier in the finale              (channel 2)
//   4 bass   eighth notes on the chord roots              (channel 3)
//   5 lead   the melodies                                 (channel 4)
//   6 pad    one chord every 16 rows                      (channel 5)
//   7 arp    sixteenth-note arpeggios of the chords       (channel 6)
//   8 crash  row 0 of orders 2, 5, 8, 12, 17 and 19       (channel 7)
//
// Orders (0-based), four chords of 16 rows each, Am F C G unless said:
//   0-1    intro: pad and arp, no drums
//   2-4    "flowers": kick, hat, bass, pad
//   5-7    "feedback": snare and arp join; a lead call in 6-7
//   8-10   "flight": the full groove and the lead melody
//   11     break: the pad alone (Dm F G E) and a snare roll over the last 16 rows, no kick
//   12-14  "painted": the full groove on F G Em Am with a new melody
//   15-16  breakdown: bass and arp, no kick; a snare roll over the last 8 rows of 16
//   17-18  finale: everything, sixteenth-note hats, the melody again
//   19     outro: the Am chord fading out, the kick and a crash on row 0 only
//
// `mirva_compose_music --divido data/music/divido.mod` writes it; a test checks that the
// committed file is what this composes.
#include "tools/module_writer.h"

namespace mirva {

ModuleWriter composeDivido();

}  // namespace mirva
