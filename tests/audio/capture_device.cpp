#include "capture_device.h"

#include <algorithm>
#include <memory>
#include <thread>

namespace autoshutdown::audio {

class CaptureDevice::Sink final : public PcmSink {
 public:
  explicit Sink(CaptureDevice& device) : device_(device) {
    std::lock_guard lock(device_.mutex_);
    ++device_.made_;
    ++device_.alive_;
  }

  ~Sink() override {
    std::lock_guard lock(device_.mutex_);
    --device_.alive_;
    device_.cut_off_ += undrained_;
  }

  bool Open(const PcmFormat& format) override {
    std::lock_guard lock(device_.mutex_);
    if (interrupted_ || device_.fail_open_ || device_.refused_rate_ == format.rate) return false;
    device_.opened_.push_back(format);
    return true;
  }

  bool Write(std::span<const std::int16_t> samples) override {
    std::unique_lock lock(device_.mutex_);
    if (interrupted_) return false;
    std::size_t room = samples.size();
    if (device_.stall_after_) {
      room = *device_.stall_after_ > device_.heard_.size()
                 ? std::min(room, *device_.stall_after_ - device_.heard_.size())
                 : 0;
    }
    device_.heard_.insert(device_.heard_.end(), samples.begin(), samples.begin() + room);
    undrained_ += room;
    if (room == samples.size()) return true;
    ++device_.stalled_;
    device_.changed_.wait(lock, [&] { return interrupted_; });
    --device_.stalled_;
    return false;
  }

  bool Drain() override {
    std::lock_guard lock(device_.mutex_);
    if (interrupted_) return false;
    undrained_ = 0;
    return true;
  }

  bool Flush() override {
    std::lock_guard lock(device_.mutex_);
    interrupted_ = false;
    undrained_ = 0;
    return true;
  }

  void Interrupt() override {
    std::lock_guard lock(device_.mutex_);
    interrupted_ = true;
    device_.changed_.notify_all();
  }

 private:
  CaptureDevice& device_;
  // Guarded by the device's mutex.
  bool interrupted_ = false;
  std::size_t undrained_ = 0;
};

SinkFactory CaptureDevice::Factory() {
  return [this] { return std::make_unique<Sink>(*this); };
}

void CaptureDevice::FailOpen(bool fail) {
  std::lock_guard lock(mutex_);
  fail_open_ = fail;
}

void CaptureDevice::RefuseRate(std::optional<long> rate) {
  std::lock_guard lock(mutex_);
  refused_rate_ = rate;
}

void CaptureDevice::StallAfter(std::optional<std::size_t> samples) {
  std::lock_guard lock(mutex_);
  stall_after_ = samples;
}

std::vector<std::int16_t> CaptureDevice::Heard() const {
  std::lock_guard lock(mutex_);
  return heard_;
}

std::vector<PcmFormat> CaptureDevice::OpenedFormats() const {
  std::lock_guard lock(mutex_);
  return opened_;
}

std::size_t CaptureDevice::CutOffAtClose() const {
  std::lock_guard lock(mutex_);
  return cut_off_;
}

int CaptureDevice::SinksMade() const {
  std::lock_guard lock(mutex_);
  return made_;
}

int CaptureDevice::SinksAlive() const {
  std::lock_guard lock(mutex_);
  return alive_;
}

bool CaptureDevice::Stalled() const {
  std::lock_guard lock(mutex_);
  return stalled_ > 0;
}

bool CaptureDevice::WaitUntil(const std::function<bool()>& condition,
                              std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool CaptureDevice::WaitUntilAllClosed() {
  return WaitUntil([this] { return SinksMade() > 0 && SinksAlive() == 0; });
}

}  // namespace autoshutdown::audio
