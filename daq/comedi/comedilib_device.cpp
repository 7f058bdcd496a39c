// The seam over comedilib: every call of comedi_device.h maps onto the
// library call of the same name. The device file is switched to
// non-blocking, so reads and writes of a running command never wait; the
// backend does its own waiting, bounded by its time-outs.
#include <comedilib.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "daq/comedi/comedi_device.h"

namespace tsm::daq::comedi {

static_assert(kSubdeviceAnalogInput == COMEDI_SUBD_AI && kSubdeviceAnalogOutput == COMEDI_SUBD_AO);
static_assert(kSdfCmdWrite == SDF_CMD_WRITE && kSdfCmdRead == SDF_CMD_READ &&
              kSdfGround == SDF_GROUND && kSdfCommon == SDF_COMMON && kSdfDiff == SDF_DIFF &&
              kSdfOther == SDF_OTHER && kSdfLsampl == SDF_LSAMPL);
static_assert(kArefGround == AREF_GROUND && kArefCommon == AREF_COMMON &&
              kArefDiff == AREF_DIFF && kArefOther == AREF_OTHER);
static_assert(kTrigNone == TRIG_NONE && kTrigNow == TRIG_NOW && kTrigFollow == TRIG_FOLLOW &&
              kTrigTimer == TRIG_TIMER && kTrigCount == TRIG_COUNT && kTrigInt == TRIG_INT &&
              kCmdfWrite == CMDF_WRITE);
static_assert(kUnitVolt == UNIT_volt);
static_assert(PackChannel(5, 3, 2) == CR_PACK(5, 3, 2));

namespace {

std::string Text(const char* s) { return s ? s : ""; }

class ComedilibDevice : public Device {
 public:
  explicit ComedilibDevice(comedi_t* device) : device_(device) {}
  ~ComedilibDevice() override { comedi_close(device_); }

  std::string BoardName() override { return Text(comedi_get_board_name(device_)); }
  std::string DriverName() override { return Text(comedi_get_driver_name(device_)); }
  int VersionCode() override { return Check(comedi_get_version_code(device_)); }

  int FindSubdevice(int type) override {
    return Check(comedi_find_subdevice_by_type(device_, type, 0));
  }
  int SubdeviceFlags(unsigned subdevice) override {
    return Check(comedi_get_subdevice_flags(device_, subdevice));
  }
  int ChannelCount(unsigned subdevice) override {
    return Check(comedi_get_n_channels(device_, subdevice));
  }
  std::uint32_t MaxData(unsigned subdevice, unsigned channel) override {
    const lsampl_t maxdata = comedi_get_maxdata(device_, subdevice, channel);
    if (maxdata == 0) lastError_ = comedi_errno();
    return maxdata;
  }
  int RangeCount(unsigned subdevice, unsigned channel) override {
    return Check(comedi_get_n_ranges(device_, subdevice, channel));
  }
  bool GetRange(unsigned subdevice, unsigned channel, unsigned range, Range* out) override {
    const comedi_range* r = comedi_get_range(device_, subdevice, channel, range);
    if (!r) {
      lastError_ = comedi_errno();
      return false;
    }
    *out = Range{r->min, r->max, r->unit};
    return true;
  }

  int DataReadDelayed(unsigned subdevice, unsigned channel, unsigned range, unsigned aref,
                      std::uint32_t* sample, unsigned settlingNs) override {
    lsampl_t data = 0;
    const int r =
        comedi_data_read_delayed(device_, subdevice, channel, range, aref, &data, settlingNs);
    *sample = data;
    return Check(r);
  }
  int DataWrite(unsigned subdevice, unsigned channel, unsigned range, unsigned aref,
                std::uint32_t sample) override {
    return Check(comedi_data_write(device_, subdevice, channel, range, aref, sample));
  }

  int GetCmdGenericTimed(unsigned subdevice, Command* cmd, unsigned chanlistLength,
                         unsigned scanPeriodNs) override {
    comedi_cmd c;
    std::memset(&c, 0, sizeof c);
    const int r =
        Check(comedi_get_cmd_generic_timed(device_, subdevice, &c, chanlistLength, scanPeriodNs));
    if (r >= 0) FromComedi(c, cmd);
    return r;
  }
  int CommandTest(Command* cmd) override {
    std::vector<unsigned> chanlist = cmd->chanlist;
    comedi_cmd c = ToComedi(*cmd, chanlist);
    const int r = Check(comedi_command_test(device_, &c));
    FromComedi(c, cmd);
    return r;
  }
  int StartCommand(Command* cmd) override {
    // Reads and writes of the device file go to its read and write
    // subdevices; the command's subdevice becomes the one it needs.
    const bool output = (cmd->flags & kCmdfWrite) != 0;
    const int current = output ? comedi_get_write_subdevice(device_)
                               : comedi_get_read_subdevice(device_);
    if (current != static_cast<int>(cmd->subdevice)) {
      const int r = output ? comedi_set_write_subdevice(device_, cmd->subdevice)
                           : comedi_set_read_subdevice(device_, cmd->subdevice);
      if (Check(r) < 0) return r;
    }
    std::vector<unsigned> chanlist = cmd->chanlist;
    comedi_cmd c = ToComedi(*cmd, chanlist);
    return Check(comedi_command(device_, &c));
  }
  int Cancel(unsigned subdevice) override { return Check(comedi_cancel(device_, subdevice)); }
  int InternalTrigger(unsigned subdevice, unsigned trigger) override {
    return Check(comedi_internal_trigger(device_, subdevice, trigger));
  }
  int BufferContents(unsigned subdevice) override {
    return Check(comedi_get_buffer_contents(device_, subdevice));
  }
  int BufferSize(unsigned subdevice) override {
    return Check(comedi_get_buffer_size(device_, subdevice));
  }

  long Read(void* buffer, std::size_t bytes) override {
    const ssize_t n = ::read(comedi_fileno(device_), buffer, bytes);
    if (n > 0) return static_cast<long>(n);
    if (n == 0) return kReadEnded;
    if (errno == EAGAIN || errno == EINTR) return 0;
    lastError_ = errno;
    return -1;
  }
  long Write(const void* buffer, std::size_t bytes) override {
    const ssize_t n = ::write(comedi_fileno(device_), buffer, bytes);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EAGAIN || errno == EINTR) return 0;
    lastError_ = errno;
    return -1;
  }

  int LastError() override { return lastError_; }
  // comedi_strerror knows the system's error numbers as well as its own.
  std::string ErrorText(int error) override { return Text(comedi_strerror(error)); }

 private:
  int Check(int result) {
    if (result < 0) lastError_ = comedi_errno();
    return result;
  }

  static comedi_cmd ToComedi(const Command& in, std::vector<unsigned>& chanlist) {
    comedi_cmd c;
    std::memset(&c, 0, sizeof c);
    c.subdev = in.subdevice;
    c.flags = in.flags;
    c.start_src = in.startSrc;
    c.start_arg = in.startArg;
    c.scan_begin_src = in.scanBeginSrc;
    c.scan_begin_arg = in.scanBeginArg;
    c.convert_src = in.convertSrc;
    c.convert_arg = in.convertArg;
    c.scan_end_src = in.scanEndSrc;
    c.scan_end_arg = in.scanEndArg;
    c.stop_src = in.stopSrc;
    c.stop_arg = in.stopArg;
    c.chanlist = chanlist.empty() ? nullptr : chanlist.data();
    c.chanlist_len = static_cast<unsigned>(chanlist.size());
    return c;
  }
  static void FromComedi(const comedi_cmd& c, Command* out) {
    out->subdevice = c.subdev;
    out->flags = c.flags;
    out->startSrc = c.start_src;
    out->startArg = c.start_arg;
    out->scanBeginSrc = c.scan_begin_src;
    out->scanBeginArg = c.scan_begin_arg;
    out->convertSrc = c.convert_src;
    out->convertArg = c.convert_arg;
    out->scanEndSrc = c.scan_end_src;
    out->scanEndArg = c.scan_end_arg;
    out->stopSrc = c.stop_src;
    out->stopArg = c.stop_arg;
  }

  comedi_t* device_;
  int lastError_ = 0;
};

class Comedilib : public Library {
 public:
  std::unique_ptr<Device> Open(const std::string& path, std::string* error) override {
    comedi_t* device = comedi_open(path.c_str());
    if (!device) {
      if (error) *error = Text(comedi_strerror(comedi_errno()));
      return nullptr;
    }
    const int fd = comedi_fileno(device);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
      if (error) *error = std::string("cannot make the device non-blocking: ") + std::strerror(errno);
      comedi_close(device);
      return nullptr;
    }
    return std::make_unique<ComedilibDevice>(device);
  }
};

}  // namespace

std::unique_ptr<Library> MakeComedilib() {
  // The backend reports failures itself; the library stays quiet.
  comedi_loglevel(0);
  return std::make_unique<Comedilib>();
}

}  // namespace tsm::daq::comedi
