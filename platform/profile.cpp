#include "platform/profile.h"

#include "platform/decimal.h"
#include "platform/file_access.h"
#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <clocale>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tsm::platform {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// One line of a section body. Key lines keep the raw text so that rewriting
// the file reproduces every line we did not change byte for byte.
struct Line {
  std::string text;
  bool isKey = false;
  size_t keyEnd = 0;  // offset of '=' in text
};

struct Section {
  std::string header;  // the raw "[name]" line
  std::string name;    // as written
  std::vector<Line> lines;
  std::unordered_map<std::string, size_t> keys;  // lowercase key -> line index

  void Reindex() {
    keys.clear();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].isKey) continue;
      std::string k = Lower(Trim(std::string_view(lines[i].text).substr(0, lines[i].keyEnd)));
      keys.emplace(std::move(k), i);  // the first of duplicate keys wins
    }
  }
};

struct Document {
  std::vector<std::string> preamble;  // lines before the first section
  std::vector<Section> sections;
  std::unordered_map<std::string, size_t> index;  // lowercase name -> section
  std::string eol = "\r\n";

  Section* Find(const std::string& lowerName) {
    auto it = index.find(lowerName);
    return it == index.end() ? nullptr : &sections[it->second];
  }
  void Reindex() {
    index.clear();
    for (size_t i = 0; i < sections.size(); ++i)
      index.emplace(Lower(sections[i].name), i);
  }
};

Line MakeLine(std::string text) {
  Line line;
  std::string_view t = Trim(text);
  if (!t.empty() && t[0] != ';') {
    const size_t eq = text.find('=');
    if (eq != std::string::npos) {
      line.isKey = true;
      line.keyEnd = eq;
    }
  }
  line.text = std::move(text);
  return line;
}

void Parse(const std::string& data, Document& doc) {
  size_t pos = 0;
  bool eolSeen = false;
  Section* current = nullptr;
  while (pos < data.size()) {
    size_t nl = data.find('\n', pos);
    size_t end = nl == std::string::npos ? data.size() : nl;
    size_t next = nl == std::string::npos ? data.size() : nl + 1;
    bool cr = end > pos && data[end - 1] == '\r';
    if (!eolSeen && nl != std::string::npos) {
      doc.eol = cr ? "\r\n" : "\n";
      eolSeen = true;
    }
    if (cr) --end;
    std::string text = data.substr(pos, end - pos);
    pos = next;
    std::string_view t = Trim(text);
    if (!t.empty() && t[0] == '[') {
      size_t close = t.find(']');
      std::string_view name = close == std::string_view::npos ? t.substr(1) : t.substr(1, close - 1);
      Section s;
      s.name = std::string(Trim(name));
      s.header = std::move(text);
      doc.sections.push_back(std::move(s));
      current = &doc.sections.back();
      continue;
    }
    if (current)
      current->lines.push_back(MakeLine(std::move(text)));
    else
      doc.preamble.push_back(std::move(text));
  }
  for (auto& s : doc.sections) s.Reindex();
  doc.Reindex();
}

std::string Serialise(const Document& doc) {
  std::string out;
  size_t estimate = 0;
  for (const auto& l : doc.preamble) estimate += l.size() + 2;
  for (const auto& s : doc.sections) {
    estimate += s.header.size() + 2;
    for (const auto& l : s.lines) estimate += l.text.size() + 2;
  }
  out.reserve(estimate);
  for (const auto& l : doc.preamble) {
    out += l;
    out += doc.eol;
  }
  for (const auto& s : doc.sections) {
    out += s.header;
    out += doc.eol;
    for (const auto& l : s.lines) {
      out += l.text;
      out += doc.eol;
    }
  }
  return out;
}

struct Identity {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  long long mtimeNs = 0;
  bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const std::string& path) {
  struct stat st {};
  Identity id;
  if (!StatPath(path, &st)) return id;
  id.exists = true;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  id.size = st.st_size;
  id.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return id;
}

struct CachedFile {
  Identity identity;
  Document doc;
  bool dirty = false;
  // The file exists but could not be read whole: reads give the defaults and
  // writes refuse, since rewriting it from an empty document would throw
  // away every key we could not see.
  bool unreadable = false;
  std::uint64_t lastUse = 0;
};

struct ProfileState {
  std::recursive_mutex mutex;
  std::unordered_map<std::string, std::unique_ptr<CachedFile>> files;
  bool cacheEnabled = true;
  int batchDepth = 0;
  std::uint64_t uses = 0;
};

ProfileState& State() {
  static ProfileState state;
  return state;
}

// A settings or companion file larger than this reads as unreadable: the
// largest a save writes (a few million curves) stays below it.
constexpr std::size_t kProfileFileLimit = std::size_t{256} << 20;

// The cache keeps the files used last: every file name ever read would
// otherwise stay, with its parsed text, for the life of the program.
constexpr std::size_t kMaxCachedFiles = 16;
constexpr std::uint64_t kMaxCachedBytes = std::uint64_t{64} << 20;

// Forgets the files used longest ago until the bounds hold, keeping `keep`
// and every file with unwritten changes.
void Evict(const CachedFile* keep) {
  auto& st = State();
  for (;;) {
    std::uint64_t bytes = 0;
    auto oldest = st.files.end();
    for (auto it = st.files.begin(); it != st.files.end(); ++it) {
      const CachedFile* f = it->second.get();
      if (f) bytes += static_cast<std::uint64_t>(f->identity.size);
      if (!f || f == keep || f->dirty) continue;
      if (oldest == st.files.end() || f->lastUse < oldest->second->lastUse) oldest = it;
    }
    if (st.files.size() <= kMaxCachedFiles && bytes <= kMaxCachedBytes) return;
    if (oldest == st.files.end()) return;
    st.files.erase(oldest);
  }
}

bool ReadWhole(const std::string& path, std::string& out) {
  // A FIFO or a device is refused before it can block or fill the memory.
  return ReadRegularFile(path, kProfileFileLimit, out) == FileStatus::Ok;
}

// The parsed file, revalidated against the disk unless it holds unwritten
// changes of an open batch.
CachedFile& Load(const std::string& path) {
  auto& st = State();
  auto& slot = st.files[path];
  const std::uint64_t use = ++st.uses;
  if (slot && slot->dirty) {
    slot->lastUse = use;
    return *slot;
  }
  Identity id = IdentityOf(path);
  if (!(slot && st.cacheEnabled && !slot->unreadable && slot->identity == id)) {
    slot = std::make_unique<CachedFile>();
    slot->identity = id;
    if (id.exists) {
      std::string data;
      if (ReadWhole(path, data))
        Parse(data, slot->doc);
      else
        slot->unreadable = true;
    }
    slot->lastUse = use;
    // Only a file read anew can take the cache past its limits.
    CachedFile& file = *slot;
    Evict(&file);
    return file;
  }
  slot->lastUse = use;
  return *slot;
}

// Writes the document next to the file and renames it into place.
bool Flush(const std::string& path, CachedFile& file) {
  if (!ReplaceFileContents(path, Serialise(file.doc))) return false;
  file.identity = IdentityOf(path);
  file.dirty = false;
  return true;
}

bool Commit(const std::string& path, CachedFile& file) {
  auto& st = State();
  if (st.batchDepth > 0) {
    file.dirty = true;
    return true;
  }
  file.dirty = true;
  bool ok = Flush(path, file);
  if (!ok) {
    // The disk still holds the old file; forget our changed copy.
    st.files.erase(path);
  }
  return ok;
}

bool FlushAllDirty() {
  auto& st = State();
  bool ok = true;
  std::vector<std::string> failed;
  for (auto& [path, file] : st.files) {
    if (file && file->dirty && !Flush(path, *file)) {
      ok = false;
      failed.push_back(path);
    }
  }
  for (const auto& p : failed) st.files.erase(p);
  return ok;
}

unsigned long CopyOut(std::string_view value, char* buffer, unsigned long size) {
  if (!buffer || size == 0) return 0;
  unsigned long n = static_cast<unsigned long>(value.size());
  if (n > size - 1) n = size - 1;
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

// A list of NUL-terminated names ended by an extra NUL, truncated as Win32
// does (the result is then size - 2).
unsigned long CopyList(const std::vector<std::string>& names, char* buffer, unsigned long size) {
  if (!buffer || size == 0) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  unsigned long pos = 0;
  for (const auto& n : names) {
    for (char c : n) {
      if (pos + 2 >= size) {
        buffer[pos] = '\0';
        buffer[pos + 1] = '\0';
        return size - 2;
      }
      buffer[pos++] = c;
    }
    if (pos + 2 >= size) {
      buffer[pos] = '\0';
      buffer[pos + 1] = '\0';
      return size - 2;
    }
    buffer[pos++] = '\0';
  }
  buffer[pos] = '\0';
  return pos;
}

std::string_view ValueOf(const Line& line) {
  std::string_view v = Trim(std::string_view(line.text).substr(line.keyEnd + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

const Line* FindKey(CachedFile& file, const char* section, const char* key) {
  Section* s = file.doc.Find(Lower(Trim(section)));
  if (!s) return nullptr;
  auto it = s->keys.find(Lower(Trim(key)));
  return it == s->keys.end() ? nullptr : &s->lines[it->second];
}

}  // namespace

int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                          const char* fileName) {
  char buf[64];
  if (!section || !key || !fileName) return defaultValue;
  {
    auto& st = State();
    std::lock_guard lock(st.mutex);
    const Line* line = FindKey(Load(fileName), section, key);
    if (!line) return defaultValue;
    CopyOut(ValueOf(*line), buf, sizeof buf);
  }
  const char* p = buf;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  long long v = 0;
  while (*p >= '0' && *p <= '9') {
    v = v * 10 + (*p - '0');
    if (v > 0xFFFFFFFFLL) v = 0xFFFFFFFFLL;  // keep it bounded; Win32 wraps silently
    ++p;
  }
  if (negative) v = -v;
  return static_cast<int>(static_cast<unsigned>(v));
}

unsigned long GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, char* buffer,
                                       unsigned long size, const char* fileName) {
  if (!buffer || size == 0) return 0;
  auto& st = State();
  std::lock_guard lock(st.mutex);
  if (!fileName) return CopyOut(Trim(defaultValue ? defaultValue : ""), buffer, size);
  CachedFile& file = Load(fileName);
  if (!section) {
    std::vector<std::string> names;
    for (const auto& s : file.doc.sections) names.push_back(s.name);
    return CopyList(names, buffer, size);
  }
  if (!key) {
    std::vector<std::string> names;
    if (Section* s = file.doc.Find(Lower(Trim(section))))
      for (const auto& l : s->lines)
        if (l.isKey) names.emplace_back(Trim(std::string_view(l.text).substr(0, l.keyEnd)));
    return CopyList(names, buffer, size);
  }
  if (const Line* line = FindKey(file, section, key)) return CopyOut(ValueOf(*line), buffer, size);
  return CopyOut(Trim(defaultValue ? defaultValue : ""), buffer, size);
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
  if (!section || !fileName || !*fileName) return false;
  auto& st = State();
  std::lock_guard lock(st.mutex);
  CachedFile& file = Load(fileName);
  if (file.unreadable) return false;
  Document& doc = file.doc;
  const std::string lowerSection = Lower(Trim(section));
  Section* s = doc.Find(lowerSection);
  if (!key) {  // delete the section
    if (!s) return true;
    doc.sections.erase(doc.sections.begin() + static_cast<long>(doc.index[lowerSection]));
    doc.Reindex();
    return Commit(fileName, file);
  }
  const std::string lowerKey = Lower(Trim(key));
  if (!value) {  // delete the key
    if (!s) return true;
    auto it = s->keys.find(lowerKey);
    if (it == s->keys.end()) return true;
    s->lines.erase(s->lines.begin() + static_cast<long>(it->second));
    s->Reindex();
    return Commit(fileName, file);
  }
  // A value is one line: a line break in it would end the key there on the
  // next read and let the rest pose as keys or sections of its own, so the
  // value is cut at the first one (and every reader sees the same value).
  const std::string_view v(value, std::strcspn(value, "\r\n"));
  std::string text = std::string(Trim(key)) + "=";
  text += v;
  if (!s) {
    Section fresh;
    fresh.name = std::string(Trim(section));
    fresh.header = "[" + fresh.name + "]";
    doc.sections.push_back(std::move(fresh));
    doc.index.emplace(lowerSection, doc.sections.size() - 1);
    s = &doc.sections.back();
  }
  auto it = s->keys.find(lowerKey);
  if (it != s->keys.end()) {
    s->lines[it->second] = MakeLine(std::move(text));
  } else {
    // A new key goes after the last non-blank line of its section, so blank
    // separator lines stay between sections.
    size_t at = s->lines.size();
    while (at > 0 && Trim(s->lines[at - 1].text).empty()) --at;
    if (at == s->lines.size()) {
      s->lines.push_back(MakeLine(std::move(text)));
      s->keys.emplace(lowerKey, at);
    } else {
      s->lines.insert(s->lines.begin() + static_cast<long>(at), MakeLine(std::move(text)));
      s->Reindex();
    }
  }
  return Commit(fileName, file);
}

bool WriteProfileInt(const char* section, const char* key, long long value, const char* format,
                     const char* fileName) {
  char buf[512];
  if (!format) format = "%d";
  // The formats in use take an int ("%d", "%u") or a long ("%ld", "%lu").
  const bool isLong = std::strchr(format, 'l') != nullptr;
  if (isLong)
    std::snprintf(buf, sizeof buf, format, static_cast<long>(value));
  else
    std::snprintf(buf, sizeof buf, format, static_cast<int>(value));
  return WritePrivateProfileStringA(section, key, buf, fileName);
}

bool WriteProfileFloat(const char* section, const char* key, double value, const char* format,
                       const char* fileName) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format ? format : "%-G", value);
  // The front end may run under a locale with a decimal comma; the file
  // always holds a point, as ReadProfileFloat expects.
  const char* point = std::localeconv()->decimal_point;
  if (point && point[0] && point[0] != '.' && !point[1])
    for (char* c = buf; *c; ++c)
      if (*c == point[0]) *c = '.';
  return WritePrivateProfileStringA(section, key, buf, fileName);
}

double ReadProfileFloat(const char* section, const char* key, double defaultValue,
                        const char* fileName) {
  char buf[512];
  GetPrivateProfileStringA(section, key, "?", buf, sizeof buf, fileName);
  if (buf[0] == '?') return defaultValue;
  // Only a leading decimal number counts: "nan", "inf" or a hexadecimal
  // text read as 0 like any other text without a number.
  double v = 0;
  ReadDecimal(buf, &v);
  return v;
}

long ReadProfileLong(const char* section, const char* key, long defaultValue,
                     const char* fileName) {
  char buf[512];
  GetPrivateProfileStringA(section, key, "?", buf, sizeof buf, fileName);
  if (buf[0] == '?') return defaultValue;
  return std::strtol(buf, nullptr, 10);
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& fileName,
                              unsigned long size) {
  std::string buf(size ? size : 1, '\0');
  unsigned long n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                             buf.data(), size, fileName.c_str());
  buf.resize(n);
  return buf;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& fileName) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    fileName.c_str());
}

ProfileBatch::ProfileBatch() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  ++st.batchDepth;
}

ProfileBatch::~ProfileBatch() { Commit(); }

bool ProfileBatch::Commit() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  if (!open_) return true;
  open_ = false;
  if (--st.batchDepth > 0) return true;
  return FlushAllDirty();
}

void ProfileCacheClear() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  FlushAllDirty();
  st.files.clear();
}

void ProfileCacheForget(const std::string& fileName) {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  auto it = st.files.find(fileName);
  if (it != st.files.end() && it->second && !it->second->dirty) st.files.erase(it);
}

std::size_t ProfileCachedFiles() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  return st.files.size();
}

void ProfileCacheEnable(bool enabled) {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  st.cacheEnabled = enabled;
}

}  // namespace tsm::platform
