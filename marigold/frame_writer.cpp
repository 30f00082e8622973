#include "marigold/frame_writer.hpp"

#include <utility>

#include "platform/png/png_service.hpp"

namespace marigold {
namespace {

// Frames waiting beside the one being written: enough to ride out a slow
// file, few enough to keep memory small at large sizes.
constexpr size_t kMaxQueued = 2;

}  // namespace

FrameWriter::FrameWriter(int width, int height)
    : width_(width), height_(height), thread_([this] { Run(); }) {}

FrameWriter::~FrameWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool FrameWriter::Write(std::string path, const std::vector<uint8_t>& rgb) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queued_.size() < kMaxQueued || !failedPath_.empty(); });
  if (!failedPath_.empty()) return false;
  std::vector<uint8_t> copy;
  if (!spare_.empty()) {
    copy = std::move(spare_.back());
    spare_.pop_back();
  }
  copy.assign(rgb.begin(), rgb.end());
  queued_.push_back({std::move(path), std::move(copy)});
  lock.unlock();
  changed_.notify_all();
  return true;
}

bool FrameWriter::Finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (queued_.empty() && !busy_) || !failedPath_.empty(); });
  return failedPath_.empty();
}

std::string FrameWriter::failedPath() {
  std::lock_guard lock(mutex_);
  return failedPath_;
}

void FrameWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queued_.empty() || stopping_; });
    if (!failedPath_.empty()) queued_.clear();
    if (queued_.empty()) {
      if (stopping_) return;
      continue;
    }
    Job job = std::move(queued_.front());
    queued_.pop_front();
    busy_ = true;
    lock.unlock();
    const bool written = platform::WritePngFile(job.path.c_str(), width_, height_, job.rgb.data(),
                                                platform::PngCompression::Fast) == platform::kPngOk;
    lock.lock();
    busy_ = false;
    if (!written && failedPath_.empty()) failedPath_ = job.path;
    spare_.push_back(std::move(job.rgb));
    changed_.notify_all();
  }
}

}  // namespace marigold
