#include "app/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

#include "io/console.h"
#include "io/surface.h"
#include "player/sound_library.h"

namespace mirva {

namespace {

struct CodecFree {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FormatFree {
    void operator()(AVFormatContext* format) const
    {
        avio_closep(&format->pb);
        avformat_free_context(format);
    }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
using Frame = std::unique_ptr<AVFrame, FrameFree>;

std::string reason(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// An AVDictionary of options that is freed however its user ends.
class Options {
public:
    Options(std::initializer_list<std::pair<const char*, const char*>> entries)
    {
        for (const auto& [key, value] : entries)
            av_dict_set(&dictionary_, key, value, 0);
    }
    ~Options() { av_dict_free(&dictionary_); }
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    AVDictionary** get() { return &dictionary_; }

private:
    AVDictionary* dictionary_ = nullptr;
};

}  // namespace

namespace video {

// The MP4 file: its streams, and the packets interleaved into it.
class Muxer {
public:
    explicit Muxer(const std::string& file) : file_(file)
    {
        AVFormatContext* format = nullptr;
        if (const int code = avformat_alloc_output_context2(&format, nullptr, "mp4", file.c_str()); code < 0)
            cannotWrite(reason(code));
        format_.reset(format);
        if (const int code = avio_open(&format_->pb, file.c_str(), AVIO_FLAG_WRITE); code < 0)
            cannotWrite(reason(code));
    }

    const std::string& file() const { return file_; }
    bool wantsGlobalHeader() const { return (format_->oformat->flags & AVFMT_GLOBALHEADER) != 0; }

    // A stream for the packets of `codec`, which is open.
    AVStream* addStream(const AVCodecContext& codec)
    {
        AVStream* stream = avformat_new_stream(format_.get(), nullptr);
        if (!stream)
            Console::fatal("out of memory");
        stream->time_base = codec.time_base;
        stream->avg_frame_rate = codec.framerate;
        if (const int code = avcodec_parameters_from_context(stream->codecpar, &codec); code < 0)
            cannotWrite(reason(code));
        return stream;
    }
    // After the last stream: the file's header, with the index to go to the front. The
    // movie's own clock counts samples, so the sound track lasts exactly what was mixed.
    void writeHeader()
    {
        Options options{{"movflags", "+faststart"}, {"movie_timescale", "44100"}};
        if (const int code = avformat_write_header(format_.get(), options.get()); code < 0)
            cannotWrite(reason(code));
    }
    // Takes the packet's data; its times count in the stream's time base.
    void write(AVPacket& packet)
    {
        if (const int code = av_interleaved_write_frame(format_.get(), &packet); code < 0)
            failed(code);
    }
    void finish()
    {
        if (const int code = av_write_trailer(format_.get()); code < 0)
            failed(code);
        if (const int code = avio_closep(&format_->pb); code < 0)
            failed(code);
    }

    [[noreturn]] void cannotWrite(const std::string& why) const
    {
        Console::error("render: can't write the video file '%s' (%s)", excerpt(file_).c_str(), why.c_str());
    }
    [[noreturn]] void failed(int code) const
    {
        Console::error("render: writing the video file '%s' failed (%s)", excerpt(file_).c_str(),
                       reason(code).c_str());
    }

private:
    std::string file_;
    std::unique_ptr<AVFormatContext, FormatFree> format_;
};

// A frame with buffers of its own; the caller sets its format and size first.
Frame allocateBuffers(Frame frame, const Muxer& muxer)
{
    if (!frame)
        Console::fatal("out of memory");
    if (const int code = av_frame_get_buffer(frame.get(), 0); code < 0)
        muxer.cannotWrite(reason(code));
    return frame;
}

// One encoder and the stream its packets go to.
class Track {
public:
    Track(Muxer& muxer, const AVCodec& codec)
        : muxer_(muxer), codec_(avcodec_alloc_context3(&codec)), packet_(av_packet_alloc())
    {
        if (!codec_ || !packet_)
            Console::fatal("out of memory");
    }

    // Sends `frame` (null: the end of the track) and writes the packets that come back.
    void send(const AVFrame* frame)
    {
        if (const int code = avcodec_send_frame(codec_.get(), frame); code < 0)
            muxer_.failed(code);
        for (;;) {
            const int code = avcodec_receive_packet(codec_.get(), packet_.get());
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
                return;
            if (code < 0)
                muxer_.failed(code);
            av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            muxer_.write(*packet_);
        }
    }

protected:
    // Opens the encoder set up by the derived track and adds its stream.
    void open(const char* name, Options& options)
    {
        if (muxer_.wantsGlobalHeader())
            codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (const int code = avcodec_open2(codec_.get(), codec_->codec, options.get()); code < 0)
            muxer_.cannotWrite(std::string("the ") + name + " encoder: " + reason(code));
        stream_ = muxer_.addStream(*codec_);
    }

    Muxer& muxer_;
    std::unique_ptr<AVCodecContext, CodecFree> codec_;

private:
    std::unique_ptr<AVPacket, PacketFree> packet_;
    AVStream* stream_ = nullptr;
};

const AVCodec& h264Encoder(const Muxer& muxer)
{
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec)
        muxer.cannotWrite("this FFmpeg has no H.264 encoder (libx264)");
    return *codec;
}

// Screen pictures (A8R8G8B8) to H.264 in 4:2:0, with the BT.709 matrix and video range,
// as the stream says.
class PictureTrack : public Track {
public:
    PictureTrack(Muxer& muxer, const VideoFormat& format) : Track(muxer, h264Encoder(muxer))
    {
        const AVRational rate = av_d2q(format.fps, 100000);
        codec_->width = format.width;
        codec_->height = format.height;
        codec_->pix_fmt = AV_PIX_FMT_YUV420P;
        codec_->time_base = av_inv_q(rate);
        codec_->framerate = rate;
        codec_->color_range = AVCOL_RANGE_MPEG;
        codec_->colorspace = AVCOL_SPC_BT709;
        codec_->color_primaries = AVCOL_PRI_BT709;
        codec_->color_trc = AVCOL_TRC_BT709;
        Options options{{"preset", "veryfast"}, {"crf", "18"}};
        open("H.264", options);

        Frame frame(av_frame_alloc());
        if (frame) {
            frame->format = AV_PIX_FMT_YUV420P;
            frame->width = format.width;
            frame->height = format.height;
        }
        frame_ = allocateBuffers(std::move(frame), muxer);
        scaler_.reset(sws_getContext(format.width, format.height, AV_PIX_FMT_RGB32, format.width, format.height,
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!scaler_)
            muxer.cannotWrite("no conversion from RGB to YUV 4:2:0");
        sws_setColorspaceDetails(scaler_.get(), sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                 sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
    }

    void add(const Surface& picture)
    {
        if (picture.width() != frame_->width || picture.height() != frame_->height)
            Console::error("render: a %d x %d picture for the %d x %d video file '%s'", picture.width(),
                           picture.height(), frame_->width, frame_->height, excerpt(muxer_.file()).c_str());
        if (const int code = av_frame_make_writable(frame_.get()); code < 0)
            muxer_.failed(code);
        const auto* pixels = reinterpret_cast<const std::uint8_t*>(picture.pixels());
        const int stride = picture.width() * 4;
        sws_scale(scaler_.get(), &pixels, &stride, 0, picture.height(), frame_->data, frame_->linesize);
        frame_->pts = next_++;
        send(frame_.get());
    }

private:
    Frame frame_;
    std::unique_ptr<SwsContext, ScalerFree> scaler_;
    std::int64_t next_ = 0;
};

// 16-bit stereo samples to AAC, in the encoder's frames of (usually) 1024 samples; the
// last frame may be shorter.
class SoundTrack : public Track {
public:
    explicit SoundTrack(Muxer& muxer) : Track(muxer, aacEncoder(muxer))
    {
        codec_->sample_fmt = AV_SAMPLE_FMT_FLTP;
        codec_->sample_rate = static_cast<int>(kOutputRate);   // the rate the player mixes at
        codec_->bit_rate = 192000;
        codec_->time_base = {1, codec_->sample_rate};
        av_channel_layout_default(&codec_->ch_layout, 2);
        Options options{};
        open("AAC", options);

        Frame frame(av_frame_alloc());
        if (frame) {
            frame->format = codec_->sample_fmt;
            frame->nb_samples = codec_->frame_size;
            frame->sample_rate = codec_->sample_rate;
            if (const int code = av_channel_layout_copy(&frame->ch_layout, &codec_->ch_layout); code < 0)
                muxer.failed(code);
        }
        frame_ = allocateBuffers(std::move(frame), muxer);
    }

    void add(std::span<const std::int16_t> samples)
    {
        for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
            if (filled_ == 0)
                if (const int code = av_frame_make_writable(frame_.get()); code < 0)
                    muxer_.failed(code);
            reinterpret_cast<float*>(frame_->data[0])[filled_] = samples[i] / 32768.0f;
            reinterpret_cast<float*>(frame_->data[1])[filled_] = samples[i + 1] / 32768.0f;
            if (++filled_ == frame_->nb_samples)
                sendFrame();
        }
    }
    // The samples that do not fill a frame, then the end.
    void finish()
    {
        if (filled_ > 0) {
            frame_->nb_samples = filled_;
            sendFrame();
        }
        send(nullptr);
    }

private:
    static const AVCodec& aacEncoder(const Muxer& muxer)
    {
        const AVCodec* codec = avcodec_find_encoder_by_name("aac");
        if (!codec)
            muxer.cannotWrite("this FFmpeg has no AAC encoder");
        return *codec;
    }
    void sendFrame()
    {
        frame_->pts = sent_;
        sent_ += filled_;
        filled_ = 0;
        send(frame_.get());
    }

    Frame frame_;
    int filled_ = 0;
    std::int64_t sent_ = 0;
};

}  // namespace video

VideoEncoder::VideoEncoder(const std::string& file, const VideoFormat& format)
{
    // FFmpeg's own lines would break the progress line; its errors come back as codes.
    av_log_set_level(AV_LOG_ERROR);
    muxer_ = std::make_unique<video::Muxer>(file);
    pictures_ = std::make_unique<video::PictureTrack>(*muxer_, format);
    if (format.sound)
        sound_ = std::make_unique<video::SoundTrack>(*muxer_);
    muxer_->writeHeader();
}

VideoEncoder::~VideoEncoder() = default;

void VideoEncoder::addPicture(const Surface& frame)
{
    pictures_->add(frame);
}

void VideoEncoder::addSamples(std::span<const std::int16_t> samples)
{
    if (sound_)
        sound_->add(samples);
}

void VideoEncoder::finish()
{
    pictures_->send(nullptr);
    if (sound_)
        sound_->finish();
    muxer_->finish();
}

}  // namespace mirva
