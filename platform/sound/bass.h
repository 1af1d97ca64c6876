#pragma once
// The sound library: tracker modules and audio streams mixed into one stereo output, with
// synchronizers that call back when a module plays an instrument or a channel ends.
//
// It keeps the calls, handles, synchronizer types and error codes of the 1.x interface of
// the library the show was written for, so the time sources read as they were designed.
// Behind it: libopenmpt plays MOD, XM, S3M and IT modules, libsndfile decodes WAV and MPEG
// audio (MP3, MP2, MP1), SDL2 audio plays the mix (see sound_output.h for the outputs).
//
// Order of use:
//   BASS_Init(-1, 44100, 0, window)              open the output
//   BASS_MusicLoad(false, "song.xm", 0, 0, 0x20)  or BASS_StreamCreateFile(...)
//   BASS_Start()                                  start the output
//   BASS_MusicSetPositionScaler(music, 256)
//   BASS_MusicPlay(music)                         or BASS_StreamPlay(stream, true, 0)
//   BASS_ChannelSetSync / GetPosition / SetPosition / RemoveSync / Stop ...
//   BASS_Free()                                   stop the output, free every channel
// A failed call returns false, 0 or -1 and leaves its code for BASS_ErrorGetCode (0 after
// a success); bassErrorText turns a code into the text the program quotes.
//
// Threads: the mixer runs on its own thread (the sound card's or the null device's) or,
// offline, on the thread that pulls the samples. Synchronizer callbacks run there, while
// the library is locked: they may call the library (set the position, remove synchronizers,
// stop the channel) but never BASS_Free, and whatever they share with other threads must be
// guarded by the caller. Every call is safe from any thread.
//
// Module positions: the low 16 bits are the order, the high 16 bits the row times the
// position scaler plus the fraction of the row in 1/scaler steps (scaler 1 until set).
// Stream positions and lengths are in bytes of 16-bit stereo at the output rate.
//
// Does not: know about scripts, times or the used-files list, or report fatal errors.
#include <cstdint>

namespace mirva {

using DWORD = std::uint32_t;
using HMUSIC = DWORD;     // a module channel
using HSTREAM = DWORD;    // an audio-stream channel
using HCHANNEL = DWORD;   // either of them
using HSYNC = DWORD;

// Called on the mixing thread: (synchronizer, channel, data, user value). For an
// instrument synchronizer the data is the note in the low 16 bits (0 = C-0) and the note's
// volume (0..64) in the high 16 bits.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);

// Devices for BASS_Init.
inline constexpr int BASS_DEVICE_DEFAULT = -1;   // the output SoundOutput::choose picked
inline constexpr int BASS_DEVICE_NOSOUND = 0;    // the null device: silence in real time

// Synchronizer types.
inline constexpr DWORD BASS_SYNC_MUSICINST = 1;   // param: instrument | note << 16 (0xFFFF = any)
inline constexpr DWORD BASS_SYNC_END = 2;         // param: 0

// Error codes.
inline constexpr int BASS_OK = 0;
inline constexpr int BASS_ERROR_MEM = 1;
inline constexpr int BASS_ERROR_FILEOPEN = 2;
inline constexpr int BASS_ERROR_DRIVER = 3;
inline constexpr int BASS_ERROR_BUFLOST = 4;
inline constexpr int BASS_ERROR_HANDLE = 5;
inline constexpr int BASS_ERROR_FORMAT = 6;
inline constexpr int BASS_ERROR_INIT = 8;
inline constexpr int BASS_ERROR_START = 9;
inline constexpr int BASS_ERROR_ALREADY = 14;
inline constexpr int BASS_ERROR_ILLTYPE = 19;
inline constexpr int BASS_ERROR_ILLPARAM = 20;
inline constexpr int BASS_ERROR_NO3D = 21;
inline constexpr int BASS_ERROR_DEVICE = 23;
inline constexpr int BASS_ERROR_NOPLAY = 24;
inline constexpr int BASS_ERROR_NOA3D = 26;
inline constexpr int BASS_ERROR_NOSYNC = 30;
inline constexpr int BASS_ERROR_NOPAUSE = 34;
inline constexpr int BASS_ERROR_FILEFORM = 41;   // the file is no module or audio we play

// Opens the output at `freq` Hz stereo. Flags and window are accepted and unused.
bool BASS_Init(int device, DWORD freq, DWORD flags, void* window);
// Loads a MOD, XM, S3M or IT module: from the file named by `file` (mem false) or from
// `length` bytes of memory at `file` (mem true). For a file, `offset` skips its first bytes
// and `length` 0 reads to its end. Flags are accepted and unused: a module plays once.
HMUSIC BASS_MusicLoad(bool mem, const void* file, DWORD offset, DWORD length, DWORD flags);
// Opens a WAV or MPEG audio stream the same way. Flags are accepted and unused.
HSTREAM BASS_StreamCreateFile(bool mem, const void* file, DWORD offset, DWORD length, DWORD flags);
// Starts the output; channels play only after it.
bool BASS_Start();
// Scale 1..256.
bool BASS_MusicSetPositionScaler(HMUSIC handle, DWORD scale);
// Plays from the current position; a module that has played to its end starts again.
bool BASS_MusicPlay(HMUSIC handle);
// Plays the stream; with flush it starts from its beginning. Flags are unused.
bool BASS_StreamPlay(HSTREAM handle, bool flush, DWORD flags);
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc, void* user);
bool BASS_ChannelRemoveSync(DWORD handle, HSYNC sync);
// -1 on failure.
DWORD BASS_ChannelGetPosition(DWORD handle);
// Module: order in the low 16 bits, row in the high 16 bits (0 = the start). Stream: bytes.
bool BASS_ChannelSetPosition(DWORD handle, DWORD position);
bool BASS_ChannelStop(DWORD handle);
// Stops a playing channel where it is (BASS_ERROR_NOPLAY when it is not playing) ...
bool BASS_ChannelPause(DWORD handle);
// ... and plays it on from there (BASS_ERROR_NOPAUSE when it is not paused).
bool BASS_ChannelResume(DWORD handle);
// 1 while the channel plays, 0 when it is stopped or has ended.
DWORD BASS_ChannelIsActive(DWORD handle);
// The number of orders; -1 on failure.
DWORD BASS_MusicGetLength(HMUSIC handle);
// Bytes of 16-bit stereo at the output rate; -1 on failure.
DWORD BASS_StreamGetLength(HSTREAM handle);
// The code of the calling thread's last call.
int BASS_ErrorGetCode();
// Stops the output and frees every channel and synchronizer.
void BASS_Free();

// The text the program quotes for an error code ("Some other mystery problem!" for codes
// without one of their own).
const char* bassErrorText(int code);

}  // namespace mirva
