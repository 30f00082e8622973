// Writes the captured frames as PNG files on a thread of its own, so that a
// frame is encoded while the next ones are drawn. Files are written in the
// order given; after the first failure nothing more is written.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace marigold {

class FrameWriter {
 public:
  // Frames of width x height R, G, B bytes, rows from the top.
  FrameWriter(int width, int height);
  ~FrameWriter();  // writes what is queued, then stops
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // Queues a copy of `rgb` as the file `path`, waiting while the queue is
  // full. False once a file could not be written.
  bool Write(std::string path, const std::vector<uint8_t>& rgb);
  // Waits until every queued file is written; false when one failed.
  bool Finish();
  // The first file that could not be written.
  std::string failedPath();

 private:
  struct Job {
    std::string path;
    std::vector<uint8_t> rgb;
  };
  void Run();

  const int width_;
  const int height_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> queued_;
  std::vector<std::vector<uint8_t>> spare_;  // written buffers, reused
  bool busy_ = false;                        // the thread is writing a file
  bool stopping_ = false;
  std::string failedPath_;
  std::thread thread_;
};

}  // namespace marigold
