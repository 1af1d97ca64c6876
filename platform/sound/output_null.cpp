// The null device: no sound card, yet the music keeps time. A thread mixes what the wall
// clock says is due every few milliseconds and drops it.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/sound/mixer.h"
#include "platform/sound/output.h"

namespace mirva {

namespace {

constexpr std::size_t kBlockFrames = 512;
constexpr std::chrono::milliseconds kPeriod(5);

class NullOutput : public Output {
public:
    NullOutput(Mixer& mixer, DWORD freq) : mixer_(mixer), freq_(freq) {}
    ~NullOutput() override { stop(); }

    SoundOutput::Kind kind() const override { return SoundOutput::Kind::Null; }
    void start() override
    {
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    void stop() override
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

private:
    void run()
    {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point begin = Clock::now();
        std::vector<float> buffer(kBlockFrames * 2);
        std::uint64_t mixed = 0;
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, kPeriod, [this] { return stopping_; })) {
            lock.unlock();
            const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            const auto due = static_cast<std::uint64_t>(seconds * freq_);
            while (mixed < due) {
                const std::size_t frames = static_cast<std::size_t>(std::min<std::uint64_t>(due - mixed, kBlockFrames));
                mixer_.mix(buffer.data(), frames);
                mixed += frames;
            }
            lock.lock();
        }
    }

    Mixer& mixer_;
    DWORD freq_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<Output> openNullOutput(Mixer& mixer, DWORD freq)
{
    return std::make_unique<NullOutput>(mixer, freq);
}

}  // namespace mirva
