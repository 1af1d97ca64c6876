#pragma once
// The program's priority: realtime while the show runs with the setup dialog's realtime
// option, normal before every rebuild, dialog, shutdown and fatal error.
//
// Best effort on Linux: realtime is round-robin scheduling of the main thread where the
// system permits it (a capability or an rtprio limit), otherwise the lowest nice value
// permitted; neither failing is an error. Normal puts back what the thread had before.
namespace mirva {

enum class Priority { Normal, Realtime, Raised };

// Asks for realtime priority; says what the thread got (Raised: a better nice value only,
// Normal: nothing was permitted).
Priority setRealtimePriority();
void setNormalPriority();

}  // namespace mirva
