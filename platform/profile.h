// Profile (INI) files with the semantics the settings code was designed
// around: section and key names compare case-insensitively, writing creates
// the file, the section and the key as needed and keeps every other line, a
// missing file reads as all defaults. The files used last are cached and
// revalidated on every call by the file's identity (device, inode), size and
// modification time, so loading or saving a whole settings file does not
// re-read it per key, yet a change made behind our back is seen. A file that
// exists but cannot be read (no regular file, larger than 256 MB) reads as all
// defaults and refuses writes. Every write replaces the file atomically (a
// new file beside it, then a rename), so a failed write leaves the old file as
// it was. Readers accept LF and CR LF; new lines are written with the file's
// own line end (CR LF for a new file).
#pragma once

#include <string>

namespace tsm::platform {

// The leading decimal number of the value (a minus sign allowed), 0 when the
// value has none, the default when the key is absent.
int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                          const char* fileName);

// Copies the value (blanks around it and one pair of enclosing quotes
// removed) or the default into the buffer, truncated to size - 1 bytes and
// terminated; returns the number of bytes copied. A null key lists the keys of
// the section, a null section the section names (each terminated, the list
// ended by an extra terminator).
unsigned long GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, char* buffer,
                                       unsigned long size, const char* fileName);

// Writes key=value into the section. A null value deletes the key, a null key
// the whole section. A value ends at its first line break (CR or LF). Returns false when the file cannot be written (the file
// on disk is then unchanged).
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);

// --- settings primitives shared by every option group ---------------------

// Formats an integer with a printf format ("%d", "%u", "%lu"...) into a
// 512-byte buffer and writes it.
bool WriteProfileInt(const char* section, const char* key, long long value,
                     const char* format, const char* fileName);
// Formats a floating-point value ("%-G" unless the owner names another).
bool WriteProfileFloat(const char* section, const char* key, double value,
                       const char* format, const char* fileName);
// Reads the value as text with the default text "?": a text that begins with
// "?" returns the default, any other is converted as a decimal number (text
// without a leading number reads as 0).
double ReadProfileFloat(const char* section, const char* key, double defaultValue,
                        const char* fileName);
long ReadProfileLong(const char* section, const char* key, long defaultValue,
                     const char* fileName);

// Convenience forms over std::string.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& fileName,
                              unsigned long size = 512);
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& fileName);

// While a batch is open, writes go to the cached file only; the outermost
// batch writes every changed file once (atomically) when it closes. Saving a
// whole settings file or a companion file opens one, so it costs one file
// replacement instead of one per key. Commit() flushes early and tells
// whether every file was written.
class ProfileBatch {
 public:
  ProfileBatch();
  ~ProfileBatch();
  bool Commit();
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;

 private:
  bool open_ = true;
};

// Writes what an open batch holds, then forgets every cached file (tests;
// after a file was changed in place behind our back within one tick of the
// file system's clock and without a change of size).
void ProfileCacheClear();
// Drops a file from the cache unless it holds unwritten changes (a file that
// was renamed away).
void ProfileCacheForget(const std::string& fileName);
// Files the cache holds now: at most 16 (more only while a batch holds
// unwritten changes to more), and their texts at most about 64 MB.
std::size_t ProfileCachedFiles();
// Turns the cache off: every call parses the file anew (the benchmark's
// baseline).
void ProfileCacheEnable(bool enabled);

}  // namespace tsm::platform
