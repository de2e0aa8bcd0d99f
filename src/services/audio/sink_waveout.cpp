// waveOut sink (Windows): one stream on the wave mapper (the default device) through winmm,
// fed from a ring of fixed blocks; an event object wakes the writer when a block is done
// playing or when Interrupt is called.
// https://learn.microsoft.com/windows/win32/multimedia/using-the-waveformatex-structure
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <vector>

#include "services/audio/pcm_sink.h"

namespace autoshutdown::audio {
namespace {

// Four blocks of about 60 ms each: enough to ride out scheduling delays, little to flush.
constexpr int kBlockCount = 4;
constexpr DWORD kBlockMilliseconds = 60;

class WaveOutSink final : public PcmSink {
 public:
  // A sink with its wake-up event, or nullptr.
  static std::unique_ptr<WaveOutSink> Create() {
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!wake) return nullptr;
    return std::unique_ptr<WaveOutSink>(new WaveOutSink(wake));
  }

  ~WaveOutSink() override {
    if (device_) {
      waveOutReset(device_);
      for (Block& block : blocks_) Unprepare(block);
      waveOutClose(device_);
    }
    CloseHandle(wake_);
  }

  WaveOutSink(const WaveOutSink&) = delete;
  WaveOutSink& operator=(const WaveOutSink&) = delete;

  bool Open(const PcmFormat& format) override {
    if (interrupted_) return false;
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = static_cast<DWORD>(format.rate);
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = static_cast<WORD>(format.channels * sizeof(std::int16_t));
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    // No waveOutSetVolume anywhere: the device plays at the volume the user set.
    if (waveOutOpen(&device_, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(wake_), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      device_ = nullptr;
      return false;
    }
    const std::size_t frames = wave.nSamplesPerSec * kBlockMilliseconds / 1000;
    for (Block& block : blocks_) block.samples.resize(frames * format.channels);
    return true;
  }

  bool Write(std::span<const std::int16_t> samples) override {
    while (!samples.empty()) {
      Block& block = blocks_[next_];
      if (!AwaitFree(block)) return false;
      const std::size_t count = std::min(samples.size(), block.samples.size() - block.filled);
      std::memcpy(block.samples.data() + block.filled, samples.data(),
                  count * sizeof(std::int16_t));
      block.filled += count;
      samples = samples.subspan(count);
      if (block.filled == block.samples.size() && !Submit(block)) return false;
    }
    return true;
  }

  bool Drain() override {
    Block& partial = blocks_[next_];
    if (partial.filled > 0 && !Submit(partial)) return false;
    for (Block& block : blocks_) {
      if (!AwaitFree(block)) return false;
    }
    return true;
  }

  bool Flush() override {
    interrupted_ = false;
    // Returns every queued block as done at once.
    if (waveOutReset(device_) != MMSYSERR_NOERROR) return false;
    for (Block& block : blocks_) {
      Unprepare(block);
      block.filled = 0;
    }
    next_ = 0;
    return true;
  }

  void Interrupt() override {
    interrupted_ = true;
    SetEvent(wake_);
  }

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<std::int16_t> samples;
    std::size_t filled = 0;
    bool queued = false;
  };

  explicit WaveOutSink(HANDLE wake) : wake_(wake) {}

  // Waits until `block` is neither queued nor playing. False on Interrupt.
  bool AwaitFree(Block& block) {
    while (block.queued && !(block.header.dwFlags & WHDR_DONE)) {
      if (interrupted_) return false;
      WaitForSingleObject(wake_, INFINITE);
    }
    if (interrupted_) return false;
    Unprepare(block);
    return true;
  }

  bool Submit(Block& block) {
    block.header = WAVEHDR{};
    block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
    block.header.dwBufferLength = static_cast<DWORD>(block.filled * sizeof(std::int16_t));
    if (waveOutPrepareHeader(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
      return false;
    }
    block.queued = true;
    if (waveOutWrite(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
      Unprepare(block);
      return false;
    }
    block.filled = 0;
    next_ = (next_ + 1) % kBlockCount;
    return true;
  }

  void Unprepare(Block& block) {
    if (!block.queued) return;
    waveOutUnprepareHeader(device_, &block.header, sizeof block.header);
    block.queued = false;
  }

  const HANDLE wake_;
  HWAVEOUT device_ = nullptr;
  std::array<Block, kBlockCount> blocks_;
  std::size_t next_ = 0;
  std::atomic<bool> interrupted_ = false;
};

}  // namespace

std::unique_ptr<PcmSink> CreatePlatformSink() { return WaveOutSink::Create(); }

}  // namespace autoshutdown::audio
