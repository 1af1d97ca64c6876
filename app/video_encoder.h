#pragma once
// VideoEncoder: rendered frames and their sound straight into an MP4 file, with FFmpeg's
// libraries. Pictures become H.264 (libx264, 4:2:0, CRF 18, BT.709 colours), the sound
// AAC (FFmpeg's own encoder, 44100 Hz stereo, 192 kb/s); the index ("moov") is moved to
// the front when the file is finished, so players and browsers can start at once.
//
//   VideoEncoder video("show.mp4", {.width = 640, .height = 480, .fps = 60, .sound = true});
//   video.addPicture(frame);      // frame k shows from k/fps seconds on
//   video.addSamples(samples);    // interleaved 16-bit stereo, in any amounts
//   video.finish();               // the encoders' last packets and the index
//
// The file is MP4 whatever its name ends with. Timestamps are exact for any frame rate
// that is a fraction with a denominator up to 100000 (29.97 is 2997/100). Every failure is
// fatal, naming the file and FFmpeg's reason; everything FFmpeg holds is freed on every
// path, and a file that is never finished stays incomplete.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace mirva {

class Surface;

// The parts of the encoder (app/video_encoder.cpp).
namespace video {
class Muxer;
class PictureTrack;
class SoundTrack;
}  // namespace video

struct VideoFormat {
    int width = 640, height = 480;   // even, as 4:2:0 needs
    double fps = 60.0;
    bool sound = false;              // an AAC track besides the pictures
};

class VideoEncoder {
public:
    // Opens the file, sets up the encoders and writes the file's header.
    VideoEncoder(const std::string& file, const VideoFormat& format);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The next picture, of the format's size.
    void addPicture(const Surface& frame);
    // The next samples of the sound (only with `sound`): left, right, left, ...
    void addSamples(std::span<const std::int16_t> samples);
    // Encodes what is still held back and completes the file. Nothing may be added after.
    void finish();

private:
    std::unique_ptr<video::Muxer> muxer_;   // the tracks' streams live in the muxer
    std::unique_ptr<video::PictureTrack> pictures_;
    std::unique_ptr<video::SoundTrack> sound_;
};

}  // namespace mirva
