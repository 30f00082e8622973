// The CD driver over the kernel's CD-ROM calls. The device is opened for
// every call, non-blocking (so that an empty drive opens), and closed again.
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "platform/cd/cd_service.hpp"

namespace platform {
namespace {

class Device {
 public:
  explicit Device(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  ~Device() {
    if (fd_ >= 0) close(fd_);
  }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  template <typename... Argument>
  bool Control(unsigned long request, Argument... argument) const {
    return fd_ >= 0 && ioctl(fd_, request, argument...) >= 0;
  }

 private:
  int fd_;
};

int FramesOf(const cdrom_msf0& msf) {
  return (msf.minute * 60 + msf.second) * CD_FRAMES + msf.frame;
}

bool ReadEntry(const Device& device, int track, cdrom_tocentry* entry) {
  *entry = cdrom_tocentry{};
  entry->cdte_track = static_cast<__u8>(track);
  entry->cdte_format = CDROM_MSF;
  return device.Control(CDROMREADTOCENTRY, entry);
}

class LinuxCd final : public CdService {
 public:
  explicit LinuxCd(const char* device) : path_(device) {}
  const char* DriverName() const override { return "linux-cdrom"; }

  bool FSOUND_CD_Play(int track) override {
    const Device device(path_);
    cdrom_tochdr header{};
    if (!device.Control(CDROMREADTOCHDR, &header)) return false;
    if (track < header.cdth_trk0 || track > header.cdth_trk1) return false;
    cdrom_tocentry start, end;
    if (!ReadEntry(device, track, &start) || !ReadEntry(device, CDROM_LEADOUT, &end)) return false;
    if (start.cdte_ctrl & CDROM_DATA_TRACK) return false;
    // The lead-out is the first frame past the disc's audio.
    const int last = FramesOf(end.cdte_addr.msf) - 1;
    cdrom_msf range{};
    range.cdmsf_min0 = start.cdte_addr.msf.minute;
    range.cdmsf_sec0 = start.cdte_addr.msf.second;
    range.cdmsf_frame0 = start.cdte_addr.msf.frame;
    range.cdmsf_min1 = static_cast<__u8>(last / (60 * CD_FRAMES));
    range.cdmsf_sec1 = static_cast<__u8>(last / CD_FRAMES % 60);
    range.cdmsf_frame1 = static_cast<__u8>(last % CD_FRAMES);
    return device.Control(CDROMPLAYMSF, &range);
  }

  bool FSOUND_CD_Stop() override { return Device(path_).Control(CDROMSTOP); }
  bool FSOUND_CD_Eject() override { return Device(path_).Control(CDROMEJECT); }

  int FSOUND_CD_GetTrack() override {
    cdrom_subchnl channel{};
    if (!ReadSubchannel(&channel)) return 0;
    const bool active = channel.cdsc_audiostatus == CDROM_AUDIO_PLAY ||
                        channel.cdsc_audiostatus == CDROM_AUDIO_PAUSED;
    return active ? channel.cdsc_trk : 0;
  }

  bool FSOUND_CD_GetPaused() override {
    cdrom_subchnl channel{};
    return ReadSubchannel(&channel) && channel.cdsc_audiostatus == CDROM_AUDIO_PAUSED;
  }

  bool FSOUND_CD_SetPaused(bool paused) override {
    return Device(path_).Control(paused ? CDROMPAUSE : CDROMRESUME);
  }

 private:
  bool ReadSubchannel(cdrom_subchnl* channel) const {
    channel->cdsc_format = CDROM_MSF;
    return Device(path_).Control(CDROMSUBCHNL, channel);
  }

  std::string path_;
};

}  // namespace

CdService& LinuxCdService() {
  static LinuxCd drive("/dev/cdrom");
  return drive;
}

std::unique_ptr<CdService> MakeLinuxCdService(const char* device) {
  return std::make_unique<LinuxCd>(device);
}

}  // namespace platform
